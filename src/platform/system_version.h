#pragma once
// What Windows reports about itself: version numbers and processor architecture.

#include <windows.h>

#include <optional>

namespace tarvo::platform {

// GetVersionEx with the extended structure; nullopt when the call fails.
[[nodiscard]] std::optional<OSVERSIONINFOEXW> GetVersionExOf() noexcept;
// GetNativeSystemInfo (looked up by name, absent before XP) or GetSystemInfo.
[[nodiscard]] SYSTEM_INFO GetNativeSystemInfoOf() noexcept;

}  // namespace tarvo::platform
