#pragma once
// The few text rules the add-on code needs: trimming, case-blind equality and a case-blind key.

#include <string>

namespace tarvo::addons {

// Without blanks and control characters at either end.
[[nodiscard]] std::wstring Trim(const std::wstring& text);
// Case-insensitive equality in the user's locale.
[[nodiscard]] bool SameText(const std::wstring& a, const std::wstring& b) noexcept;
// The upper-case form used as a key where many texts are compared case-insensitively.
[[nodiscard]] std::wstring CaseKey(const std::wstring& text);

}  // namespace tarvo::addons
