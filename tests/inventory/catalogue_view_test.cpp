// Which entries each category holds, the row caption, and the three row comparisons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inventory/catalogue_view.h"
#include "common/date_time.h"

using namespace tarvo::common;
using namespace tarvo::inventory;

namespace {

const TDateTime kNow = *DateFromParts(2014, 3, 20) + 0.5;  // noon
constexpr double kHour = 1.0 / 24;

TSoftInfo Program(std::int64_t size = 0, TDateTime installed = 0) {
    TSoftInfo e;
    e.DisplayName = L"Program";
    e.Size = size;
    e.InstallDate = installed;
    return e;
}

}  // namespace

TEST(Categories, ThresholdsAndMembership) {
    struct Case {
        const char* what;
        TSoftInfo entry;
        TCategory category;
        bool shown;
    };
    TSoftInfo update = Program();
    update.IsUpdate = true;
    TSoftInfo hidden = Program(kLargeProgramBytes + 1, kNow);
    hidden.Hidden = true;
    TSoftInfo rarely = Program();
    rarely.UseRate = aurRarely;
    TSoftInfo less = Program();
    less.UseRate = aurLess;
    TSoftInfo largeUpdate = Program(kLargeProgramBytes * 2);
    largeUpdate.IsUpdate = true;

    const std::vector<Case> cases = {
        {"10 days 23 hours ago is recent", Program(0, kNow - 10 - 23 * kHour), TCategory::RecentlyInstalled, true},
        {"exactly 11 days ago is not", Program(0, kNow - 11), TCategory::RecentlyInstalled, false},
        {"installed today", Program(0, kNow - 2 * kHour), TCategory::RecentlyInstalled, true},
        {"a date ahead counts by its distance", Program(0, kNow + 3), TCategory::RecentlyInstalled, true},
        {"no install date never qualifies", Program(0, 0), TCategory::RecentlyInstalled, false},
        {"exactly 50 MiB is not large", Program(52428800), TCategory::LargePrograms, false},
        {"one byte more is", Program(52428801), TCategory::LargePrograms, true},
        {"a large update is only an update", largeUpdate, TCategory::LargePrograms, false},
        {"rarely used", rarely, TCategory::InfrequentlyUsed, true},
        {"used less, not rarely", less, TCategory::InfrequentlyUsed, false},
        {"updates are not in All Programs", update, TCategory::AllPrograms, false},
        {"updates have their own category", update, TCategory::WindowsUpdates, true},
        {"programs are not updates", Program(), TCategory::WindowsUpdates, false},
        {"every program is in All Programs", Program(), TCategory::AllPrograms, true},
        {"hidden entries are nowhere", hidden, TCategory::AllPrograms, false},
        {"hidden entries are nowhere (large)", hidden, TCategory::LargePrograms, false},
        {"hidden entries are nowhere (recent)", hidden, TCategory::RecentlyInstalled, false},
    };
    for (const Case& c : cases) EXPECT_EQ(InCategory(c.entry, c.category, kNow), c.shown) << c.what;
}

TEST(RowCaption, SixtyFourBitProgramsCarryTheMarkWithoutBlank) {
    TSoftInfo e;
    e.DisplayName = L"Tool";
    EXPECT_EQ(RowCaption(e), L"Tool");
    e.View64 = true;
    EXPECT_EQ(RowCaption(e), L"Tool(x64)");
}

TEST(RowComparisons, SizeTextsByUnitThenLengthThenText) {
    const std::vector<std::wstring> ascending = {L"", L"900 Byte", L"1.00 KB", L"9.50 KB", L"999.00 KB",
                                                 L"2.00 MB", L"10.00 MB", L"1.00 GB"};
    for (std::size_t i = 0; i + 1 < ascending.size(); ++i) {
        EXPECT_LT(CompareSizeTexts(ascending[i], ascending[i + 1]), 0) << ascending[i].size() << " vs next " << i;
        EXPECT_GT(CompareSizeTexts(ascending[i + 1], ascending[i]), 0) << i;
    }
    EXPECT_GT(CompareSizeTexts(L"2.00 KB", L"1.00 KB"), 0) << "equal weight and length: by text";
    EXPECT_EQ(CompareSizeTexts(L"1.00 KB", L"1.00 KB"), 0);
    EXPECT_EQ(SizeUnitWeight(L"512 Byte"), 1);
    EXPECT_EQ(SizeUnitWeight(L"3.25 MB"), 100);
}

TEST(RowComparisons, DatesWithoutTextFirstThenByDay) {
    const std::wstring early = ShortDateText(*DateFromParts(2012, 12, 30));
    const std::wstring late = ShortDateText(*DateFromParts(2013, 1, 2));
    ASSERT_FALSE(early.empty());
    EXPECT_EQ(CompareDateTexts(L"", L"  "), 0) << "two empty texts are equal";
    EXPECT_LT(CompareDateTexts(L" ", early), 0);
    EXPECT_GT(CompareDateTexts(early, L""), 0);
    EXPECT_LT(CompareDateTexts(early, late), 0) << "by date, not by text";
    EXPECT_EQ(CompareDateTexts(late, late), 0);
    // A text that is no date counts as day 0: after the empty ones, before real dates.
    EXPECT_LT(CompareDateTexts(L"", L"someday"), 0);
    EXPECT_LT(CompareDateTexts(L"someday", early), 0);
}

TEST(RowComparisons, NamesIgnoreCase) {
    EXPECT_EQ(CompareNames(L"alpha", L"ALPHA"), 0);
    EXPECT_LT(CompareNames(L"alpha", L"Beta"), 0);
    EXPECT_GT(CompareNames(L"gamma", L"Beta"), 0);
}
