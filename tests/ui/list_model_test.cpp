// The list's decisions without a window: header text, sort arrow, row geometry, keys.
#include <gtest/gtest.h>

#include "ui/list_model.h"

namespace tarvo::ui {
namespace {

TEST(ListHeader, CountReplacesThePlaceholderOnly) {
    EXPECT_EQ(HeaderTextWithCount(L"Software Name (Total: %d)", 192), L"Software Name (Total: 192)");
    EXPECT_EQ(HeaderTextWithCount(L"Software Name (Total: %d)", 0), L"Software Name (Total: 0)");
    EXPECT_EQ(HeaderTextWithCount(L"Size", 5), L"Size");
    EXPECT_EQ(HeaderTextWithCount(L"%d", 5000), L"5000");
    // A translation may put the count first, or carry a second placeholder: only the first is filled.
    EXPECT_EQ(HeaderTextWithCount(L"%d Programme, %d", 3), L"3 Programme, %d");
}

TEST(ListSort, HeaderClicksChooseAndReverseTheSortColumn) {
    SortIndicator sort;
    EXPECT_EQ(sort.column(), -1);
    EXPECT_TRUE(sort.Click(0, true));
    EXPECT_EQ(sort.OrderOf(0), SortOrder::Ascending);
    EXPECT_TRUE(sort.Click(0, true));
    EXPECT_EQ(sort.OrderOf(0), SortOrder::Descending);
    EXPECT_TRUE(sort.Click(2, true));
    EXPECT_EQ(sort.OrderOf(2), SortOrder::Ascending);
    EXPECT_EQ(sort.OrderOf(0), SortOrder::None);
    // The button column cannot be sorted: the previous sort stays as it was.
    EXPECT_FALSE(sort.Click(1, false));
    EXPECT_EQ(sort.column(), 2);
    EXPECT_EQ(sort.order(), SortOrder::Ascending);

    sort.Set(2, SortOrder::Descending);  // restored from settings
    EXPECT_EQ(sort.OrderOf(2), SortOrder::Descending);
    sort.Set(3, SortOrder::None);
    EXPECT_EQ(sort.column(), -1);
}

class RowGeometry : public ::testing::Test {
protected:
    const ListMetrics m = ListMetricsFor(96, 32, 16, 14, true);
    const RECT caption{0, 100, 380, 100 + m.rowHeight};
    const RECT button{380, 100, 490, 100 + m.rowHeight};
};

TEST_F(RowGeometry, RowsFitIconTwoLinesAndButton) {
    EXPECT_GE(m.rowHeight, 32);
    EXPECT_GE(m.rowHeight, 16 + m.lineGap + 14);
    EXPECT_GT(m.rowHeight, m.buttonHeight);
    const ListMetrics oneLine = ListMetricsFor(96, 16, 16, 14, false);
    EXPECT_LT(oneLine.rowHeight, m.rowHeight);
    const ListMetrics large = ListMetricsFor(144, 48, 24, 21, true);
    EXPECT_GE(large.rowHeight, m.rowHeight * 3 / 2 - 1);
}

TEST_F(RowGeometry, CaptionPartsDoNotOverlapAndStayInTheCell) {
    for (bool check : {false, true}) {
        const CaptionLayout l = LayOutCaption(caption, m, check, true);
        if (check) {
            EXPECT_LE(l.check.right, l.icon.left);
            EXPECT_EQ(l.check.bottom - l.check.top, m.checkSize);
        } else {
            EXPECT_EQ(l.check.right, 0);
        }
        EXPECT_LE(l.icon.right, l.first.left);
        EXPECT_LE(l.first.bottom, l.second.top);
        EXPECT_GE(l.first.top, caption.top);
        EXPECT_LE(l.second.bottom, caption.bottom);
        EXPECT_LE(l.first.right, caption.right);
        // Both lines together are centred vertically.
        EXPECT_NEAR(l.first.top - caption.top, caption.bottom - l.second.bottom, 1);
    }
    const CaptionLayout one = LayOutCaption(caption, m, false, false);
    EXPECT_EQ(one.second.bottom, 0);
    EXPECT_NEAR(one.first.top - caption.top, caption.bottom - one.first.bottom, 1);
}

TEST_F(RowGeometry, RowButtonIsCentredAndShrinksWithANarrowColumn) {
    const RECT face = RowButtonRect(button, m);
    EXPECT_EQ(face.right - face.left, m.buttonWidth);
    EXPECT_EQ(face.left - button.left, button.right - face.right);
    const RECT narrow = RowButtonRect({0, 0, 40, m.rowHeight}, m);
    EXPECT_LE(narrow.right, 40);
    EXPECT_GE(narrow.left, 0);
}

TEST_F(RowGeometry, HitTestTellsCheckBoxButtonAndRowApart) {
    const CaptionLayout l = LayOutCaption(caption, m, true, true);
    const RECT face = RowButtonRect(button, m);
    const POINT checkCentre{(l.check.left + l.check.right) / 2, (l.check.top + l.check.bottom) / 2};
    const POINT buttonCentre{(face.left + face.right) / 2, (face.top + face.bottom) / 2};
    struct Case {
        POINT p;
        bool checks;
        RowPart expected;
    } cases[] = {
        {checkCentre, true, RowPart::CheckBox},
        {checkCentre, false, RowPart::Row},  // no check boxes in normal mode
        {{l.check.right + 2, checkCentre.y}, true, RowPart::CheckBox},  // a little slack
        {buttonCentre, false, RowPart::Button},
        {{face.left - 2, buttonCentre.y}, false, RowPart::Row},  // beside the button, in its cell
        {{face.left, face.top}, false, RowPart::Button},
        {{face.right, buttonCentre.y}, false, RowPart::Row},  // right edge is outside
        {{200, 110}, true, RowPart::Row},
        {{600, 110}, false, RowPart::Row},    // other columns of the row
        {{200, 99}, false, RowPart::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HitRowPart(c.p, caption, button, m, c.checks, true), c.expected) << c.p.x << "," << c.p.y;
    }
    // A list without a button column never reports one.
    EXPECT_EQ(HitRowPart(buttonCentre, caption, RECT{}, m, false, true), RowPart::Row);
}

TEST(ListKeys, KeysMapToActions) {
    struct Case {
        UINT key;
        bool checks, ctrl, alt;
        ListKeyAction expected;
    } cases[] = {
        {VK_RETURN, false, false, false, ListKeyAction::Activate},
        {VK_RETURN, true, false, false, ListKeyAction::Activate},
        {VK_SPACE, true, false, false, ListKeyAction::ToggleCheck},
        {VK_SPACE, false, false, false, ListKeyAction::None},  // no check boxes: Space selects as usual
        {VK_SPACE, true, true, false, ListKeyAction::None},    // Ctrl+Space toggles selection
        {VK_DELETE, false, false, false, ListKeyAction::Delete},
        {VK_DELETE, false, false, true, ListKeyAction::None},
        {VK_HOME, true, false, false, ListKeyAction::None},    // the list control moves itself
        {VK_DOWN, false, false, false, ListKeyAction::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyActionFor(c.key, c.checks, c.ctrl, c.alt), c.expected) << c.key;
    }
}

TEST(ListChecks, SpaceChecksAllUnlessAllAreChecked) {
    EXPECT_TRUE(CheckStateAfterToggle({false}));
    EXPECT_FALSE(CheckStateAfterToggle({true}));
    EXPECT_TRUE(CheckStateAfterToggle({true, false, true}));
    EXPECT_FALSE(CheckStateAfterToggle({true, true}));
}

TEST(ListScroll, TopRowAfterRefillKeepsPositionWithinTheNewCount) {
    struct Case {
        int top, count, perPage, expected;
    } cases[] = {
        {250, 1000, 10, 250},
        {250, 255, 10, 245},  // the last page stays full
        {250, 5, 10, 0},
        {0, 0, 10, 0},
        {7, 100, 0, 7},
        {-3, 100, 10, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TopRowAfterRefill(c.top, c.count, c.perPage), c.expected) << c.top << " " << c.count;
    }
}

TEST(ListColumns, CaptionColumnTakesTheSpaceLeftOver) {
    EXPECT_EQ(FitCaptionColumn({300, 100, 100}, 0, 700), (std::vector<int>{500, 100, 100}));
    EXPECT_EQ(FitCaptionColumn({300, 100, 100}, 0, 400), (std::vector<int>{300, 100, 100}));
    EXPECT_EQ(FitCaptionColumn({100, 300}, 1, 500), (std::vector<int>{100, 400}));
    EXPECT_EQ(FitCaptionColumn({100, 300}, -1, 500), (std::vector<int>{100, 300}));
}

TEST(ListRowData, ClearKeepsOneCellPerColumn) {
    ListRowData row;
    row.caption = L"x";
    row.checked = true;
    row.cells = {L"a"};
    row.Clear(4);
    EXPECT_TRUE(row.caption.empty());
    EXPECT_FALSE(row.checked);
    EXPECT_EQ(row.icon, -1);
    ASSERT_EQ(row.cells.size(), 4u);
    EXPECT_TRUE(row.cells[0].empty());
}

}  // namespace
}  // namespace tarvo::ui
