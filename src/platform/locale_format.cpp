#include "platform/locale_format.h"

namespace tarvo::platform {

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
