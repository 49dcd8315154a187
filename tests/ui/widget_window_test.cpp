// The small widgets in real windows under Wine: clicks and keys reach the owner, the search
// box shows its clear button and reports trimmed text, the title area drags and rounds the
// window, and the drawing helpers stay inside their boxes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/category_bar.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/glyphs.h"
#include "ui/image_button.h"
#include "ui/search_box.h"
#include "ui/title_bar.h"

namespace tarvo::ui {
namespace {

// A plain top-level window that records the WM_COMMAND notifications of its children.
class Host final : public WindowBase {
public:
    bool Create() {
        return CreateTopLevel(L"TarvoWidgetTestHost", L"host", WS_POPUP | WS_CLIPCHILDREN, 0, {0, 0, 600, 400});
    }
    std::vector<std::pair<int, int>> commands;  // id, notification code

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return DefaultHandling(message, wParam, lParam);
    }
};

class WidgetWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(host.Create());
    }
    static void Click(HWND window, POINT down, POINT up) {
        ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
        ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    }
    Host host;
};

TEST_F(WidgetWindowTest, ImageButtonClicksByMouseSpaceAndEnter) {
    ImageButton button;
    ButtonFace face;
    face.text = L"Uninstall";
    ASSERT_TRUE(button.Create(host.hwnd(), 42, {10, 10, 110, 40}, face, 96));
    int clicks = 0;
    button.onClick = [&clicks] { ++clicks; };

    Click(button.hwnd(), {5, 5}, {50, 20});
    EXPECT_EQ(clicks, 1);
    Click(button.hwnd(), {5, 5}, {300, 20});  // released outside: cancelled
    EXPECT_EQ(clicks, 1);

    ::SendMessageW(button.hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(clicks, 1);  // Space clicks on release, like a Windows button
    ::SendMessageW(button.hwnd(), WM_KEYUP, VK_SPACE, 0xC0000000);
    EXPECT_EQ(clicks, 2);
    ::SendMessageW(button.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(host.commands, (std::vector<std::pair<int, int>>(3, {42, BN_CLICKED})));
}

TEST_F(WidgetWindowTest, ImageButtonTakesCaptionsSetFromOutside) {
    // A language change re-captions controls with SetWindowText.
    ImageButton button;
    ASSERT_TRUE(button.Create(host.hwnd(), 1, {0, 0, 80, 30}, ButtonFace{}, 96));
    const int narrow = button.PreferredWidth();
    ::SetWindowTextW(button.hwnd(), L"Deinstallieren und aufräumen");
    EXPECT_EQ(button.face().text, L"Deinstallieren und aufräumen");
    EXPECT_GT(button.PreferredWidth(), narrow);
}

TEST_F(WidgetWindowTest, DialogKeysMoveBetweenImageButtonsAndEnterClicksTheFocusedOne) {
    // Our modal windows run their keys through IsDialogMessage: Tab must skip a disabled
    // button, and Enter must click the focused button itself rather than go out as IDOK.
    ImageButton first, disabled, last;
    ButtonFace face;
    face.text = L"First";
    ASSERT_TRUE(first.Create(host.hwnd(), 11, {10, 10, 110, 40}, face, 96));
    face.text = L"Disabled";
    ASSERT_TRUE(disabled.Create(host.hwnd(), 12, {120, 10, 220, 40}, face, 96));
    face.style = ButtonStyle::Primary;
    face.text = L"Last";
    ASSERT_TRUE(last.Create(host.hwnd(), 13, {230, 10, 330, 40}, face, 96));
    ::EnableWindow(disabled.hwnd(), FALSE);
    int lastClicks = 0;
    last.onClick = [&lastClicks] { ++lastClicks; };
    ::ShowWindow(host.hwnd(), SW_SHOWNA);

    auto press = [this](WPARAM key) {
        MSG down{::GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        if (!::IsDialogMessageW(host.hwnd(), &down)) {
            ::TranslateMessage(&down);
            ::DispatchMessageW(&down);
        }
    };
    ::SetFocus(first.hwnd());
    ASSERT_EQ(::GetFocus(), first.hwnd());
    press(VK_TAB);
    EXPECT_EQ(::GetFocus(), last.hwnd()) << "the disabled button is not a tab stop";
    press(VK_RETURN);
    EXPECT_EQ(lastClicks, 1);
    EXPECT_EQ(host.commands, (std::vector<std::pair<int, int>>{{13, BN_CLICKED}}));
    press(VK_TAB);
    EXPECT_EQ(::GetFocus(), first.hwnd()) << "Tab wraps around";
    ::ShowWindow(host.hwnd(), SW_HIDE);
}

TEST_F(WidgetWindowTest, SearchBoxShowsClearButtonAndReportsTrimmedText) {
    SearchBox search;
    ASSERT_TRUE(search.Create(host.hwnd(), 5, {10, 10, 230, 36}, L"Search Software", 96));
    std::vector<std::wstring> changes;
    search.onChange = [&changes](const std::wstring& text) { changes.push_back(text); };

    wchar_t cue[64] = {};
    if (::SendMessageW(search.edit(), EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 64)) {
        EXPECT_STREQ(cue, L"Search Software");
    }
    ::SetWindowTextW(search.edit(), L"   ");
    EXPECT_FALSE(search.ClearButtonVisible());
    ::SetWindowTextW(search.edit(), L"  off ");
    EXPECT_TRUE(search.ClearButtonVisible());
    EXPECT_EQ(search.TrimmedText(), L"off");

    // Escape in the field clears it, as the clear button does.
    ::SendMessageW(search.edit(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(search.Text(), L"");
    EXPECT_FALSE(search.ClearButtonVisible());
    EXPECT_EQ(changes, (std::vector<std::wstring>{L"", L"off", L""}));

    ::SetWindowTextW(search.edit(), L"abc");
    changes.clear();
    search.ClearSilently();
    EXPECT_TRUE(changes.empty());
    EXPECT_FALSE(search.ClearButtonVisible());
}

TEST_F(WidgetWindowTest, CategoryBarReportsOnlyANewCategory) {
    CategoryBar bar;
    ASSERT_TRUE(bar.Create(host.hwnd(), 3, {0, 0, 600, 36}, {L"All Programs", L"Recently Installed", L"Large Programs"}, 96));
    std::vector<int> chosen;
    bar.onSelect = [&chosen](int index) { chosen.push_back(index); };
    const auto& labels = bar.model().labelRects();
    ASSERT_EQ(labels.size(), 3u);
    const POINT second{(labels[1].left + labels[1].right) / 2, 18};
    const POINT first{(labels[0].left + labels[0].right) / 2, 18};
    Click(bar.hwnd(), second, second);
    Click(bar.hwnd(), second, second);  // already current
    Click(bar.hwnd(), first, {first.x, 300});  // released off the bar
    EXPECT_EQ(chosen, std::vector<int>{1});
    EXPECT_EQ(bar.current(), 1);

    // New, longer texts: the underline follows its label only when asked to.
    bar.SetLabels({L"Alle Programme", L"Kürzlich installierte Programme", L"Große Programme"});
    bar.LayOut(true);
    const RECT underline = bar.model().UnderlineRect();
    EXPECT_GT(underline.left, bar.model().labelRects()[0].right);
    EXPECT_LT(underline.right, bar.model().labelRects()[1].right);
}

TEST_F(WidgetWindowTest, TitleBarDragsByCaptionAndButtonsCallBack) {
    TitleBar title;
    int closes = 0, maximizes = 0;
    title.onClose = [&closes] { ++closes; };
    title.onMaximize = [&maximizes] { ++maximizes; };
    ASSERT_TRUE(title.Create(host.hwnd(), kTitleMinimize | kTitleMaximize | kTitleClose, 96, 100));
    const TitleBarLayout& layout = title.layout();
    EXPECT_EQ(layout.close.right, 600);

    POINT caption{100, 10};
    ::ClientToScreen(host.hwnd(), &caption);
    EXPECT_EQ(title.HitTest(MAKELPARAM(caption.x, caption.y), false), HTCAPTION);

    const HWND close = ::ChildWindowFromPoint(host.hwnd(), {layout.close.left + 5, 10});
    const HWND maximize = ::ChildWindowFromPoint(host.hwnd(), {layout.maximize.left + 5, 10});
    ASSERT_NE(close, host.hwnd());
    Click(close, {5, 5}, {5, 5});
    Click(maximize, {5, 5}, {5, 5});
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(maximizes, 1);
}

TEST_F(WidgetWindowTest, RoundedCornersAreDroppedWhileMaximised) {
    ApplyRoundedCorners(host.hwnd(), 6, 96, false);
    HRGN probe = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(host.hwnd(), probe), COMPLEXREGION);
    ApplyRoundedCorners(host.hwnd(), 6, 96, true);
    EXPECT_EQ(::GetWindowRgn(host.hwnd(), probe), ERROR);  // no region: the whole rectangle
    ::DeleteObject(probe);
}

TEST(Fonts, CachedPerRoleAndDpi) {
    FontCache fonts(L"Tahoma");
    const HFONT body = fonts.Get(FontRole::Body, 96);
    EXPECT_EQ(fonts.Get(FontRole::Body, 96), body);
    EXPECT_NE(fonts.Get(FontRole::Body, 144), body);
    LOGFONTW normal{}, large{}, bold{};
    ::GetObjectW(body, sizeof normal, &normal);
    ::GetObjectW(fonts.Get(FontRole::Body, 144), sizeof large, &large);
    ::GetObjectW(fonts.Get(FontRole::Emphasis, 96), sizeof bold, &bold);
    EXPECT_EQ(normal.lfHeight, FontHeightFor(9, 96));
    EXPECT_EQ(large.lfHeight, FontHeightFor(9, 144));
    EXPECT_EQ(FontHeightFor(9, 96), -12);
    EXPECT_GT(bold.lfWeight, normal.lfWeight);
}

// Draws into a white 40 x 40 bitmap and reports the bounds of what is not white.
class Canvas {
public:
    Canvas() {
        const HDC screen = ::GetDC(nullptr);
        dc_.reset(::CreateCompatibleDC(screen));
        bitmap_.reset(::CreateCompatibleBitmap(screen, 40, 40));
        ::ReleaseDC(nullptr, screen);
        old_ = ::SelectObject(dc_.get(), bitmap_.get());
        FillSolid(dc_.get(), {0, 0, 40, 40}, RGB(255, 255, 255));
    }
    ~Canvas() { ::SelectObject(dc_.get(), old_); }
    [[nodiscard]] HDC dc() const { return dc_.get(); }
    [[nodiscard]] RECT Inked() const {
        RECT r{40, 40, 0, 0};
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                if (::GetPixel(dc_.get(), x, y) == RGB(255, 255, 255)) continue;
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
        }
        return r;
    }

private:
    unique_hdc dc_;
    unique_hbitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

TEST(Drawing, GlyphsStayInsideTheirBoxAtEveryDpi) {
    for (Glyph glyph : {Glyph::Minimize, Glyph::Maximize, Glyph::Restore, Glyph::Close, Glyph::Clear, Glyph::Search,
                        Glyph::Menu, Glyph::ChevronDown}) {
        for (int dpi : {96, 120, 144}) {
            Canvas canvas;
            const RECT box{0, 0, 40, 40};
            DrawGlyph(canvas.dc(), box, glyph, RGB(0, 0, 0), dpi);
            const RECT inked = canvas.Inked();
            const RECT allowed = GlyphBox(box, glyph, dpi);
            EXPECT_LT(inked.left, inked.right) << static_cast<int>(glyph) << " at " << dpi;  // something drawn
            EXPECT_GE(inked.left, allowed.left) << static_cast<int>(glyph) << " at " << dpi;
            EXPECT_GE(inked.top, allowed.top) << static_cast<int>(glyph) << " at " << dpi;
            EXPECT_LE(inked.right, allowed.right) << static_cast<int>(glyph) << " at " << dpi;
            EXPECT_LE(inked.bottom, allowed.bottom) << static_cast<int>(glyph) << " at " << dpi;
        }
    }
}

TEST(Drawing, PaintBufferLandsOnTheTargetOnlyInItsArea) {
    Canvas canvas;
    {
        const PaintBuffer buffer(canvas.dc(), {10, 10, 30, 20});
        FillSolid(buffer.dc(), {0, 0, 40, 40}, RGB(0, 0, 0));  // more than the area
    }
    const RECT inked = canvas.Inked();
    EXPECT_EQ(inked.left, 10);
    EXPECT_EQ(inked.top, 10);
    EXPECT_EQ(inked.right, 30);
    EXPECT_EQ(inked.bottom, 20);
}

TEST(Drawing, SortArrowIsSymmetric) {
    for (bool up : {true, false}) {
        Canvas canvas;
        FillTriangle(canvas.dc(), {10, 10, 19, 20}, up, RGB(0, 0, 0));
        const RECT inked = canvas.Inked();
        EXPECT_EQ(inked.right - inked.left, 9);  // odd width: one apex pixel in the middle
        EXPECT_EQ(::GetPixel(canvas.dc(), 14, up ? inked.top : inked.bottom - 1), RGB(0, 0, 0));
        EXPECT_NE(::GetPixel(canvas.dc(), 13, up ? inked.top : inked.bottom - 1), RGB(0, 0, 0));
    }
}

}  // namespace
}  // namespace tarvo::ui
