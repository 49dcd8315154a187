#pragma once
// What kind of host runs the program, and names the host resolves: Wine or Windows, and a
// relative path made full.

#include <string>

namespace tarvo::platform {

// True under Wine (ntdll exports wine_get_version): its drives other than the system one are
// windows onto the host's own file system.
[[nodiscard]] bool RunningUnderWine() noexcept;

// GetFullPathNameW: a relative path made absolute against the current folder; the path itself
// when the call fails.
[[nodiscard]] std::wstring GetFullPathOf(const std::wstring& path);

}  // namespace tarvo::platform
