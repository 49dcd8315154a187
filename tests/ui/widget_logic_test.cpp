// Decisions of the small widgets, without windows: mouse state, category bar, search box,
// title area and button looks.
#include <gtest/gtest.h>

#include "ui/button_paint.h"
#include "ui/category_bar_layout.h"
#include "ui/hot_tracker.h"
#include "ui/palette.h"
#include "ui/search_box_layout.h"
#include "ui/title_bar_layout.h"

namespace tarvo::ui {
namespace {

TEST(HotTracker, ClickNeedsPressAndReleaseOnTheSamePart) {
    HotTracker t;
    EXPECT_TRUE(t.Move(2));
    EXPECT_FALSE(t.Move(2));  // no repaint for the same part
    t.Press(2);
    EXPECT_TRUE(t.LooksPressed(2));
    EXPECT_EQ(t.Release(2), 2);
    EXPECT_EQ(t.pressed(), HotTracker::kNone);

    // Dragged off before release: no click, and the part no longer looks pressed meanwhile.
    t.Press(1);
    t.Move(3);
    EXPECT_FALSE(t.LooksPressed(1));
    EXPECT_FALSE(t.LooksHot(3));  // another part does not light up while one is held
    EXPECT_EQ(t.Release(3), HotTracker::kNone);

    // Capture lost: the press is forgotten, the next release clicks nothing.
    t.Press(4);
    EXPECT_TRUE(t.Cancel());
    EXPECT_EQ(t.Release(4), HotTracker::kNone);
    EXPECT_FALSE(t.Cancel());
}

TEST(HotTracker, DecodesOnlyPointerAndLeftButtonMessages) {
    const HWND self = reinterpret_cast<HWND>(0x100), other = reinterpret_cast<HWND>(0x200);
    const LPARAM at = MAKELPARAM(-3, 7);  // a point left of the window, while captured
    const struct {
        UINT message;
        LPARAM lParam;
        std::optional<MouseKind> kind;
    } cases[] = {
        {WM_MOUSEMOVE, at, MouseKind::Move},
        {WM_MOUSELEAVE, 0, MouseKind::Leave},
        {WM_LBUTTONDOWN, at, MouseKind::Press},
        {WM_LBUTTONDBLCLK, at, MouseKind::DoublePress},
        {WM_LBUTTONUP, at, MouseKind::Release},
        {WM_CAPTURECHANGED, reinterpret_cast<LPARAM>(other), MouseKind::CaptureLost},
        {WM_CAPTURECHANGED, reinterpret_cast<LPARAM>(self), std::nullopt},  // taken by itself: not lost
        {WM_RBUTTONDOWN, at, std::nullopt},
        {WM_PAINT, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto event = DecodeMouse(self, c.message, 0, c.lParam);
        ASSERT_EQ(event.has_value(), c.kind.has_value()) << c.message;
        if (!event) continue;
        EXPECT_EQ(event->kind, *c.kind) << c.message;
        if (c.lParam == at) {
            EXPECT_TRUE(event->at.x == -3 && event->at.y == 7) << c.message;
        }
    }
}

TEST(HotTracker, VisualStateOfADisabledPartIsNeverHot) {
    HotTracker t;
    t.Press(0);
    const VisualState disabled = VisualOf(t, 0, true);
    EXPECT_FALSE(disabled.hot);
    EXPECT_FALSE(disabled.pressed);
    const VisualState enabled = VisualOf(t, 0, false, true);
    EXPECT_TRUE(enabled.pressed);
    EXPECT_TRUE(enabled.focused);
}

class CategoryBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.SetLabels({L"All Programs", L"Recently Installed", L"Large Programs", L"Infrequently Used", L"Windows Updates"});
        model.LayOut({70, 100, 90, 95, 100}, 36, 96, false);
    }
    CategoryBarModel model;
    const CategoryBarMetrics m = CategoryMetricsFor(96);
};

TEST_F(CategoryBarTest, LabelsAreSizedToTheirTextsInOrder) {
    const auto& rects = model.labelRects();
    ASSERT_EQ(rects.size(), 5u);
    EXPECT_EQ(rects[0].left, m.leftMargin);
    EXPECT_EQ(rects[0].right - rects[0].left, 70 + 2 * m.padding);
    for (size_t i = 1; i < rects.size(); ++i) {
        EXPECT_EQ(rects[i].left, rects[i - 1].right + m.gap) << i;
        EXPECT_EQ(rects[i].bottom, 36);
    }
    EXPECT_EQ(model.PreferredWidth(), rects.back().right + m.leftMargin);
}

TEST_F(CategoryBarTest, UnderlineSitsUnderTheCurrentTextAtTheBottom) {
    RECT u = model.UnderlineRect();
    EXPECT_EQ(u.left, model.labelRects()[0].left + m.padding);
    EXPECT_EQ(u.right - u.left, 70);
    EXPECT_EQ(u.bottom, 36);
    EXPECT_EQ(u.bottom - u.top, m.underline);

    EXPECT_TRUE(model.Select(2));
    u = model.UnderlineRect();
    EXPECT_EQ(u.left, model.labelRects()[2].left + m.padding);
    EXPECT_EQ(u.right - u.left, 90);
}

TEST_F(CategoryBarTest, ChoosingTheCurrentOrAMissingCategoryDoesNothing) {
    EXPECT_FALSE(model.Select(0));
    EXPECT_FALSE(model.Select(5));
    EXPECT_FALSE(model.Select(-1));
    EXPECT_EQ(model.current(), 0);
}

TEST_F(CategoryBarTest, LayOutWithoutMarkingKeepsTheUnderlineOnItsLabel) {
    // The current category changes without the underline being told (a category set from
    // saved settings before the bar is marked), then the texts change length.
    model.Select(1);
    model.LayOut({80, 140, 90, 95, 100}, 36, 96, false);
    EXPECT_EQ(model.marked(), 1);
    EXPECT_EQ(model.UnderlineRect().right - model.UnderlineRect().left, 140);
    model.LayOut({80, 140, 90, 95, 100}, 36, 96, true);
    EXPECT_EQ(model.marked(), model.current());
}

TEST_F(CategoryBarTest, HitTestFindsLabelsAndNotTheGapsBetween) {
    const auto& r = model.labelRects();
    EXPECT_EQ(model.HitTest({r[3].left + 1, 10}), 3);
    EXPECT_EQ(model.HitTest({r[3].right - 1, 35}), 3);
    EXPECT_EQ(model.HitTest({r[3].right + m.gap / 2, 10}), HotTracker::kNone);
    EXPECT_EQ(model.HitTest({1, 10}), HotTracker::kNone);
    EXPECT_EQ(model.HitTest({r[0].left + 1, 40}), HotTracker::kNone);
}

TEST(CategoryBarScaling, MetricsGrowWithDpi) {
    const CategoryBarMetrics normal = CategoryMetricsFor(96);
    const CategoryBarMetrics large = CategoryMetricsFor(144);
    EXPECT_EQ(large.padding, normal.padding * 3 / 2);
    EXPECT_GT(large.underline, normal.underline);
}

TEST(SearchBox, ClearButtonOnlyForTextBeyondBlanks) {
    struct Case {
        const wchar_t* text;
        bool wanted;
        const wchar_t* trimmed;
    } cases[] = {
        {L"", false, L""},
        {L"   ", false, L""},
        {L"\t\r\n", false, L""},
        {L"\u3000", false, L""},  // ideographic space from an East Asian keyboard
        {L"off", true, L"off"},
        {L"  off ", true, L"off"},
        {L" a b ", true, L"a b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClearButtonWanted(c.text), c.wanted) << c.text;
        EXPECT_EQ(TrimmedSearchText(c.text), c.trimmed) << c.text;
    }
}

TEST(SearchBox, LayoutGivesTheClearButtonRoomOnlyWhenShown) {
    const RECT client{0, 0, 200, 26};
    const SearchBoxLayout hidden = LayOutSearchBox(client, 96, 16, false);
    const SearchBoxLayout shown = LayOutSearchBox(client, 96, 16, true);
    EXPECT_EQ(hidden.clear.right - hidden.clear.left, 0);
    EXPECT_GT(shown.clear.right - shown.clear.left, 0);
    EXPECT_LE(shown.edit.right, shown.clear.left);
    EXPECT_LT(shown.edit.right, hidden.edit.right);
    EXPECT_LE(shown.clear.right, client.right);
    EXPECT_GE(hidden.edit.left, hidden.icon.right);
    // The edit field is one text line high and centred.
    EXPECT_EQ(hidden.edit.bottom - hidden.edit.top, 16);
    EXPECT_EQ(hidden.edit.top, 5);
}

TEST(TitleBar, ButtonsStandRightToLeftCloseOutermost) {
    const TitleBarLayout l = LayOutTitleBar(800, 96, kTitleAll);
    const int w = TitleButtonWidth(96);
    EXPECT_EQ(l.close.right, 800);
    EXPECT_EQ(l.close.left, 800 - w);
    EXPECT_EQ(l.maximize.right, l.close.left);
    EXPECT_EQ(l.minimize.right, l.maximize.left);
    EXPECT_EQ(l.menu.right, l.minimize.left);
    EXPECT_LE(l.caption.right, l.menu.left);
    EXPECT_EQ(l.bar.bottom, TitleBarHeight(96));

    const TitleBarLayout dialog = LayOutTitleBar(400, 144, kTitleClose, 60);
    EXPECT_EQ(dialog.minimize.right - dialog.minimize.left, 0);
    EXPECT_EQ(dialog.close.left, 400 - TitleButtonWidth(144));
    EXPECT_EQ(dialog.close.bottom, 60);
    EXPECT_GT(dialog.caption.right, dialog.caption.left);
}

TEST(TitleBar, HitTestDragsByTheCaptionAndResizesAtTheEdges) {
    const TitleBarLayout l = LayOutTitleBar(800, 96, kTitleAll);
    const SIZE client{800, 600};
    struct Case {
        POINT p;
        bool resizable;
        bool maximized;
        LRESULT expected;
    } cases[] = {
        {{100, 15}, true, false, HTCAPTION},
        {{100, 15}, false, true, HTCAPTION},
        {{790, 15}, true, false, HTCLIENT},    // the close button is ours
        {{799, 1}, true, false, HTTOPRIGHT},   // the very corner still resizes
        {{780, 1}, true, false, HTCLIENT},     // the top edge over a button clicks the button
        {{100, 1}, true, false, HTTOP},
        {{100, 1}, true, true, HTCAPTION},     // maximised: no resizing
        {{100, 1}, false, false, HTCAPTION},
        {{0, 300}, true, false, HTLEFT},
        {{799, 599}, true, false, HTBOTTOMRIGHT},
        {{400, 300}, true, false, HTCLIENT},
        {{400, 599}, false, false, HTCLIENT},
        {{-1, 300}, true, false, HTNOWHERE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TitleHitTest(l, c.p, client, 96, c.resizable, c.maximized), c.expected)
            << c.p.x << "," << c.p.y << " resizable " << c.resizable << " maximized " << c.maximized;
    }
}

TEST(ButtonLooks, StatesChangeTheColoursTheWayWindowsUsersExpect) {
    VisualState normal, hot, pressed, disabled;
    hot.hot = true;
    pressed.pressed = pressed.hot = true;
    disabled.disabled = true;
    EXPECT_EQ(ColorsFor(ButtonStyle::CaptionClose, hot).fill, palette::kCloseHot);
    EXPECT_EQ(ColorsFor(ButtonStyle::CaptionClose, normal).fill, palette::kTitleBar);
    EXPECT_NE(ColorsFor(ButtonStyle::Caption, hot).fill, palette::kCloseHot);
    EXPECT_EQ(ColorsFor(ButtonStyle::Secondary, disabled).text, palette::kTextDisabled);
    EXPECT_EQ(ColorsFor(ButtonStyle::Secondary, hot).border, palette::kButtonBorderHot);
    for (ButtonStyle style : {ButtonStyle::Primary, ButtonStyle::Secondary, ButtonStyle::Flat, ButtonStyle::Caption}) {
        EXPECT_NE(ColorsFor(style, pressed).fill, ColorsFor(style, normal).fill) << static_cast<int>(style);
    }
    VisualState current;
    current.checked = true;
    EXPECT_EQ(ColorsFor(ButtonStyle::Page, current).fill, palette::kWindow);
}

}  // namespace
}  // namespace tarvo::ui
