#pragma once
// File-system facts derived from an entry's texts: its folder, the folder's date, the file
// holding its icon, and whether a folder may be treated as a program's own.

#include <string>

#include "inventory/soft_info.h"
#include "platform/file_icons.h"

namespace tarvo::inventory {

// The existing, removable folder of the entry's main file, with a trailing backslash; empty
// when there is none.
[[nodiscard]] std::wstring InstallFolderFromEntry(const TSoftInfo& entry);

// Creation time of the main file's folder (or of the main file's path when it is a folder);
// 0 when there is none.
[[nodiscard]] TDateTime FolderDateFromEntry(const TSoftInfo& entry);

// A stored install location cleaned of quotes, NT prefixes and loader words; empty when the
// result is not an existing folder.
[[nodiscard]] std::wstring RepairInstallLocation(const std::wstring& location);

// False for places that are never one program's own: a drive root, a path with an unexpanded
// variable, the desktop, start menu, recent files, Windows and system folders.
[[nodiscard]] bool IsRemovableFolder(const std::wstring& path);

// The existing file that holds the entry's icon, and the icon's index in it; empty when none.
[[nodiscard]] std::wstring IconSourceFromEntry(const TSoftInfo& entry, int& iconIndex);

// The file a command line or icon specification points to: arguments, quotes, NT prefixes,
// environment variables and the rundll32 loader dealt with.
[[nodiscard]] std::wstring FileFromCommandLine(const std::wstring& command);

// The shell's icon for the file a command points to; null on failure.
[[nodiscard]] platform::unique_hicon CommandIcon(const std::wstring& command, bool small);

// Runs a stored command (macros "%WINDOWS%", "%SYSTEM%", "%APP%\" expanded) through the
// shell; rundll32 commands are started through RunDll32.exe. False when the shell refused.
bool RunShellCommand(const std::wstring& command);

}  // namespace tarvo::inventory
