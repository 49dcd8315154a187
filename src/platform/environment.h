#pragma once

#include <string>

namespace tarvo::platform {

// ExpandEnvironmentStringsW; false (and `expanded` untouched) when it fails.
[[nodiscard]] bool ExpandEnvironmentOf(const std::wstring& text, std::wstring& expanded) noexcept;

}  // namespace tarvo::platform
