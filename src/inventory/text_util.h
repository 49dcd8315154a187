#pragma once
// Text operations the inventory rules are written in: upper and lower case that work beyond
// ASCII, blank trimming in the sense of "every control character and blank", replacing.

#include <string>
#include <string_view>

namespace tarvo::inventory {

[[nodiscard]] std::wstring UpperCase(std::wstring_view text);
[[nodiscard]] std::wstring LowerCase(std::wstring_view text);
// Strips every character up to and including the blank from both ends.
[[nodiscard]] std::wstring Trim(std::wstring_view text);
[[nodiscard]] bool Contains(std::wstring_view text, std::wstring_view part) noexcept;
[[nodiscard]] bool StartsWith(std::wstring_view text, std::wstring_view prefix) noexcept;
[[nodiscard]] bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);
// Case-sensitive, every occurrence, left to right without rescanning the replacement.
[[nodiscard]] std::wstring ReplaceAll(std::wstring_view text, std::wstring_view from, std::wstring_view to);
[[nodiscard]] std::wstring ReplaceAllIgnoreCase(std::wstring_view text, std::wstring_view from,
                                                std::wstring_view to);
// Removes the first occurrence only.
[[nodiscard]] std::wstring RemoveFirst(std::wstring_view text, std::wstring_view part);
[[nodiscard]] std::wstring WithTrailingBackslash(std::wstring_view path);

}  // namespace tarvo::inventory
