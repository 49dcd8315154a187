#pragma once
// The running copy and the installed copy: where each lives, and our own version.

#include <string>

namespace tarvo::setup {

// Folder of the installed executable named by "InstallLocation" of the program's own
// uninstall key, with a trailing backslash; empty when the value is missing or names no file.
[[nodiscard]] std::wstring ProgramFolderFromInstallLocation(const std::wstring& installLocation);

[[nodiscard]] std::wstring RunningExecutablePath();
// Our own "FileVersion" resource text ("3.0.0.1"), "Unknown" when it cannot be read.
[[nodiscard]] std::wstring OwnFileVersionText();

// Program Files + "\Tarvo\Tarvo Uninstaller": where an installation goes when no folder is named.
[[nodiscard]] std::wstring DefaultInstallTargetFolder();

}  // namespace tarvo::setup
