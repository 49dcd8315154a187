#pragma once
// The program's path macros ("%SYSDIR%", "%APPDATA%", …) as uninstall commands and icon
// paths carry them.

#include <string>

namespace tarvo::settings {

// Expands the first macro of the table found in `path` (every occurrence of it, ignoring
// case), in place. `allUsersPath` receives the all-users form for the macros that have one,
// and is emptied otherwise.
void ExpandPathMacros(std::wstring& path, std::wstring& allUsersPath);

// Convenience for callers that do not need the all-users form.
[[nodiscard]] std::wstring ExpandPathMacros(const std::wstring& path);

}  // namespace tarvo::settings
