#pragma once

namespace tarvo::settings {

// True when this 32-bit process runs under WOW64 (64-bit Windows). IsWow64Process is
// looked up by name; a missing function or a failure counts as 32-bit Windows.
[[nodiscard]] bool IsWow64() noexcept;

}  // namespace tarvo::settings
