#include "inventory/command_analysis.h"

#include "inventory/command_text.h"
#include "common/date_time.h"
#include "platform/registry.h"
#include "common/paths.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "settings/path_macros.h"
#include "settings/system_info.h"

namespace tarvo::inventory {

using common::Contains;
using common::FileTimeToDate;
using common::LowerCase;
using common::RemoveFirst;
using common::ReplaceAll;
using common::UpperCase;
using common::WithTrailingBackslash;

namespace {

// "C:\...\App\app-1.2.3\" -> "C:\...\App\"; empty for a folder of any other name.
std::wstring SelfUpdatingRoot(const std::wstring& folder) {
    std::wstring path = folder;
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return {};
    const std::wstring leaf = common::LowerCase(path.substr(slash + 1));
    if (leaf.size() < 5 || leaf.compare(0, 4, L"app-") != 0) return {};
    for (std::size_t i = 4; i < leaf.size(); ++i)
        if (!(leaf[i] >= L'0' && leaf[i] <= L'9') && leaf[i] != L'.') return {};
    return path.substr(0, slash + 1);
}

using platform::FileExists;
using platform::FolderExists;

using common::FolderPart;

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
    const platform::RegistryLocation shellFolders{
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        platform::ViewOf(settings::IsWow64())};
    return TRefusedFolders({
        platform::ReadStringValue(shellFolders, L"Desktop"),
        platform::ReadStringValue(shellFolders, L"Start Menu"),
        platform::ReadStringValue(shellFolders, L"Recent"),
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
    const std::wstring wanted = UpperCase(path);
    if (wanted.size() != path.size()) return path;
    // The longest leading part any text holds: a path is often a text's path with arguments
    // after it or a file name the text does not have, and every folder on the way that goes
    // out in its own case is one folder Wine need not list.
    const std::wstring* bestSource = nullptr;
    std::size_t bestAt = 0, bestLength = 0;
    for (const std::wstring* source :
         {&entry.UninstallString, &entry.DisplayIcon, &entry.Readme, &entry.ToolbarFile, &entry.InstallLocation}) {
        const std::wstring upper = UpperCase(*source);
        // Positions carry over only when upper-casing kept every character a character.
        if (upper.size() != source->size()) continue;
        for (auto at = upper.find(wanted[0]); at != std::wstring::npos && bestLength < wanted.size();
             at = upper.find(wanted[0], at + 1)) {
            std::size_t length = 0;
            while (at + length < upper.size() && length < wanted.size() && upper[at + length] == wanted[length])
                ++length;
            if (length > bestLength) {
                bestSource = source;
                bestAt = at;
                bestLength = length;
            }
        }
    }
    if (!bestSource) return path;
    return bestSource->substr(bestAt, bestLength) + path.substr(bestLength);
}

namespace {

// Whether `cut`, `text` cut after its executable's extension, names a file that settles the
// main file's folder alone. The rules ask about the whole text first and fall back on the
// cut; when the cut is a file and nothing after it holds a backslash, both answers give the
// same folder. Asking about the cut first saves asking about a command with its arguments,
// a file that never exists, which Wine answers only after listing the whole folder.
bool CutSettlesTheFolder(const std::wstring& text, const std::wstring& cut, const TSoftInfo& entry,
                         TFileFacts& facts) {
    if (cut == text || text.find(L'\\', cut.size()) != std::wstring::npos) return false;
    return facts.FileExists(PathInEntryCase(cut, entry));
}

}  // namespace

std::wstring InstallFolderFromEntry(const TSoftInfo& entry, const TRefusedFolders& refused, TFileFacts& facts) {
    std::wstring text = CleanCommandText(MainFileText(entry), RundllRemoval::Anywhere);
    if (text.empty()) return {};
    const std::wstring cut = CutAtExecutable(text);
    if (CutSettlesTheFolder(text, cut, entry, facts) || !facts.FileExists(PathInEntryCase(text, entry))) text = cut;
    std::wstring folder = FolderPart(text);
    if (folder.empty() || !facts.FolderExists(PathInEntryCase(folder, entry)) || !refused.IsRemovable(folder))
        return {};
    // The self-updating kind names its current "app-1.2.3" folder; the program's folder is the
    // one above it, with Update.exe and the other versions.
    if (const std::wstring parent = SelfUpdatingRoot(folder);
        !parent.empty() && facts.FileExists(PathInEntryCase(parent + L"Update.exe", entry)) && refused.IsRemovable(parent))
        folder = parent;
    return folder;
}

std::wstring InstallFolderFromEntry(const TSoftInfo& entry, const TRefusedFolders& refused) {
    TFileFacts facts;
    return InstallFolderFromEntry(entry, refused, facts);
}

std::wstring InstallFolderFromEntry(const TSoftInfo& entry) {
    return InstallFolderFromEntry(entry, TRefusedFolders::Read());
}

TDateTime FolderDateFromEntry(const TSoftInfo& entry) {
    TFileFacts facts;
    return FolderDateFromEntry(entry, facts);
}

TDateTime FolderDateFromEntry(const TSoftInfo& entry, TFileFacts& facts) {
    std::wstring text = CleanCommandText(MainFileText(entry, true), RundllRemoval::FirstOrAfterBlank);
    if (text.empty()) return 0;
    const auto isFile = [](DWORD attributes) {
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    const std::wstring cut = CutAtExecutable(text);
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (CutSettlesTheFolder(text, cut, entry, facts)) {
        text = cut;
        attributes = facts.Attributes(PathInEntryCase(text, entry));
    } else {
        attributes = facts.Attributes(PathInEntryCase(text, entry));
        if (!isFile(attributes) && cut != text) {
            text = cut;
            attributes = facts.Attributes(PathInEntryCase(text, entry));
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
    const auto times = facts.Times(PathInEntryCase(text, entry));
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

// The first name in `folder` that starts with `prefix` and ends in ".EXE"; empty when none.
// The file system also answers the mask for a name whose generated 8.3 form ends in ".EXE"
// ("app.exeold"); such a file is no program to take an icon from, so only long names that
// end in ".EXE" count. A prefix holding a backslash would send the search into a subfolder
// whose file would then be looked for in `folder`: such prefixes find nothing.
std::wstring FirstExecutableStartingWith(const std::wstring& folder, const std::wstring& prefix,
                                         const TFileFacts& facts, const TSoftInfo& entry) {
    if (prefix.find_first_of(L"\\/") != std::wstring::npos) return {};
    const bool literal = !HasWildcards(prefix);
    if (const TFolderListing* listing = facts.ListingOf(folder); listing && literal)
        return FirstMatch(*listing, prefix, L".EXE").value_or(std::wstring());
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    for (bool more = finder.FindFirst(PathInEntryCase(folder, entry) + prefix + L"*.EXE", data); more;
         more = finder.FindNext(data)) {
        // With wildcards in the prefix the file system's answer is all there is to go by.
        if (!literal || MatchesPrefixStarSuffix(data.cFileName, prefix, L".EXE")) return data.cFileName;
    }
    return {};
}

std::wstring IconSource(const TSoftInfo& entry, int& iconIndex, const std::function<std::wstring()>& installFolder,
                        TFileFacts& facts) {
    std::wstring path = entry.DisplayIcon;
    iconIndex = 0;

    if (path.empty() && Contains(UpperCase(entry.UninstallString), L"MSIEXEC.EXE /") && entry.KeyPath.size() > 38) {
        const std::wstring packed = PackedProductCode(entry.KeyPath.substr(entry.KeyPath.size() - 38));
        if (!packed.empty()) {
            path = platform::ReadStringValue({HKEY_CLASSES_ROOT, L"Installer\\Products\\" + packed}, L"ProductIcon");
            if (path.empty())
                path = platform::ReadStringValue(
                    {HKEY_CURRENT_USER, L"Software\\Microsoft\\Installer\\Products\\" + packed}, L"ProductIcon");
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
            const std::wstring name = FirstExecutableStartingWith(folder, prefix, facts, entry);
            if (!name.empty()) found = folder + name;
        }
        path = found.empty() ? entry.UninstallString : found;
    }

    path = FileFromCommandLine(path);
    if (!path.empty() && !facts.FileExists(PathInEntryCase(path, entry))) path.clear();
    return path;
}

}  // namespace

std::wstring IconSourceFromEntry(const TSoftInfo& entry, int& iconIndex) {
    TFileFacts facts;
    return IconSource(entry, iconIndex, [&entry] { return InstallFolderFromEntry(entry); }, facts);
}

std::wstring IconSourceFromEntry(const TSoftInfo& entry, int& iconIndex,
                                 const std::function<std::wstring()>& installFolder,
                                 TFileFacts& facts) {
    return IconSource(entry, iconIndex, installFolder, facts);
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
