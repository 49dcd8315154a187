#include "inventory/command_analysis.h"

#include "inventory/command_text.h"
#include "inventory/date_time.h"
#include "inventory/registry_access.h"
#include "inventory/text_util.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/shell_open.h"
#include "platform/special_folders.h"
#include "settings/path_macros.h"
#include "settings/system_info.h"

namespace tarvo::inventory {

namespace {

using platform::FileExists;
using platform::FolderExists;

// Up to and including the last backslash; empty when there is none.
std::wstring FolderPart(const std::wstring& path) {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring ProgramFolder() {
    return FolderPart(platform::GetModuleFilePath());
}

// Replaces the first occurrence of `variable` (any case) by its expansion.
void ExpandVariableInPlace(std::wstring& text, const std::wstring& variable) {
    const auto at = UpperCase(text).find(UpperCase(variable));
    if (at == std::wstring::npos) return;
    std::wstring expansion;
    if (!platform::ExpandEnvironmentOf(variable, expansion) || expansion == variable) return;
    text.replace(at, variable.size(), expansion);
    text = ReplaceAll(text, L"\\\\", L"\\");
}

}  // namespace

std::wstring InstallFolderFromEntry(const TSoftInfo& entry) {
    std::wstring text = CleanCommandText(MainFileText(entry), RundllRemoval::Anywhere);
    if (text.empty()) return {};
    if (!FileExists(text)) text = CutAtExecutable(text);
    const std::wstring folder = FolderPart(text);
    if (folder.empty() || !FolderExists(folder) || !IsRemovableFolder(folder)) return {};
    return folder;
}

TDateTime FolderDateFromEntry(const TSoftInfo& entry) {
    std::wstring text = CleanCommandText(MainFileText(entry, true), RundllRemoval::FirstOrAfterBlank);
    if (text.empty()) return 0;
    if (!FileExists(text)) text = CutAtExecutable(text);
    if (FileExists(text)) {
        text = FolderPart(text);
        // "C:\" must keep its backslash to name the drive's root folder.
        if (text.size() > 3 && text.back() == L'\\') text.pop_back();
    }
    if (!FileExists(text) && !FolderExists(text)) return 0;
    const auto times = platform::GetFileTimesOf(text);
    return times ? FileTimeToDate(times->creation) : 0;
}

std::wstring RepairInstallLocation(const std::wstring& location) {
    std::wstring text = CleanCommandText(location, RundllRemoval::FirstOrBlankAnywhere);
    return !text.empty() && FolderExists(text) ? text : std::wstring();
}

bool IsRemovableFolder(const std::wstring& path) {
    if (Contains(path, L"%")) return false;
    const std::wstring candidate = UpperCase(WithTrailingBackslash(path));
    if (candidate.size() <= 3) return false;

    const bool view64 = settings::IsWow64();
    const std::wstring shellFolders = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const std::wstring refused[] = {
        ReadStringValue(L"HKEY_CURRENT_USER", shellFolders, L"Desktop", view64),
        ReadStringValue(L"HKEY_CURRENT_USER", shellFolders, L"Start Menu", view64),
        ReadStringValue(L"HKEY_CURRENT_USER", shellFolders, L"Recent", view64),
        platform::GetSystemFolder(),
        platform::GetWindowsFolder(),
    };
    for (const auto& place : refused)
        if (!place.empty() && candidate == UpperCase(WithTrailingBackslash(place))) return false;
    return true;
}

std::wstring IconSourceFromEntry(const TSoftInfo& entry, int& iconIndex) {
    std::wstring path = entry.DisplayIcon;
    iconIndex = 0;

    if (path.empty() && Contains(UpperCase(entry.UninstallString), L"MSIEXEC.EXE /") && entry.KeyPath.size() > 38) {
        const std::wstring packed = PackedProductCode(entry.KeyPath.substr(entry.KeyPath.size() - 38));
        if (!packed.empty()) {
            path = ReadStringValue(L"HKEY_CLASSES_ROOT", L"\\Installer\\Products\\" + packed, L"ProductIcon", false);
            if (path.empty())
                path = ReadStringValue(L"HKEY_CURRENT_USER", L"\\Software\\Microsoft\\Installer\\Products\\" + packed,
                                       L"ProductIcon", false);
            if (Contains(path, L"%")) path = settings::ExpandPathMacros(path);
        }
    }

    if (!path.empty()) {
        path = ReplaceAll(path, L"\"", L"");
        if (const auto lastComma = path.rfind(L','); lastComma != std::wstring::npos) {
            iconIndex = IconIndexFromText(path.substr(lastComma + 1));
            path = path.substr(0, path.find(L','));
        }
        path = ReplaceAll(path, L"\\\\", L"\\");
    }

    if (path.empty()) {
        const std::wstring folder = InstallFolderFromEntry(entry);
        std::wstring found;
        if (!folder.empty()) {
            const std::wstring prefix = ReplaceAll(entry.DisplayName, L" ", L"").substr(0, 5);
            platform::FileFinder finder;
            WIN32_FIND_DATAW data{};
            if (finder.FindFirst(folder + prefix + L"*.EXE", data)) found = folder + data.cFileName;
        }
        path = found.empty() ? entry.UninstallString : found;
    }

    path = FileFromCommandLine(path);
    if (!path.empty() && !FileExists(path)) path.clear();
    return path;
}

std::wstring FileFromCommandLine(const std::wstring& command) {
    std::wstring text = RemoveFirst(command, L";");
    if (const auto slash = text.find(L'/'); slash != std::wstring::npos) text.resize(slash);
    text = RemoveFirst(text, L"\\??\\");

    // Where the variable stands, its value goes; commands usually start with it, but an
    // argument that mentions one must not lose the characters before it.
    for (const wchar_t* variable : {L"%windir%", L"%systemroot%", L"%programfiles%"})
        ExpandVariableInPlace(text, variable);

    if (const auto at = LowerCase(text).find(L"\\systemroot"); at != std::wstring::npos)
        text.replace(at, 11, platform::GetWindowsFolder());

    text = RemoveFirst(text, L"%1");
    if (const auto comma = text.find(L','); comma != std::wstring::npos) text.resize(comma);
    // An option starts after a blank; a dash inside a folder name ("my-app") is no option.
    if (const auto option = text.find(L" -"); option != std::wstring::npos) text.resize(option);

    std::size_t first = 0, last = text.size();
    while (first < last && text[first] <= L'"') ++first;
    while (last > first && text[last - 1] <= L'"') --last;
    text = text.substr(first, last - first);
    if (const auto quote = text.find(L'"'); quote != std::wstring::npos) text.resize(quote);

    if (const auto drive = text.find(L":\\"); drive != std::wstring::npos && drive > 1) text.erase(0, drive - 1);

    if (LowerCase(text.substr(0, 13)) == L"rundll32.exe ") {
        const std::wstring rest = text.substr(13);
        if (FileExists(rest)) return rest;
        const std::wstring inWindows = platform::GetWindowsFolder() + L"\\" + rest;
        if (FileExists(inWindows)) return inWindows;
        const std::wstring inSystem = platform::GetSystemFolder() + L"\\" + rest;
        if (FileExists(inSystem)) return inSystem;
    }
    return text;
}

platform::unique_hicon CommandIcon(const std::wstring& command, bool small) {
    return platform::GetFileIconOf(FileFromCommandLine(command), small);
}

bool RunShellCommand(const std::wstring& command) {
    const std::wstring text = ExpandShellCommandMacros(command, platform::GetWindowsFolder(),
                                                       platform::GetSystemFolder(), ProgramFolder());
    if (UpperCase(text.substr(0, 12)) == L"RUNDLL32.EXE")
        return platform::ShellOpen(L"RunDll32.exe", text.size() > 13 ? text.substr(13, 255) : L"");
    return platform::ShellOpen(text);
}

}  // namespace tarvo::inventory
