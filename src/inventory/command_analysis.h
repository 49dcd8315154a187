#pragma once
// File-system facts derived from an entry's texts: its folder, the folder's date, the file
// holding its icon, and whether a folder may be treated as a program's own.

#include <functional>
#include <string>
#include <vector>

#include "inventory/file_facts.h"
#include "inventory/soft_info.h"
#include "platform/shell.h"

namespace tarvo::inventory {

// The places that are never one program's own folder: the desktop, start menu and recent
// files as the user's Shell Folders name them, the Windows and system folders. Reading them
// costs three registry values; a pass over hundreds of entries reads them once and asks
// this set for every folder.
class TRefusedFolders {
public:
    // The places as the registry and the system name them now.
    [[nodiscard]] static TRefusedFolders Read();
    // Fixed places (any case, with or without a trailing backslash; empty ones are ignored).
    explicit TRefusedFolders(const std::vector<std::wstring>& places);

    // False for the places above, a drive root and a path with an unexpanded variable.
    [[nodiscard]] bool IsRemovable(const std::wstring& path) const;

private:
    std::vector<std::wstring> places_;  // upper case, trailing backslash
};

// `path`, found upper-cased in the entry's texts, in the letter case those texts have it: the
// longest leading part any text holds takes that text's case, the rest stays as it is. The
// same file to a case-insensitive file system, but Wine finds a path whose case differs from
// the disk's only by listing every folder on the way, which costs as much as walking them:
// file-system calls go out in this case.
[[nodiscard]] std::wstring PathInEntryCase(const std::wstring& path, const TSoftInfo& entry);

// The existing, removable folder of the entry's main file, with a trailing backslash; empty
// when there is none.
[[nodiscard]] std::wstring InstallFolderFromEntry(const TSoftInfo& entry);
[[nodiscard]] std::wstring InstallFolderFromEntry(const TSoftInfo& entry, const TRefusedFolders& refused);
// The same, asking `facts` so that later rules for the same entry do not ask again.
[[nodiscard]] std::wstring InstallFolderFromEntry(const TSoftInfo& entry, const TRefusedFolders& refused,
                                                  TFileFacts& facts);

// Creation time of the main file's folder (or of the main file's path when it is a folder);
// 0 when there is none.
[[nodiscard]] TDateTime FolderDateFromEntry(const TSoftInfo& entry);
[[nodiscard]] TDateTime FolderDateFromEntry(const TSoftInfo& entry, TFileFacts& facts);

// A stored install location cleaned of quotes, NT prefixes and loader words; empty when the
// result is not an existing folder.
[[nodiscard]] std::wstring RepairInstallLocation(const std::wstring& location);

// False for places that are never one program's own: a drive root, a path with an unexpanded
// variable, the desktop, start menu, recent files, Windows and system folders. Reads those
// places on every call; a loop over entries uses TRefusedFolders instead.
[[nodiscard]] bool IsRemovableFolder(const std::wstring& path);

// The existing file that holds the entry's icon, and the icon's index in it; empty when none.
[[nodiscard]] std::wstring IconSourceFromEntry(const TSoftInfo& entry, int& iconIndex);
// The same, asking `installFolder` for what InstallFolderFromEntry gives, and only when the
// icon has to be looked for in that folder; a listing of that folder `facts` holds is
// searched in memory instead of the folder.
[[nodiscard]] std::wstring IconSourceFromEntry(const TSoftInfo& entry, int& iconIndex,
                                               const std::function<std::wstring()>& installFolder,
                                               TFileFacts& facts);

// The file a command line or icon specification points to: arguments, quotes, NT prefixes,
// environment variables and the rundll32 loader dealt with.
[[nodiscard]] std::wstring FileFromCommandLine(const std::wstring& command);

// The shell's icon for the file a command points to; null on failure.
[[nodiscard]] platform::unique_hicon CommandIcon(const std::wstring& command, bool small);

// Runs a stored command (macros "%WINDOWS%", "%SYSTEM%", "%APP%\" expanded) through the
// shell; rundll32 commands are started through RunDll32.exe. False when the shell refused.
bool RunShellCommand(const std::wstring& command);

}  // namespace tarvo::inventory
