#include "common/date_time.h"

#include <cmath>
#include <cstdio>

namespace tarvo::common {

namespace {

constexpr bool IsLeapYear(int year) noexcept {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

constexpr int DaysInMonth(int year, int month) noexcept {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days from 0001-01-01 to the given date, proleptic Gregorian.
constexpr long long DayNumber(int year, int month, int day) noexcept {
    const long long y = year - 1;
    long long days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    return days + day - 1;
}

constexpr long long kEpochDay = DayNumber(1899, 12, 30);

wchar_t DecimalSeparator() {
    wchar_t buffer[8] = {};
    return ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) > 1 ? buffer[0] : L'.';
}

}  // namespace

std::optional<TDateTime> DateFromParts(int year, int month, int day) noexcept {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    return static_cast<TDateTime>(DayNumber(year, month, day) - kEpochDay);
}

TDateTime SystemTimeToDate(const SYSTEMTIME& time) noexcept {
    const auto date = DateFromParts(time.wYear, time.wMonth, time.wDay);
    if (!date) return 0;
    const double fraction =
        (time.wHour * 3600000.0 + time.wMinute * 60000.0 + time.wSecond * 1000.0 + time.wMilliseconds) /
        86400000.0;
    // Before 1899-12-30 the fraction counts away from zero, as the OLE date defines it.
    return *date >= 0 ? *date + fraction : *date - fraction;
}

std::optional<SYSTEMTIME> DateToSystemTime(TDateTime value) noexcept {
    if (!std::isfinite(value)) return std::nullopt;
    const double whole = std::trunc(value);
    const long long dayNumber = static_cast<long long>(whole) + kEpochDay;
    if (dayNumber < 0 || dayNumber > DayNumber(9999, 12, 31)) return std::nullopt;
    long long milliseconds = std::llround(std::fabs(value - whole) * 86400000.0);
    if (milliseconds >= 86400000) milliseconds = 86399999;

    int year = static_cast<int>(dayNumber / 366) + 1;
    while (DayNumber(year + 1, 1, 1) <= dayNumber) ++year;
    int month = 1;
    while (month < 12 && DayNumber(year, month + 1, 1) <= dayNumber) ++month;
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(dayNumber - DayNumber(year, month, 1) + 1);
    time.wDayOfWeek = static_cast<WORD>((dayNumber + 1) % 7);  // 0001-01-01 was a Monday
    time.wHour = static_cast<WORD>(milliseconds / 3600000);
    time.wMinute = static_cast<WORD>(milliseconds / 60000 % 60);
    time.wSecond = static_cast<WORD>(milliseconds / 1000 % 60);
    time.wMilliseconds = static_cast<WORD>(milliseconds % 1000);
    return time;
}

TDateTime NowLocal() noexcept {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return SystemTimeToDate(now);
}

TDateTime FileTimeToDate(const FILETIME& time) noexcept {
    FILETIME local{};
    SYSTEMTIME system{};
    if (!::FileTimeToLocalFileTime(&time, &local) || !::FileTimeToSystemTime(&local, &system)) return 0;
    return SystemTimeToDate(system);
}

std::wstring ShortDateText(TDateTime value) {
    const auto time = DateToSystemTime(value);
    if (!time) return {};
    wchar_t buffer[96] = {};
    const int length = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &*time, nullptr, buffer, 96);
    return length > 1 ? std::wstring(buffer, static_cast<std::size_t>(length - 1)) : std::wstring();
}

std::wstring IsoLocalDateTime(TDateTime value) {
    const auto time = DateToSystemTime(value);
    if (!time) return {};
    wchar_t buffer[32] = {};
    swprintf(buffer, 32, L"%04u-%02u-%02uT%02u:%02u:%02u", time->wYear, time->wMonth, time->wDay, time->wHour,
             time->wMinute, time->wSecond);
    return buffer;
}

std::optional<TDateTime> ParseYearMonthDay(const std::wstring& text) noexcept {
    int parts[3] = {};
    int digits[3] = {};
    std::size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    for (int part = 0; part < 3; ++part) {
        if (part > 0) {
            if (i >= text.size() || text[i] != L'-') return std::nullopt;
            ++i;
        }
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
            if (++digits[part] > 4) return std::nullopt;
            parts[part] = parts[part] * 10 + (text[i] - L'0');
            ++i;
        }
        if (digits[part] == 0) return std::nullopt;
    }
    while (i < text.size() && text[i] == L' ') ++i;
    if (i != text.size()) return std::nullopt;

    int year = parts[0];
    if (digits[0] <= 2) {
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        const int windowStart = now.wYear - 50;
        year += windowStart / 100 * 100;
        if (year < windowStart) year += 100;
    }
    return DateFromParts(year, parts[1], parts[2]);
}

std::wstring SizeText(std::int64_t bytes) {
    if (bytes < 1024) return std::to_wstring(bytes) + L" Byte";
    static constexpr const wchar_t* kUnits[] = {L" KB", L" MB", L" GB"};
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (unit < 2 && value >= 1024.0) {
        value /= 1024.0;
        ++unit;
    }
    wchar_t buffer[64] = {};
    swprintf(buffer, 64, L"%.2f", value);
    std::wstring text = buffer;
    const auto dot = text.find(L'.');
    if (dot != std::wstring::npos) text[dot] = DecimalSeparator();
    return text + kUnits[unit];
}

}  // namespace tarvo::common
