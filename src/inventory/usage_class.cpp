#include "inventory/usage_class.h"

#include <iterator>

#include "common/date_time.h"
#include "language/language.h"

namespace tarvo::inventory {

using common::DateToSystemTime;

namespace {

constexpr const wchar_t* kRangeNames[] = {L"audUnknown", L"audToday",  L"aud3Day",   L"audWeek", L"aud2Week",
                                          L"audMonth",   L"aud2Month", L"aud3Month", L"audMore"};
constexpr const wchar_t* kRateNames[] = {L"aurUnknown", L"aurOften", L"aurLess", L"aurRarely"};

struct Day {
    int year = 0;
    int month = 0;
    int day = 0;
};

std::optional<Day> DayOf(TDateTime value) noexcept {
    const auto time = DateToSystemTime(value);
    if (!time) return std::nullopt;
    return Day{time->wYear, time->wMonth, time->wDay};
}

TAppUseRange RangeFromMonths(int months) noexcept {
    switch (months) {
        case 0: return audMonth;
        case 1: return aud2Month;
        case 2: return aud3Month;
        default: return audMore;
    }
}

TAppUseRange RangeFromDays(int days) noexcept {
    if (days < 0) return audUnknown;
    if (days == 0) return audToday;
    if (days <= 3) return aud3Day;
    if (days <= 7) return audWeek;
    if (days <= 14) return aud2Week;
    return audMonth;
}

}  // namespace

TAppUseRange ClassifyRange(TDateTime today, TDateTime lastUse) noexcept {
    const auto now = DayOf(today);
    const auto last = DayOf(lastUse);
    if (!now || !last) return audUnknown;
    if (last->year > now->year) return audUnknown;
    if (last->year < now->year) return audMore;
    if (last->month > now->month) return audUnknown;
    if (last->month < now->month) {
        int months = now->month - last->month;
        if (now->day < last->day) --months;
        return RangeFromMonths(months);
    }
    return RangeFromDays(now->day - last->day);
}

TAppUseRate ClassifyRate(TAppUseRange range, TAppUseRate previous, TDateTime today, TDateTime installDate) noexcept {
    switch (range) {
        case audToday:
        case aud3Day:
        case audWeek:
        case aud2Week: return aurOften;
        case audMonth:
        case aud2Month: return aurLess;
        case aud3Month:
        case audMore: {
            // A program installed recently has had no chance to be used often.
            const auto now = DayOf(today);
            const auto installed = DayOf(installDate);
            if (now && installed && installDate != 0 && installed->year == now->year) {
                const int months = now->month - installed->month;
                if (months <= 1 || (months == 2 && now->day < installed->day)) return aurUnknown;
            }
            return aurRarely;
        }
        default: return previous;
    }
}

const wchar_t* UseRangeName(TAppUseRange range) noexcept {
    const auto index = static_cast<std::size_t>(range);
    return index < std::size(kRangeNames) ? kRangeNames[index] : kRangeNames[0];
}

const wchar_t* UseRateName(TAppUseRate rate) noexcept {
    const auto index = static_cast<std::size_t>(rate);
    return index < std::size(kRateNames) ? kRateNames[index] : kRateNames[0];
}

std::optional<TAppUseRange> UseRangeFromName(const std::wstring& name) noexcept {
    for (std::size_t i = 0; i < std::size(kRangeNames); ++i)
        if (name == kRangeNames[i]) return static_cast<TAppUseRange>(i);
    return std::nullopt;
}

std::optional<TAppUseRate> UseRateFromName(const std::wstring& name) noexcept {
    for (std::size_t i = 0; i < std::size(kRateNames); ++i)
        if (name == kRateNames[i]) return static_cast<TAppUseRate>(i);
    return std::nullopt;
}

std::wstring UseText(const TSoftInfo& entry) {
    using language::GetText;
    switch (entry.UseRange) {
        case aud2Month:
        case aud3Month:
        case audMore:
            switch (entry.UseRate) {
                case aurOften: return GetText(L"UseOften", L"often");
                case aurLess: return GetText(L"UseLess", L"less");
                case aurRarely: return GetText(L"UseRarely", L"rarely");
                default: return GetText(L"UseUnknown", L"<unknown>");
            }
        case audToday: return GetText(L"UseToday", L"today");
        case aud3Day: return GetText(L"UseWithin3Days", L"within 3 days");
        case audWeek: return GetText(L"UseWithin1Week", L"within 1 week");
        case aud2Week: return GetText(L"UseWithin2Weeks", L"within 2 weeks");
        case audMonth: return GetText(L"UseWithin1Month", L"within 1 month");
        default: return GetText(L"UseUnknown", L"<unknown>");
    }
}

}  // namespace tarvo::inventory
