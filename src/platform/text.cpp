#include "platform/text.h"

#include <climits>

namespace tarvo::platform {

namespace {

bool IsAscii(std::wstring_view text) noexcept {
    for (const wchar_t c : text)
        if (c >= 0x80) return false;
    return true;
}

wchar_t AsciiUpper(wchar_t c) noexcept { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c ^ 0x20) : c; }
wchar_t AsciiLower(wchar_t c) noexcept { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c ^ 0x20) : c; }

std::wstring MapCase(std::wstring_view text, DWORD flags) {
    if (text.empty()) return {};
    std::wstring mapped(text);
    // The scans case-map hundreds of thousands of names and values, nearly all ASCII, where
    // the invariant mapping touches the Latin letters alone: no need to ask the system.
    if (IsAscii(text)) {
        for (auto& c : mapped) c = flags == LCMAP_UPPERCASE ? AsciiUpper(c) : AsciiLower(c);
        return mapped;
    }
    const int length = text.size() > INT_MAX ? 0
                                             : ::LCMapStringW(LOCALE_INVARIANT, flags, text.data(),
                                                              static_cast<int>(text.size()), mapped.data(),
                                                              static_cast<int>(mapped.size()));
    if (length <= 0) {
        for (auto& c : mapped)
            if (flags == LCMAP_UPPERCASE ? (c >= L'a' && c <= L'z') : (c >= L'A' && c <= L'Z'))
                c = static_cast<wchar_t>(c ^ 0x20);
        return mapped;
    }
    mapped.resize(static_cast<std::size_t>(length));
    return mapped;
}

}  // namespace

std::wstring UpperCase(std::wstring_view text) { return MapCase(text, LCMAP_UPPERCASE); }
std::wstring LowerCase(std::wstring_view text) { return MapCase(text, LCMAP_LOWERCASE); }

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    if (IsAscii(a) && IsAscii(b)) {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
        return true;
    }
    return UpperCase(a) == UpperCase(b);
}

bool LowerCaseContains(std::wstring_view text, std::wstring_view lowerNeedle) {
    if (!IsAscii(text)) return LowerCase(text).find(lowerNeedle) != std::wstring::npos;
    if (lowerNeedle.size() > text.size()) return false;
    // Every value a scan reads is tested this way, once for each program of a batch: no copy.
    for (std::size_t at = 0; at + lowerNeedle.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < lowerNeedle.size() && AsciiLower(text[at + i]) == lowerNeedle[i]) ++i;
        if (i == lowerNeedle.size()) return true;
    }
    return false;
}

std::wstring MultiByteToWide(const char* bytes, std::size_t size, UINT codePage) {
    if (size == 0 || size > INT_MAX) return {};
    const int length = static_cast<int>(size);
    const int needed = ::MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes, length, text.data(), needed);
    return text;
}

std::string WideToMultiByte(const std::wstring& text, UINT codePage) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

std::wstring DecimalSeparator() {
    wchar_t buffer[8] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) <= 1) return L".";
    return buffer;
}

std::wstring SystemMessage(DWORD error) {
    wchar_t buffer[512] = {};
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                    error, 0, buffer, 512, nullptr);
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n')) --length;
    return std::wstring(buffer, length);
}

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

SYSTEMTIME LocalTimeNow() noexcept {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

std::wstring FormatUserDateTime(const SYSTEMTIME& time) {
    wchar_t date[128] = {};
    wchar_t clock[128] = {};
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 128);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, 128);
    return std::wstring(date) + L" " + clock;
}

SYSTEMTIME FileTimeToLocal(const FILETIME& utc) noexcept {
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    if (!::FileTimeToSystemTime(&utc, &universal)) return local;
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) return universal;
    return local;
}

}  // namespace tarvo::platform
