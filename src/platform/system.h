#pragma once
// What Windows says about itself: version, processor architecture and environment.

#include <windows.h>

#include <optional>
#include <string>

namespace tarvo::platform {

// What Windows reports about itself: version numbers and processor architecture.

// GetVersionEx with the extended structure; nullopt when the call fails.
[[nodiscard]] std::optional<OSVERSIONINFOEXW> GetVersionExOf() noexcept;
// The version Windows really runs: RtlGetVersion from ntdll, which no compatibility shim or
// missing manifest entry turns into an older number; GetVersionEx where ntdll lacks it.
[[nodiscard]] std::optional<OSVERSIONINFOEXW> RtlGetVersionOf() noexcept;
// GetNativeSystemInfo (looked up by name, absent before XP) or GetSystemInfo.
[[nodiscard]] SYSTEM_INFO GetNativeSystemInfoOf() noexcept;

// ExpandEnvironmentStringsW; false (and `expanded` untouched) when it fails.
[[nodiscard]] bool ExpandEnvironmentOf(const std::wstring& text, std::wstring& expanded) noexcept;

}  // namespace tarvo::platform
