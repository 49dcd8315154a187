#pragma once
// MoveFileEx in the two forms the program needs: an atomic replace, and deletion at restart.

#include <string>

namespace tarvo::platform {

// Moves `from` over `to`, replacing an existing `to` in one step, so a reader sees either
// the old file or the new one, never a half-written file.
[[nodiscard]] bool MoveFileReplacing(const std::wstring& from, const std::wstring& to) noexcept;

// MoveFileExW(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): the file goes at the next restart.
// Needs write access to the session manager's key, which an administrator has.
[[nodiscard]] bool DeleteFileAtRestart(const std::wstring& path) noexcept;

}  // namespace tarvo::platform
