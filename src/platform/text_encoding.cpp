#include "platform/text_encoding.h"

#include "platform/text.h"

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
    return WideToMultiByte(clean, CP_UTF8);
}

std::wstring WideFromUtf8(std::string_view text) { return MultiByteToWide(text.data(), text.size(), CP_UTF8); }

}  // namespace tarvo::platform
