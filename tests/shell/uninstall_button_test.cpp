// The round button: where it sits, how the mouse changes it, and its picture.
#include "shell/uninstall_button_model.h"

#include <gtest/gtest.h>

#include "ui/round_button_image.h"

using namespace tarvo::shell;

TEST(UninstallButton, PlacedCentredBelowTheMainWindow) {
    const struct {
        RECT main;
        SIZE button;
        int overhang;
        POINT expected;
    } cases[] = {
        {{100, 50, 900, 620}, {155, 104}, 20, {422, 536}},     // (800 - 155) / 2 = 322.5, rounded toward zero
        {{-400, -20, 470, 550}, {155, 104}, 20, {-43, 466}},   // left of the primary monitor: -400 + 357
        {{0, 0, 100, 80}, {155, 104}, 20, {-27, -4}},          // narrower than the button: -27.5 toward zero
        {{100, 50, 1405, 905}, {233, 156}, 30, {636, 779}},    // 150 %: the scaled size and overhang
    };
    for (const auto& c : cases) {
        const POINT p = PlaceButton(c.main, c.button, c.overhang);
        EXPECT_EQ(p.x, c.expected.x) << c.main.left;
        EXPECT_EQ(p.y, c.expected.y) << c.main.left;
    }
    EXPECT_EQ(TUninstallButtonModel(144).Size().cx, 233);
    EXPECT_EQ(TUninstallButtonModel(144).Overhang(), 30);
}

TEST(UninstallButton, MouseLooksAndClicks) {
    TUninstallButtonModel m;
    const POINT centre{77, 52}, captionCorner{36, 43}, ringOnly{33, 52}, outside{2, 2};
    ASSERT_TRUE(m.OnButton(centre));
    ASSERT_FALSE(m.OnButton(captionCorner));  // the caption reaches past the round button
    ASSERT_TRUE(m.OnCaption(captionCorner));
    ASSERT_FALSE(m.OnButton(ringOnly));

    bool clicked = true;
    const struct {
        const char* step;
        std::function<bool()> act;
        bool redraw;
        ButtonLook look;
    } steps[] = {
        {"enter the button", [&] { return m.MouseMove(centre); }, true, ButtonLook::Hover},
        {"onto the caption corner", [&] { return m.MouseMove(captionCorner); }, false, ButtonLook::Hover},
        {"leave with the cursor on the caption", [&] { return m.MouseLeave(captionCorner); }, false, ButtonLook::Hover},
        {"onto the ring", [&] { return m.MouseMove(ringOnly); }, true, ButtonLook::Normal},
        {"press on the ring", [&] { return m.MouseDown(ringOnly); }, false, ButtonLook::Normal},
        {"press on the button", [&] { return m.MouseDown(centre); }, true, ButtonLook::Pressed},
        {"moving keeps the press", [&] { return m.MouseMove(outside); }, false, ButtonLook::Pressed},
        {"release outside", [&] { return m.MouseUp(outside, clicked); }, true, ButtonLook::Normal},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(s.act(), s.redraw) << s.step;
        EXPECT_EQ(m.Look(), s.look) << s.step;
    }
    EXPECT_FALSE(clicked);
    ASSERT_TRUE(m.MouseDown(centre));
    m.MouseUp(centre, clicked);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(m.Look(), ButtonLook::Hover);
    m.MouseUp(centre, clicked);  // a release without a press
    EXPECT_FALSE(clicked);
    EXPECT_TRUE(m.SetPage(ButtonPage::Addons));
    EXPECT_FALSE(m.SetPage(ButtonPage::Addons));
}

TEST(UninstallButton, PictureIsRoundAtEveryDpi) {
    for (const int dpi : {96, 144}) {
        const TUninstallButtonModel m(dpi);
        const SIZE size = m.Size();
        const tarvo::ui::RoundButtonParts parts{size, m.Ring(), m.Button(), dpi};
        auto at = [&](const tarvo::ui::PremultipliedImage& image, LONG x, LONG y) {
            return image[static_cast<std::size_t>(y * size.cx + x)];
        };
        const auto normal = tarvo::ui::PaintRoundButton(parts, 0);
        ASSERT_EQ(normal.size(), static_cast<std::size_t>(size.cx * size.cy));
        const RECT ring = m.Ring(), button = m.Button();
        const LONG cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
        EXPECT_EQ(at(normal, 0, 0), 0u) << dpi;                     // corners stay clear: clicks go through
        EXPECT_EQ(at(normal, size.cx - 1, 0), 0u) << dpi;
        EXPECT_EQ(at(normal, cx, cy) >> 24, 255u) << dpi;           // the button is opaque
        const auto ringPixel = at(normal, (ring.left + button.left) / 2, cy);
        EXPECT_EQ(ringPixel >> 24, 255u) << dpi;
        EXPECT_GT(ringPixel & 0xFF, 150u) << dpi;                   // the ring is coloured, not grey
        for (const auto pixel : normal)                              // premultiplied: no channel above alpha
            ASSERT_LE(std::max({pixel & 0xFF, (pixel >> 8) & 0xFF, (pixel >> 16) & 0xFF}), pixel >> 24);
        // Each look is its own picture.
        const auto hover = tarvo::ui::PaintRoundButton(parts, 1), pressed = tarvo::ui::PaintRoundButton(parts, 2);
        EXPECT_NE(at(normal, cx, cy), at(hover, cx, cy));
        EXPECT_NE(at(normal, cx, cy + 10), at(pressed, cx, cy + 10));
        // The caption lights the pixels of its rectangle.
        auto captioned = normal;
        tarvo::ui::DrawButtonCaption(captioned, size, L"Uninstall", m.Caption(), dpi, RGB(255, 255, 255));
        EXPECT_NE(captioned, normal);
    }
}
