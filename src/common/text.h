#pragma once
// Text operations the rules are written in: the program's one case rule (from the platform
// layer, which asks the system), blank trimming in the sense of "every control character and
// blank", searching and replacing.

#include <string>
#include <string_view>

#include "platform/text.h"

namespace tarvo::common {

using platform::EqualsIgnoreCase;
using platform::LowerCase;
using platform::UpperCase;

// Strips every character up to and including the blank from both ends.
[[nodiscard]] std::wstring Trim(std::wstring_view text);
[[nodiscard]] bool Contains(std::wstring_view text, std::wstring_view part) noexcept;
[[nodiscard]] bool StartsWith(std::wstring_view text, std::wstring_view prefix) noexcept;
// Case-sensitive, every occurrence, left to right without rescanning the replacement.
[[nodiscard]] std::wstring ReplaceAll(std::wstring_view text, std::wstring_view from, std::wstring_view to);
[[nodiscard]] std::wstring ReplaceAllIgnoreCase(std::wstring_view text, std::wstring_view from,
                                                std::wstring_view to);
// Removes the first occurrence only.
[[nodiscard]] std::wstring RemoveFirst(std::wstring_view text, std::wstring_view part);

}  // namespace tarvo::common
