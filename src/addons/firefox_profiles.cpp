#include "addons/firefox_profiles.h"

#include <algorithm>

#include "addons/addon_text.h"
#include "common/paths.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/ext_ini_file.h"

namespace tarvo::addons {

std::vector<std::wstring> FirefoxProfileFolders(const std::wstring& firefoxFolder) {
    std::vector<std::wstring> folders;
    const std::wstring ini = firefoxFolder + L"profiles.ini";
    if (firefoxFolder.empty() || !platform::FileExists(ini)) return folders;
    auto bytes = platform::ReadFileBytes(ini);
    if (!bytes) return folders;
    // Firefox writes the file as UTF-8, and a profile path may hold any character; an editor
    // may have put a byte-order mark in front of the first section.
    if (bytes->starts_with("\xEF\xBB\xBF")) bytes->erase(0, 3);
    settings::TExtIniFile file;
    file.LoadFromText(platform::WideFromUtf8(*bytes));
    for (const std::wstring& section : file.ReadSections()) {
        if (section.size() < 7 || !SameText(section.substr(0, 7), L"Profile")) continue;
        std::wstring path = file.ReadString(section, L"Path", L"");
        if (Trim(path).empty()) continue;
        std::replace(path.begin(), path.end(), L'/', L'\\');
        const bool relative = Trim(file.ReadString(section, L"IsRelative", L"0")) == L"1";
        const std::wstring folder = common::WithTrailingBackslash(relative ? firefoxFolder + path : path);
        if (!platform::FolderExists(folder)) continue;
        if (std::none_of(folders.begin(), folders.end(), [&](const std::wstring& seen) { return SameText(seen, folder); }))
            folders.push_back(folder);
    }
    return folders;
}

bool IsProfileLocked(const std::wstring& profileFolder) {
    const std::wstring lock = profileFolder + L"parent.lock";
    if (!platform::FileExists(lock)) return false;
    const platform::unique_hfile file = platform::CreateFileOf(
        lock, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING, 0);
    // Any refusal counts: a profile we cannot rule out being in use is never written.
    return !file;
}

}  // namespace tarvo::addons
