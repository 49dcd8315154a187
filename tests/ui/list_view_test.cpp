// The owner-data list in a real window under Wine: rows come from the owner, the count
// changes without losing the place, and clicks and keys reach the owner.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/virtual_list_view.h"

namespace tarvo::ui {
namespace {

class RecordingSource final : public ListDataSource {
public:
    void GetRow(int row, ListRowData& data) override {
        ++rowsAsked;
        data.caption = L"Program " + std::to_wstring(row);
        data.detail = L"Publisher " + std::to_wstring(row % 7);
        data.cells[2] = std::to_wstring(row * 3) + L" KB";
        data.icon = -1;
        data.checked = checked.size() > static_cast<size_t>(row) && checked[static_cast<size_t>(row)];
    }
    void OnActivate(int row) override { events.push_back(L"activate " + std::to_wstring(row)); }
    void OnRowButton(int row) override { events.push_back(L"button " + std::to_wstring(row)); }
    void OnCheck(int row, bool on) override {
        if (checked.size() <= static_cast<size_t>(row)) checked.resize(static_cast<size_t>(row) + 1);
        checked[static_cast<size_t>(row)] = on;
        events.push_back(L"check " + std::to_wstring(row) + (on ? L" on" : L" off"));
    }
    void OnDelete(int row) override { events.push_back(L"delete " + std::to_wstring(row)); }
    void OnSort(int column, SortOrder order) override {
        events.push_back(L"sort " + std::to_wstring(column) + (order == SortOrder::Descending ? L" down" : L" up"));
    }

    int rowsAsked = 0;
    std::vector<bool> checked;
    std::vector<std::wstring> events;
};

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        parent_ = ::CreateWindowExW(0, L"STATIC", L"list test", WS_POPUP, 0, 0, 900, 600, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        std::vector<ListColumn> columns(4);
        columns[0] = {L"Name (Total: %d)", 300, ColumnKind::Caption, true, false, {}};
        columns[1] = {L"Operate", 100, ColumnKind::Button, false, false, L"Uninstall"};
        columns[2] = {L"Size", 100, ColumnKind::Text, true, true, {}};
        columns[3] = {L"Date", 100, ColumnKind::Text, true, false, {}};
        ASSERT_TRUE(list_.Create(parent_, 7, {0, 0, 880, 560}, std::move(columns), source_, 96));
    }
    void TearDown() override {
        if (parent_) ::DestroyWindow(parent_);
    }

    std::wstring ItemText(int row, int column) {
        wchar_t buffer[260] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 260;
        ::SendMessageW(list_.list(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    std::wstring HeaderText(int column) {
        wchar_t buffer[260] = {};
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 260;
        ::SendMessageW(list_.list(), LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    POINT CentreOfButton(int row) {
        RECT cell{};
        cell.top = 1;
        cell.left = LVIR_BOUNDS;
        ::SendMessageW(list_.list(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
        return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }
    void Send(UINT message, WPARAM wParam, POINT p) {
        ::SendMessageW(list_.list(), message, wParam, MAKELPARAM(p.x, p.y));
    }
    void Key(UINT key) {
        ::SendMessageW(list_.list(), WM_KEYDOWN, key, 0);
        ::SendMessageW(list_.list(), WM_KEYUP, key, 0xC0000000);
    }
    void ClickHeader(int column) {
        NMLISTVIEW click{};
        click.hdr.hwndFrom = list_.list();
        click.hdr.idFrom = VirtualListView::kListId;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        ::SendMessageW(list_.hwnd(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    }

    HWND parent_ = nullptr;
    RecordingSource source_;
    VirtualListView list_;
};

TEST_F(ListViewTest, FiveThousandRowsAreAnsweredByTheOwner) {
    list_.SetRowCount(5000);
    EXPECT_EQ(::SendMessageW(list_.list(), LVM_GETITEMCOUNT, 0, 0), 5000);
    EXPECT_EQ(ItemText(0, 0), L"Program 0");
    EXPECT_EQ(ItemText(4321, 0), L"Program 4321");
    EXPECT_EQ(ItemText(4999, 2), L"14997 KB");
    EXPECT_EQ(ItemText(17, 1), L"");  // the button column has no text
    EXPECT_EQ(HeaderText(0), L"Name (Total: 5000)");
    EXPECT_EQ(HeaderText(2), L"Size");
    list_.SetRowCount(12);
    EXPECT_EQ(HeaderText(0), L"Name (Total: 12)");
}

TEST_F(ListViewTest, ChangingTheCountDoesNotVisitTheRows) {
    // Re-filtering on a keystroke is a new count: its cost must not grow with the rows.
    for (int count : {50, 5000, 4999, 20000}) {
        source_.rowsAsked = 0;
        list_.SetRowCount(count);
        EXPECT_EQ(source_.rowsAsked, 0) << count;
    }
}

TEST_F(ListViewTest, RefillKeepsScrollPositionAndSelection) {
    list_.SetRowCount(5000);
    list_.SelectRow(300);
    list_.ScrollToTop(250);
    EXPECT_EQ(list_.TopRow(), 250);
    EXPECT_EQ(list_.SelectedRow(), 300);

    list_.SetRowCount(1000, true);
    EXPECT_EQ(list_.TopRow(), 250);
    EXPECT_EQ(list_.SelectedRow(), 300);

    // Fewer rows than the old position: pulled back, and the selection is gone with its row.
    list_.SetRowCount(120, true);
    EXPECT_LE(list_.TopRow(), 120);
    EXPECT_GT(list_.TopRow(), 0);
    EXPECT_EQ(list_.SelectedRow(), -1);
    EXPECT_TRUE(list_.SelectedRows().empty());

    list_.SetRowCount(3000, false);
    EXPECT_EQ(list_.TopRow(), 0);
}

TEST_F(ListViewTest, KeysActivateDeleteAndToggleChecks) {
    list_.SetRowCount(100);
    list_.SelectRow(4);
    Key(VK_RETURN);
    Key(VK_DELETE);
    Key(VK_SPACE);  // no check boxes: nothing for the owner
    list_.SetCheckBoxes(true);
    Key(VK_SPACE);
    Key(VK_SPACE);
    EXPECT_EQ(source_.events, (std::vector<std::wstring>{L"activate 4", L"delete 4", L"check 4 on", L"check 4 off"}));

    // Several selected rows, one already checked: Space checks them all.
    source_.events.clear();
    source_.checked.assign(100, false);
    source_.checked[6] = true;
    list_.SelectRow(5);
    LVITEMW select{};
    select.state = select.stateMask = LVIS_SELECTED;
    ::SendMessageW(list_.list(), LVM_SETITEMSTATE, 6, reinterpret_cast<LPARAM>(&select));
    Key(VK_SPACE);
    EXPECT_EQ(source_.events, (std::vector<std::wstring>{L"check 5 on", L"check 6 on"}));
}

TEST_F(ListViewTest, RowButtonIsHotOnHoverAndClicksOnRelease) {
    list_.SetRowCount(100);
    const POINT button = CentreOfButton(2);
    Send(WM_MOUSEMOVE, 0, button);
    EXPECT_EQ(list_.hotButtonRow(), 2);
    Send(WM_MOUSEMOVE, 0, {10, button.y});
    EXPECT_EQ(list_.hotButtonRow(), -1);

    Send(WM_LBUTTONDOWN, MK_LBUTTON, button);
    EXPECT_EQ(list_.SelectedRow(), 2);  // pressing a row's button selects the row
    Send(WM_LBUTTONUP, 0, button);
    // Pressed on one row's button and released on another's: no click.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, CentreOfButton(1));
    Send(WM_LBUTTONUP, 0, CentreOfButton(3));
    EXPECT_EQ(source_.events, (std::vector<std::wstring>{L"button 2"}));
}

TEST_F(ListViewTest, FirstClickOnAPartlyHiddenRowsButtonActs) {
    list_.SetRowCount(100);
    // The list ends just below the middle of row 5's button: pressing it scrolls the row in.
    const POINT button = CentreOfButton(5);
    ::SetWindowPos(list_.list(), nullptr, 0, 0, 880, button.y + 3, SWP_NOMOVE | SWP_NOZORDER);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, button);
    EXPECT_GT(list_.TopRow(), 0);
    Send(WM_LBUTTONUP, 0, button);
    EXPECT_EQ(source_.events, (std::vector<std::wstring>{L"button 5"}));
}

TEST_F(ListViewTest, ClickOnACheckBoxTogglesOnlyInBatchMode) {
    list_.SetRowCount(10);
    const std::vector<RECT> none;
    RECT row{};
    row.left = LVIR_BOUNDS;
    ::SendMessageW(list_.list(), LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row));
    const CaptionLayout layout =
        LayOutCaption({row.left, row.top, row.left + 300, row.bottom}, list_.metrics(), true, true);
    const POINT box{(layout.check.left + layout.check.right) / 2, (layout.check.top + layout.check.bottom) / 2};
    Send(WM_LBUTTONDOWN, MK_LBUTTON, box);
    Send(WM_LBUTTONUP, 0, box);
    EXPECT_TRUE(source_.events.empty());
    list_.SetCheckBoxes(true);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, box);
    Send(WM_LBUTTONUP, 0, box);
    EXPECT_EQ(source_.events, (std::vector<std::wstring>{L"check 3 on"}));
}

TEST_F(ListViewTest, HeaderClicksSortButNotTheButtonColumn) {
    list_.SetRowCount(10);
    ClickHeader(2);
    ClickHeader(2);
    ClickHeader(1);
    ClickHeader(0);
    EXPECT_EQ(source_.events, (std::vector<std::wstring>{L"sort 2 up", L"sort 2 down", L"sort 0 up"}));
    EXPECT_EQ(list_.sort().column(), 0);
}

TEST_F(ListViewTest, ViewStyleSwitchKeepsRowsAndText) {
    list_.SetRowCount(40);
    list_.SetViewStyle(ListViewStyle::LargeIcons);
    EXPECT_EQ(::GetWindowLongW(list_.list(), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_EQ(ItemText(39, 0), L"Program 39");
    list_.SetViewStyle(ListViewStyle::Details);
    EXPECT_EQ(::GetWindowLongW(list_.list(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(::SendMessageW(list_.list(), LVM_GETITEMCOUNT, 0, 0), 40);
}

}  // namespace
}  // namespace tarvo::ui
