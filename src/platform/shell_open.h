#pragma once
// Starting a program through the shell, and the shell's icon for a kind of file.

#include <windows.h>

#include <string>

namespace tarvo::platform {

// ShellExecuteW with the "open" verb and a normal window; true when the shell reports
// success (a result above 32).
[[nodiscard]] bool ShellOpen(const std::wstring& file, const std::wstring& parameters = {}) noexcept;

// The shell's large icon for files ending in `extension` (".log"); the caller owns it.
// Null when the shell has none.
[[nodiscard]] HICON LargeIconForExtension(const std::wstring& extension) noexcept;

}  // namespace tarvo::platform
