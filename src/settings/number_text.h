#pragma once
// Numbers as the settings files store them: decimal text, floating point in the user's
// number format.

#include <optional>
#include <string>

namespace tarvo::settings {

// Optional sign and decimal digits, blanks around allowed; anything else (or a value out of
// range) is not a number.
[[nodiscard]] std::optional<long long> ParseInteger(const std::wstring& text);

// Up to 15 significant digits, with `separator` as decimal separator.
[[nodiscard]] std::wstring FormatFloat(double value, const std::wstring& separator);
// The reverse; nullopt when the text is not a whole number in that format.
[[nodiscard]] std::optional<double> ParseFloat(const std::wstring& text, const std::wstring& separator);

}  // namespace tarvo::settings
