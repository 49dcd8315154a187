// The programs page's decisions: categories with search, the order of rows, the refused
// "Operate" column, sort and view settings in Main.ini, and what "Uninstall" works on.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/date_time.h"
#include "inventory/software_page.h"
#include "settings/main_ini.h"
#include "support/scratch_folder.h"

using namespace tarvo::common;
using namespace tarvo::inventory;

namespace {

const TDateTime kNow = *DateFromParts(2014, 3, 20) + 0.5;

class PageTest : public ::testing::Test {
protected:
    TSoftInfo& Add(const std::wstring& name, std::int64_t size = 0, const std::wstring& sizeText = {}) {
        entries_.push_back(std::make_unique<TSoftInfo>());
        TSoftInfo& e = *entries_.back();
        e.DisplayName = name;
        e.Size = size;
        e.SizeText = sizeText;
        return e;
    }
    std::vector<std::wstring> Shown() const {
        std::vector<std::wstring> names;
        for (int row = 0; row < page_.RowCount(); ++row) names.push_back(page_.EntryOfRow(row)->DisplayName);
        return names;
    }

    TSoftList entries_;
    TSoftwarePage page_{entries_, [] { return kNow; }};
};

using Names = std::vector<std::wstring>;

}  // namespace

TEST_F(PageTest, SearchNarrowsTheCurrentCategoryIgnoringCase) {
    Add(L"Office Suite", 60'000'000, L"57.22 MB");
    Add(L"Coffee Maker", 10'000'000, L"9.54 MB");
    Add(L"OFFLINE Maps", 70'000'000, L"66.76 MB");
    Add(L"Big Game", 800'000'000, L"762.94 MB");
    Add(L"Offset Update", 90'000'000, L"85.83 MB").IsUpdate = true;
    page_.Show();
    EXPECT_EQ(page_.RowCount(), 4);

    // Large Programs sorts by size, largest first.
    ASSERT_TRUE(page_.SelectCategory(TCategory::LargePrograms));
    EXPECT_EQ(page_.SortColumn(), kSizeColumn);
    EXPECT_EQ(page_.SortState(), 2);
    EXPECT_EQ(Shown(), (Names{L"Big Game", L"OFFLINE Maps", L"Office Suite"}));

    page_.SetSearch(L"off");
    EXPECT_EQ(Shown(), (Names{L"OFFLINE Maps", L"Office Suite"})) << "Coffee Maker is not large; the update is not a program";

    page_.SetSearch(L"zzz");
    EXPECT_EQ(page_.RowCount(), 0);

    // Choosing another category starts without search; choosing the current one does nothing.
    page_.SetSearch(L"off");
    EXPECT_FALSE(page_.SelectCategory(TCategory::LargePrograms));
    EXPECT_EQ(page_.Search(), L"off");
    ASSERT_TRUE(page_.SelectCategory(TCategory::WindowsUpdates));
    EXPECT_TRUE(page_.Search().empty());
    EXPECT_EQ(Shown(), (Names{L"Offset Update"}));
}

TEST_F(PageTest, RowsFollowEachSortColumnAndState) {
    Add(L"beta", 2'000'000, L"1.91 MB").InstallDateText = ShortDateText(*DateFromParts(2013, 5, 1));
    Add(L"Alpha", 900, L"900 Byte").InstallDateText = L"";
    Add(L"gamma", 1'024, L"1.00 KB").InstallDateText = ShortDateText(*DateFromParts(2012, 1, 9));
    Add(L"Delta", 1'022'976, L"999.00 KB").InstallDateText = ShortDateText(*DateFromParts(2014, 2, 2));

    const struct {
        int column, state;
        Names expected;
    } cases[] = {
        {kNameColumn, 1, {L"Alpha", L"beta", L"Delta", L"gamma"}},
        {kNameColumn, 2, {L"gamma", L"Delta", L"beta", L"Alpha"}},
        {kNameColumn, 0, {L"Alpha", L"beta", L"Delta", L"gamma"}},
        {kSizeColumn, 1, {L"Alpha", L"gamma", L"Delta", L"beta"}},
        {kSizeColumn, 2, {L"beta", L"Delta", L"gamma", L"Alpha"}},
        {kDateColumn, 1, {L"Alpha", L"gamma", L"beta", L"Delta"}},
        {kDateColumn, 2, {L"Delta", L"beta", L"gamma", L"Alpha"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(page_.ClickHeader(c.column, c.state));
        EXPECT_EQ(Shown(), c.expected) << "column " << c.column << " state " << c.state;
    }
}

TEST_F(PageTest, OperateColumnRefusesToSortAndKeepsThePreviousSort) {
    Add(L"b");
    Add(L"a");
    ASSERT_TRUE(page_.ClickHeader(kNameColumn, 2));
    EXPECT_FALSE(page_.ClickHeader(kOperateColumn, 1));
    EXPECT_EQ(page_.SortColumn(), kNameColumn);
    EXPECT_EQ(page_.SortState(), 2);
    EXPECT_EQ(Shown(), (Names{L"b", L"a"}));
}

TEST_F(PageTest, EqualKeysKeepCatalogueOrderInBothDirections) {
    Add(L"first", 0, L"1.00 KB");
    Add(L"second", 0, L"1.00 KB");
    ASSERT_TRUE(page_.ClickHeader(kSizeColumn, 1));
    EXPECT_EQ(Shown(), (Names{L"first", L"second"}));
    ASSERT_TRUE(page_.ClickHeader(kSizeColumn, 2));
    EXPECT_EQ(Shown(), (Names{L"first", L"second"}));
}

TEST_F(PageTest, EntriesAddedLaterAndChangedSizesAreSortedAgain) {
    Add(L"b", 0, L"5.00 KB");
    page_.ClickHeader(kSizeColumn, 1);
    Add(L"a", 0, L"1.00 KB");  // a refresh appended it
    page_.Show();
    EXPECT_EQ(Shown(), (Names{L"a", L"b"}));
    entries_[1]->SizeText = L"9.00 MB";  // the analysis measured it
    page_.SortKeysChanged();
    page_.Show();
    EXPECT_EQ(Shown(), (Names{L"b", L"a"}));
    EXPECT_EQ(page_.RowOfEntry(1), 1);
    EXPECT_EQ(page_.RowOfEntry(0), 0);

    // Dates too; names are never changed by the analysis, yet new entries still sort in.
    entries_[0]->InstallDateText = ShortDateText(*DateFromParts(2014, 3, 1));
    entries_[1]->InstallDateText = ShortDateText(*DateFromParts(2014, 3, 2));
    page_.ClickHeader(kDateColumn, 1);
    EXPECT_EQ(Shown(), (Names{L"b", L"a"}));
    entries_[0]->InstallDateText = ShortDateText(*DateFromParts(2014, 3, 3));
    page_.SortKeysChanged();
    page_.Show();
    EXPECT_EQ(Shown(), (Names{L"a", L"b"}));
    page_.ClickHeader(kNameColumn, 1);
    page_.SortKeysChanged();
    Add(L"0");
    page_.Show();
    EXPECT_EQ(Shown(), (Names{L"0", L"a", L"b"}));
}

TEST_F(PageTest, RowsMapBackToEntries) {
    Add(L"z");
    Add(L"hidden").Hidden = true;
    Add(L"a");
    page_.Show();
    EXPECT_EQ(page_.EntryIndexOfRow(0), 2u);
    EXPECT_EQ(page_.RowOfEntry(1), -1);
    EXPECT_EQ(page_.EntryOfRow(2), nullptr);
    EXPECT_EQ(page_.EntryOfRow(-1), nullptr);
}

TEST_F(PageTest, SortAndViewSettingsLiveInMainIni) {
    tarvo::test::ScratchFolder scratch;
    const tarvo::settings::TMainIni ini(scratch.PathOf(L"Main.ini"));
    page_.LoadSortSettings(ini);
    EXPECT_EQ(page_.SortColumn(), kNameColumn);
    EXPECT_EQ(page_.SortState(), 1) << "defaults 0 and 1";

    page_.SetSort(kDateColumn, 2);
    page_.SaveSortSettings(ini);
    EXPECT_EQ(ini.ColumnIndex(), kDateColumn);
    EXPECT_EQ(ini.SortState(), 2);

    TSoftwarePage other(entries_);
    ASSERT_TRUE(ini.WriteInteger(L"Software", L"SortState", 7));
    other.SetSort(kNameColumn, 2);
    other.LoadSortSettings(ini);
    EXPECT_EQ(other.SortColumn(), kDateColumn);
    EXPECT_EQ(other.SortState(), 2) << "an unknown state leaves the state as it was";

    page_.SetViewStyle(TViewStyle::LargeIcons, ini);
    EXPECT_EQ(ini.ListViewViewStyle(), 1);
    page_.ToggleBatch(ini);
    EXPECT_TRUE(ini.BatchUninstall());
    other.LoadViewSettings(ini);
    EXPECT_EQ(other.ViewStyle(), TViewStyle::LargeIcons);
    EXPECT_TRUE(other.BatchMode());

    // The catalogue's page takes over what the page before it read, without the file.
    ASSERT_TRUE(ini.SetListViewViewStyle(0));
    TSoftList none;
    TSoftwarePage catalogue(none);
    catalogue.TakeSettingsOf(other);
    EXPECT_EQ(catalogue.ViewStyle(), TViewStyle::LargeIcons);
    EXPECT_TRUE(catalogue.BatchMode());
    EXPECT_EQ(catalogue.SortColumn(), kDateColumn);
    EXPECT_EQ(catalogue.SortState(), 2);
}

TEST_F(PageTest, UninstallWorksOnTheSelectedRowOrTheCheckedRows) {
    tarvo::test::ScratchFolder scratch;
    const tarvo::settings::TMainIni ini(scratch.PathOf(L"Main.ini"));
    TSoftInfo& a = Add(L"a");
    TSoftInfo& b = Add(L"b");
    TSoftInfo& c = Add(L"c");
    page_.Show();
    EXPECT_EQ(page_.UninstallTargets(1, false), (std::vector<TSoftInfo*>{&b}));
    EXPECT_TRUE(page_.UninstallTargets(-1, false).empty());

    page_.ToggleBatch(ini);
    page_.SetChecked(0, true);
    page_.SetChecked(2, true);
    EXPECT_EQ(page_.UninstallTargets(1, false), (std::vector<TSoftInfo*>{&a, &c}));
    EXPECT_EQ(page_.UninstallTargets(1, true), (std::vector<TSoftInfo*>{&b})) << "the menu's single uninstall";

    // A checked program that the search hides is not uninstalled behind the user's back.
    page_.SetSearch(L"c");
    EXPECT_EQ(page_.UninstallTargets(0, false), (std::vector<TSoftInfo*>{&c}));
}
