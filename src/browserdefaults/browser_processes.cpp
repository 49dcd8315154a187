#include "browserdefaults/browser_processes.h"

#include <algorithm>

#include "addons/browser_process.h"
#include "common/paths.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace tarvo::browserdefaults {

std::vector<DWORD> ProcessesToClose(const std::vector<RunningImage>& running, const std::wstring& imageName,
                                    const std::vector<std::wstring>& executables) {
    std::vector<DWORD> ids;
    for (const RunningImage& image : running) {
        if (image.path.empty() || !platform::EqualsIgnoreCase(image.exeName, imageName)) continue;
        const bool own = std::any_of(executables.begin(), executables.end(), [&image](const std::wstring& exe) {
            if (!exe.empty() && exe.back() == L'\\')
                return image.path.size() > exe.size() &&
                       platform::EqualsIgnoreCase(std::wstring_view(image.path).substr(0, exe.size()), exe);
            return platform::EqualsIgnoreCase(exe, image.path);
        });
        if (own) ids.push_back(image.id);
    }
    return ids;
}

namespace {
void AddAppPath(HKEY root, platform::RegistryView view, const std::wstring& exe, std::vector<std::wstring>& paths) {
    platform::RegistryKey key;
    if (key.Open(root, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exe, KEY_READ, view) !=
        ERROR_SUCCESS)
        return;
    std::wstring path = key.QueryString(L"").value_or(L"");
    path.erase(std::remove(path.begin(), path.end(), L'"'), path.end());
    if (!path.empty()) paths.push_back(path);
}
}  // namespace

std::vector<std::wstring> BrowserExecutables(BrowserKind kind, const std::wstring& operaProgramFolder) {
    const std::wstring exe = addons::BrowserExeName(kind);
    std::vector<std::wstring> paths;
    if (exe.empty()) return paths;
    AddAppPath(HKEY_LOCAL_MACHINE, platform::RegistryView::Default, exe, paths);
    AddAppPath(HKEY_LOCAL_MACHINE, platform::RegistryView::Wow64_64Key, exe, paths);
    AddAppPath(HKEY_CURRENT_USER, platform::RegistryView::Default, exe, paths);
    std::vector<std::wstring> roots;
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramW6432", L"ProgramFiles(x86)"}) {
        const std::wstring root = platform::GetEnvironmentString(name);
        if (!root.empty()) roots.push_back(common::WithTrailingBackslash(root));
    }
    const wchar_t* below = nullptr;
    switch (kind) {
        case BrowserKind::InternetExplorer: below = L"Internet Explorer\\"; break;
        case BrowserKind::Chrome: below = L"Google\\Chrome\\Application\\"; break;
        case BrowserKind::Firefox: below = L"Mozilla Firefox\\"; break;
        case BrowserKind::Opera: below = L"Opera\\"; break;
        default: break;
    }
    for (const std::wstring& root : roots) paths.push_back(root + below + exe);
    if (kind == BrowserKind::Chrome) {
        const std::wstring local = platform::GetEnvironmentString(L"LOCALAPPDATA");
        if (!local.empty()) paths.push_back(common::WithTrailingBackslash(local) + below + exe);
    }
    // Opera 15 and later run "<version>\opera.exe" below the folder its launcher is in.
    if (kind == BrowserKind::Opera && !operaProgramFolder.empty())
        paths.push_back(common::WithTrailingBackslash(operaProgramFolder));
    return paths;
}

bool KillProcessesByName(const std::wstring& imageName, const std::vector<std::wstring>& executables) {
    std::vector<RunningImage> running;
    for (const platform::ProcessEntry& entry : platform::SnapshotProcesses()) {
        if (!platform::EqualsIgnoreCase(entry.exeName, imageName)) continue;
        RunningImage image{entry.id, entry.exeName, {}};
        if (const auto process = platform::OpenProcessOf(entry.id, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ))
            image.path = platform::ProcessImagePath(process.get());
        running.push_back(std::move(image));
    }
    const std::vector<DWORD> ids = ProcessesToClose(running, imageName, executables);
    bool all = !ids.empty();
    for (const DWORD id : ids) {
        const auto process = platform::OpenProcessOf(id, PROCESS_TERMINATE);
        if (!process || !platform::TerminateProcessOf(process.get(), 0)) all = false;
    }
    return all;
}

}  // namespace tarvo::browserdefaults
