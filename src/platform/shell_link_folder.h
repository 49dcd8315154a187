#pragma once
// The working folder a shortcut records, and shortcuts written with one: what the forced
// uninstall falls back to when a shortcut's own data names no local file.

#include <string>

namespace tarvo::platform {

// IShellLinkW::GetWorkingDirectory after IPersistFile::Load, at most MAX_PATH characters;
// empty on any failure. Initialises COM for the call itself.
[[nodiscard]] std::wstring ShellLinkWorkingFolder(const std::wstring& linkPath) noexcept;

// Writes a shortcut to `target` starting in `workingFolder` (none when empty); false when
// the link cannot be created or saved. Initialises COM for the call itself.
[[nodiscard]] bool CreateShellLinkIn(const std::wstring& linkPath, const std::wstring& target,
                                     const std::wstring& workingFolder) noexcept;

}  // namespace tarvo::platform
