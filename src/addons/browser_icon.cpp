#include "addons/browser_icon.h"

#include "common/paths.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"

namespace tarvo::addons {

namespace {

struct IconSource {
    BrowserKind kind;
    const wchar_t* appPath;        // the "App Paths" name; null where another browser shares it
    const wchar_t* userProgram;    // under local application data
    const wchar_t* sharedProgram;  // under Program Files
};

constexpr IconSource kSources[] = {
    {BrowserKind::InternetExplorer, L"IEXPLORE.EXE", nullptr, L"Internet Explorer\\iexplore.exe"},
    {BrowserKind::Chrome, L"chrome.exe", L"Google\\Chrome\\Application\\chrome.exe",
     L"Google\\Chrome\\Application\\chrome.exe"},
    {BrowserKind::Firefox, L"firefox.exe", L"Mozilla Firefox\\firefox.exe", L"Mozilla Firefox\\firefox.exe"},
    {BrowserKind::Opera, L"opera.exe", L"Programs\\Opera\\launcher.exe", L"Opera\\launcher.exe"},
    {BrowserKind::Edge, L"msedge.exe", nullptr, L"Microsoft\\Edge\\Application\\msedge.exe"},
    {BrowserKind::Brave, L"brave.exe", L"BraveSoftware\\Brave-Browser\\Application\\brave.exe",
     L"BraveSoftware\\Brave-Browser\\Application\\brave.exe"},
    {BrowserKind::Vivaldi, L"vivaldi.exe", L"Vivaldi\\Application\\vivaldi.exe", L"Vivaldi\\Application\\vivaldi.exe"},
    // Chromium's program is also "chrome.exe": Chrome's registration would give Chrome's icon.
    {BrowserKind::Chromium, nullptr, L"Chromium\\Application\\chrome.exe", L"Chromium\\Application\\chrome.exe"},
};

std::wstring Unquoted(std::wstring text) {
    if (text.size() >= 2 && text.front() == L'"') {
        const auto close = text.find(L'"', 1);
        text = text.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    }
    return text;
}

std::wstring RegisteredProgram(const wchar_t* name) {
    const std::wstring key = std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + name;
    const struct {
        HKEY root;
        platform::RegistryView view;
    } places[] = {{HKEY_CURRENT_USER, platform::RegistryView::Default},
                  {HKEY_LOCAL_MACHINE, platform::RegistryView::Wow64_64Key},
                  {HKEY_LOCAL_MACHINE, platform::RegistryView::Default}};
    for (const auto& place : places) {
        platform::RegistryKey handle;
        if (handle.Open(place.root, key, KEY_READ, place.view) != ERROR_SUCCESS) continue;
        const std::wstring file = Unquoted(handle.QueryString(L"").value_or(L""));
        if (!file.empty() && platform::FileExists(file)) return file;
    }
    return {};
}

}  // namespace

std::wstring BrowserIconFile(BrowserKind kind, const CleanerEnvironment& environment) {
    for (const IconSource& source : kSources) {
        if (source.kind != kind) continue;
        if (source.appPath)
            if (std::wstring file = RegisteredProgram(source.appPath); !file.empty()) return file;
        std::wstring candidates[3];
        if (source.userProgram && !environment.localAppDataFolder.empty())
            candidates[0] = common::WithTrailingBackslash(environment.localAppDataFolder) + source.userProgram;
        // The 64-bit Program Files first: a 32-bit process is shown the other one as "ProgramFiles".
        for (int i = 0; const wchar_t* variable : {L"ProgramW6432", L"ProgramFiles"}) {
            const std::wstring folder = platform::GetEnvironmentString(variable);
            if (source.sharedProgram && !folder.empty())
                candidates[1 + i] = common::WithTrailingBackslash(folder) + source.sharedProgram;
            ++i;
        }
        for (const std::wstring& file : candidates)
            if (!file.empty() && platform::FileExists(file)) return file;
    }
    return {};
}

platform::IconPair BrowserIcons(BrowserKind kind, const CleanerEnvironment& environment) {
    const std::wstring file = BrowserIconFile(kind, environment);
    if (file.empty()) return {};
    return platform::ExtractIconPairOf(file, 0);
}

}  // namespace tarvo::addons
