#include "trace/trace_filter.h"

#include "platform/folders.h"
#include "platform/text.h"

namespace tarvo::trace {

namespace {

std::wstring Normal(std::wstring text) {
    while (!text.empty() && text.back() == L'\\') text.pop_back();
    return platform::LowerCase(text);
}

// `path` is `place` or lies below it.
bool Within(const std::wstring& lowerPath, const std::wstring& place) {
    return lowerPath.size() >= place.size() && lowerPath.compare(0, place.size(), place) == 0 &&
           (lowerPath.size() == place.size() || lowerPath[place.size()] == L'\\');
}

}  // namespace

void TraceFilter::AddFolder(std::wstring folder) {
    folder = Normal(std::move(folder));
    if (!folder.empty()) folders_.push_back(std::move(folder));
}

void TraceFilter::AddKey(std::wstring key) {
    key = Normal(std::move(key));
    if (!key.empty()) keys_.push_back(std::move(key));
}

bool TraceFilter::SkipsFolder(const std::wstring& path) const {
    const std::wstring lower = Normal(path);
    for (const auto& folder : folders_)
        if (Within(lower, folder)) return true;
    return false;
}

bool TraceFilter::SkipsKey(const std::wstring& rootName, const std::wstring& path) const {
    const std::wstring lower = Normal(rootName + L"\\" + path);
    for (const auto& key : keys_)
        if (Within(lower, key)) return true;
    return false;
}

std::vector<std::wstring> TraceFilter::Lines() const {
    std::vector<std::wstring> lines = folders_;
    lines.insert(lines.end(), keys_.begin(), keys_.end());
    return lines;
}

TraceFilter DefaultTraceFilter(const std::wstring& dataFolder) {
    TraceFilter filter;
    // Temporary folders: installers unpack into them and clean up after themselves.
    filter.AddFolder(platform::GetTempFolder());
    const std::wstring windows = platform::GetWindowsFolder();
    filter.AddFolder(windows + L"\\Temp");
    // The system's own logs and caches, which change with or without an installer.
    for (const wchar_t* folder : {L"\\Logs", L"\\Prefetch", L"\\SoftwareDistribution", L"\\debug",
                                  L"\\ServiceProfiles", L"\\inf\\setupapi.app.log"})
        filter.AddFolder(windows + folder);
    filter.AddFolder(dataFolder);
    for (const wchar_t* env : {L"LOCALAPPDATA", L"APPDATA"}) {
        const std::wstring base = platform::GetEnvironmentString(env);
        if (base.empty()) continue;
        filter.AddFolder(base + L"\\Microsoft\\Windows\\INetCache");
        filter.AddFolder(base + L"\\Microsoft\\Windows\\Temporary Internet Files");
        filter.AddFolder(base + L"\\Microsoft\\Windows\\Recent");
        filter.AddFolder(base + L"\\Microsoft\\Windows\\Explorer");
    }
    const std::wstring systemDrive = windows.substr(0, 2);
    for (const wchar_t* folder : {L"\\$Recycle.Bin", L"\\System Volume Information", L"\\pagefile.sys",
                                  L"\\hiberfil.sys", L"\\swapfile.sys"})
        filter.AddFolder(systemDrive + folder);

    // The registry's bookkeeping: the random seed, the shell's recent lists and window bags,
    // Wine's own configuration.
    filter.AddKey(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\RNG");
    filter.AddKey(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wine");
    filter.AddKey(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Wine");
    filter.AddKey(L"HKEY_CURRENT_USER\\Software\\Wine");
    filter.AddKey(L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs");
    filter.AddKey(L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist");
    filter.AddKey(L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SessionInfo");
    filter.AddKey(L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\Shell\\Bags");
    filter.AddKey(L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\Shell\\BagMRU");
    filter.AddKey(L"HKEY_CURRENT_USER\\Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell");
    filter.AddKey(L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses");
    filter.AddKey(L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum");
    filter.AddKey(L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\bam");
    return filter;
}

}  // namespace tarvo::trace
