#include "inventory/usage_class.h"

#include <gtest/gtest.h>

#include "common/date_time.h"

namespace tarvo::inventory {

using common::DateFromParts;
namespace {

TDateTime D(int year, int month, int day) { return *DateFromParts(year, month, day); }

struct RangeCase {
    const char* what;
    TDateTime today;
    TDateTime lastUse;
    TDateTime installDate;
    TAppUseRange range;
    TAppUseRate rate;
    const wchar_t* text;
};

TEST(UsageClassification, RecencyFrequencyAndText) {
    const RangeCase cases[] = {
        {"two days ago this month", D(2014, 6, 12), D(2014, 6, 10), 0, aud3Day, aurOften, L"within 3 days"},
        {"same day", D(2014, 6, 12), D(2014, 6, 12) + 0.5, 0, audToday, aurOften, L"today"},
        {"seven days", D(2014, 6, 12), D(2014, 6, 5), 0, audWeek, aurOften, L"within 1 week"},
        {"fourteen days", D(2014, 6, 15), D(2014, 6, 1), 0, aud2Week, aurOften, L"within 2 weeks"},
        {"fifteen days", D(2014, 6, 16), D(2014, 6, 1), 0, audMonth, aurLess, L"within 1 month"},
        {"previous month, later day", D(2014, 3, 10), D(2014, 2, 20), 0, audMonth, aurLess, L"within 1 month"},
        {"previous month, earlier day", D(2014, 3, 25), D(2014, 2, 20), 0, aud2Month, aurLess, L"less"},
        {"two months", D(2014, 5, 25), D(2014, 3, 20), 0, aud3Month, aurRarely, L"rarely"},
        {"december of last year", D(2014, 1, 2), D(2013, 12, 30), D(2013, 6, 1), audMore, aurRarely, L"rarely"},
        {"no install date never protects", D(2014, 1, 2), D(2013, 12, 30), 0, audMore, aurRarely, L"rarely"},
        {"installed five weeks ago", D(2014, 9, 10), D(2014, 5, 5), D(2014, 8, 6), audMore, aurUnknown,
         L"<unknown>"},
        {"installed two months ago, earlier day", D(2014, 9, 10), D(2014, 5, 5), D(2014, 7, 9), audMore, aurRarely,
         L"rarely"},
        {"installed two months ago, later day", D(2014, 9, 10), D(2014, 5, 5), D(2014, 7, 20), audMore, aurUnknown,
         L"<unknown>"},
        {"last use in the future", D(2014, 6, 12), D(2014, 6, 13), 0, audUnknown, aurUnknown, L"<unknown>"},
        {"next year", D(2014, 6, 12), D(2015, 1, 1), 0, audUnknown, aurUnknown, L"<unknown>"},
        {"later month", D(2014, 6, 12), D(2014, 7, 1), 0, audUnknown, aurUnknown, L"<unknown>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TAppUseRange range = ClassifyRange(c.today, c.lastUse);
        EXPECT_EQ(range, c.range);
        const TAppUseRate rate = ClassifyRate(range, aurUnknown, c.today, c.installDate);
        EXPECT_EQ(rate, c.rate);
        TSoftInfo entry;
        entry.UseRange = range;
        entry.UseRate = rate;
        EXPECT_EQ(UseText(entry), c.text);
    }
}

TEST(UsageClassification, UnknownRangeKeepsThePreviousRate) {
    EXPECT_EQ(ClassifyRate(audUnknown, aurLess, D(2014, 6, 1), 0), aurLess);
}

TEST(UsageClassification, ValueNamesRoundTripAndRejectStrangers) {
    for (int i = audUnknown; i <= audMore; ++i) {
        const auto range = static_cast<TAppUseRange>(i);
        EXPECT_EQ(UseRangeFromName(UseRangeName(range)), range);
    }
    for (int i = aurUnknown; i <= aurRarely; ++i) {
        const auto rate = static_cast<TAppUseRate>(i);
        EXPECT_EQ(UseRateFromName(UseRateName(rate)), rate);
    }
    EXPECT_STREQ(UseRangeName(aud3Day), L"aud3Day");
    EXPECT_STREQ(UseRateName(aurOften), L"aurOften");
    EXPECT_FALSE(UseRangeFromName(L"AUD3DAY").has_value());
    EXPECT_FALSE(UseRangeFromName(L"audYesterday").has_value());
    EXPECT_FALSE(UseRateFromName(L"").has_value());
}

}  // namespace
}  // namespace tarvo::inventory
