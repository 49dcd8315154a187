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

TRefusedFolders TRefusedFolders::Read() {
    const bool view64 = settings::IsWow64();
    const std::wstring shellFolders = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    return TRefusedFolders({
        ReadStringValue(L"HKEY_CURRENT_USER", shellFolders, L"Desktop", view64),
        ReadStringValue(L"HKEY_CURRENT_USER", shellFolders, L"Start Menu", view64),
        ReadStringValue(L"HKEY_CURRENT_USER", shellFolders, L"Recent", view64),
        platform::GetSystemFolder(),
        platform::GetWindowsFolder(),
    });
}

TRefusedFolders::TRefusedFolders(const std::vector<std::wstring>& places) {
    for (const auto& place : places)
        if (!place.empty()) places_.push_back(UpperCase(WithTrailingBackslash(place)));
}

bool TRefusedFolders::IsRemovable(const std::wstring& path) const {
    if (Contains(path, L"%")) return false;
    const std::wstring candidate = UpperCase(WithTrailingBackslash(path));
    if (candidate.size() <= 3) return false;
    for (const auto& place : places_)
        if (candidate == place) return false;
    return true;
}

std::wstring PathInEntryCase(const std::wstring& path, const TSoftInfo& entry) {
    if (path.empty()) return path;
    for (const std::wstring* source :
         {&entry.UninstallString, &entry.DisplayIcon, &entry.Readme, &entry.ToolbarFile, &entry.InstallLocation}) {
        if (source->size() < path.size()) continue;
        const std::wstring upper = UpperCase(*source);
        // Positions carry over only when upper-casing kept every character a character.
        if (upper.size() != source->size()) continue;
        if (const auto at = upper.find(UpperCase(path)); at != std::wstring::npos) return source->substr(at, path.size());
    }
    return path;
}

std::wstring InstallFolderFromEntry(const TSoftInfo& entry, const TRefusedFolders& refused) {
    std::wstring text = CleanCommandText(MainFileText(entry), RundllRemoval::Anywhere);
    if (text.empty()) return {};
    if (!FileExists(PathInEntryCase(text, entry))) text = CutAtExecutable(text);
    const std::wstring folder = FolderPart(text);
    if (folder.empty() || !FolderExists(PathInEntryCase(folder, entry)) || !refused.IsRemovable(folder)) return {};
    return folder;
}

std::wstring InstallFolderFromEntry(const TSoftInfo& entry) {
    return InstallFolderFromEntry(entry, TRefusedFolders::Read());
}

TDateTime FolderDateFromEntry(const TSoftInfo& entry) {
    std::wstring text = CleanCommandText(MainFileText(entry, true), RundllRemoval::FirstOrAfterBlank);
    if (text.empty()) return 0;
    // Each path is asked about once: under a pass over hundreds of entries every repeated
    // attribute query shows.
    const auto isFile = [](DWORD attributes) {
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    DWORD attributes = platform::GetFileAttributesOf(PathInEntryCase(text, entry));
    if (!isFile(attributes)) {
        const std::wstring cut = CutAtExecutable(text);
        if (cut != text) {
            text = cut;
            attributes = platform::GetFileAttributesOf(PathInEntryCase(text, entry));
        }
    }
    if (isFile(attributes)) {
        text = FolderPart(text);
        // "C:\" must keep its backslash to name the drive's root folder.
        if (text.size() > 3 && text.back() == L'\\') text.pop_back();
    } else if (attributes == INVALID_FILE_ATTRIBUTES) {
        return 0;
    }
    // Whatever is left exists (a file's folder, or a folder named outright): its times say when.
    const auto times = platform::GetFileTimesOf(PathInEntryCase(text, entry));
    return times ? FileTimeToDate(times->creation) : 0;
}

std::wstring RepairInstallLocation(const std::wstring& location) {
    std::wstring text = CleanCommandText(location, RundllRemoval::FirstOrBlankAnywhere);
    return !text.empty() && FolderExists(text) ? text : std::wstring();
}

bool IsRemovableFolder(const std::wstring& path) {
    // The cheap refusals first: they need no registry.
    if (Contains(path, L"%") || UpperCase(WithTrailingBackslash(path)).size() <= 3) return false;
    return TRefusedFolders::Read().IsRemovable(path);
}

namespace {

std::wstring IconSource(const TSoftInfo& entry, int& iconIndex, const std::function<std::wstring()>& installFolder) {
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
        const std::wstring folder = installFolder();
        std::wstring found;
        if (!folder.empty()) {
            const std::wstring prefix = ReplaceAll(entry.DisplayName, L" ", L"").substr(0, 5);
            platform::FileFinder finder;
            WIN32_FIND_DATAW data{};
            if (finder.FindFirst(PathInEntryCase(folder, entry) + prefix + L"*.EXE", data)) found = folder + data.cFileName;
        }
        path = found.empty() ? entry.UninstallString : found;
    }

    path = FileFromCommandLine(path);
    if (!path.empty() && !FileExists(PathInEntryCase(path, entry))) path.clear();
    return path;
}

}  // namespace

std::wstring IconSourceFromEntry(const TSoftInfo& entry, int& iconIndex) {
    return IconSource(entry, iconIndex, [&entry] { return InstallFolderFromEntry(entry); });
}

std::wstring IconSourceFromEntry(const TSoftInfo& entry, int& iconIndex,
                                 const std::function<std::wstring()>& installFolder) {
    return IconSource(entry, iconIndex, installFolder);
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
