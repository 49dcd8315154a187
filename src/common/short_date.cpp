#include "common/short_date.h"

#include <windows.h>

#include "common/date_time.h"

namespace tarvo::common {

namespace {

std::wstring UserShortDateFormat() {
    wchar_t buffer[96] = {};
    const int length = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, 96);
    return length > 1 ? std::wstring(buffer) : std::wstring(L"M/d/yyyy");
}

// Positions of year, month and day in the format: 0, 1 or 2 each. Quoted literals skipped.
bool FieldOrder(const std::wstring& format, int& year, int& month, int& day) {
    year = month = day = -1;
    int next = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const wchar_t ch = format[i];
        if (ch == L'\'') quoted = !quoted;
        if (quoted) continue;
        int* field = ch == L'y' ? &year : ch == L'M' ? &month : ch == L'd' ? &day : nullptr;
        if (!field) continue;
        // "ddd" and "dddd" are day names: no number to read.
        std::size_t run = 1;
        while (i + run < format.size() && format[i + run] == ch) ++run;
        i += run - 1;
        if (ch != L'y' && run > 2) return false;
        if (*field < 0) *field = next++;
    }
    return year >= 0 && month >= 0 && day >= 0;
}

}  // namespace

std::optional<TDateTime> ParseShortDate(const std::wstring& text, const std::wstring& format) {
    int yearAt = 0, monthAt = 0, dayAt = 0;
    if (!FieldOrder(format.empty() ? UserShortDateFormat() : format, yearAt, monthAt, dayAt)) return std::nullopt;
    int numbers[3] = {};
    int digits[3] = {};
    int count = 0;
    bool inNumber = false;
    for (const wchar_t ch : text) {
        if (ch >= L'0' && ch <= L'9') {
            if (!inNumber) {
                if (count == 3) return std::nullopt;
                ++count;
                inNumber = true;
            }
            if (++digits[count - 1] > 4) return std::nullopt;
            numbers[count - 1] = numbers[count - 1] * 10 + (ch - L'0');
        } else {
            inNumber = false;
        }
    }
    if (count != 3) return std::nullopt;
    int year = numbers[yearAt];
    if (digits[yearAt] <= 2) {
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        const int windowStart = now.wYear - 50;
        year += windowStart / 100 * 100;
        if (year < windowStart) year += 100;
    }
    return DateFromParts(year, numbers[monthAt], numbers[dayAt]);
}

}  // namespace tarvo::common
