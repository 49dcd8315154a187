#include "settings/number_text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "settings/text_file.h"

namespace tarvo::settings {

std::optional<long long> ParseInteger(const std::wstring& text) {
    const std::wstring trimmed = Trim(text);
    std::size_t i = 0;
    const bool negative = !trimmed.empty() && trimmed[0] == L'-';
    if (!trimmed.empty() && (trimmed[0] == L'-' || trimmed[0] == L'+')) ++i;
    if (i == trimmed.size()) return std::nullopt;
    unsigned long long magnitude = 0;
    const unsigned long long limit = negative ? 9223372036854775808ULL : 9223372036854775807ULL;
    for (; i < trimmed.size(); ++i) {
        const wchar_t ch = trimmed[i];
        if (ch < L'0' || ch > L'9') return std::nullopt;
        const auto digit = static_cast<unsigned long long>(ch - L'0');
        if (magnitude > (limit - digit) / 10) return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (negative) return magnitude == limit ? (-9223372036854775807LL - 1) : -static_cast<long long>(magnitude);
    return static_cast<long long>(magnitude);
}

std::wstring FormatFloat(double value, const std::wstring& separator) {
    wchar_t buffer[64] = {};
    std::swprintf(buffer, 64, L"%.15g", value);
    std::wstring text = buffer;
    if (const auto dot = text.find(L'.'); dot != std::wstring::npos) text.replace(dot, 1, separator);
    return text;
}

std::optional<double> ParseFloat(const std::wstring& text, const std::wstring& separator) {
    std::wstring plain = Trim(text);
    if (plain.empty() || separator.empty()) return std::nullopt;
    if (separator != L".") {
        // A '.' where the user's format has none would otherwise slip through as a separator.
        if (plain.find(L'.') != std::wstring::npos) return std::nullopt;
        if (const auto at = plain.find(separator); at != std::wstring::npos) plain.replace(at, separator.size(), L".");
    }
    for (const wchar_t ch : plain)
        if (!((ch >= L'0' && ch <= L'9') || ch == L'.' || ch == L'-' || ch == L'+' || ch == L'e' || ch == L'E'))
            return std::nullopt;
    wchar_t* end = nullptr;
    errno = 0;
    const double value = std::wcstod(plain.c_str(), &end);
    if (end != plain.c_str() + plain.size() || errno == ERANGE || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace tarvo::settings
