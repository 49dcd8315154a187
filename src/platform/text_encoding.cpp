#include "platform/text_encoding.h"

#include <windows.h>

namespace tarvo::platform {

std::string Utf8FromWide(std::wstring_view text) {
    // Repair unpaired surrogates first: older Windows would encode them as they stand.
    std::wstring clean(text);
    for (std::size_t i = 0; i < clean.size(); ++i) {
        const wchar_t c = clean[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < clean.size() && clean[i + 1] >= 0xDC00 && clean[i + 1] <= 0xDFFF)
                ++i;
            else
                clean[i] = 0xFFFD;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            clean[i] = 0xFFFD;
        }
    }
    if (clean.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, clean.data(), static_cast<int>(clean.size()), nullptr,
                                           0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, clean.data(), static_cast<int>(clean.size()), result.data(), size,
                              nullptr, nullptr);
    return result;
}

std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

}  // namespace tarvo::platform
