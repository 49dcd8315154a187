#include "ui/round_button_image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ui/gdi.h"
#include "ui/window_base.h"

namespace tarvo::ui {

namespace {

struct Rgba {
    double r, g, b, a;  // straight colour 0..255, alpha 0..1
};

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

// How much of the pixel at (x, y) a circle covers: its distance to the edge, one pixel wide,
// which gives smooth edges without sampling.
double Coverage(const RECT& square, int x, int y, double inset = 0) {
    const double cx = (square.left + square.right) / 2.0, cy = (square.top + square.bottom) / 2.0;
    const double radius = (square.right - square.left) / 2.0 - inset;
    const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
    return Clamp01(radius - d + 0.5);
}

// A top-down 32-bit DIB section of `size` in a memory DC compatible with `reference`.
struct Canvas {
    unique_hdc dc;
    unique_hbitmap bitmap;
    void* bits = nullptr;
    Canvas(HDC reference, SIZE size) : dc(::CreateCompatibleDC(reference)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = size.cx;
        info.bmiHeader.biHeight = -size.cy;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        if (dc) bitmap.reset(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap) bits = nullptr;
    }
};

double Mix(double from, double to, double t) { return from + (to - from) * t; }

// Source over destination, both premultiplied.
void Over(std::uint32_t& pixel, const Rgba& c) {
    if (c.a <= 0) return;
    const double db = (pixel & 0xFF), dg = ((pixel >> 8) & 0xFF), dr = ((pixel >> 16) & 0xFF), da = (pixel >> 24);
    const double keep = 1.0 - c.a;
    const auto channel = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
    pixel = channel(db * keep + c.b * c.a) | channel(dg * keep + c.g * c.a) << 8 |
            channel(dr * keep + c.r * c.a) << 16 | channel(da * keep + 255.0 * c.a) << 24;
}

}  // namespace

PremultipliedImage PaintRoundButton(const RoundButtonParts& parts, int look) {
    const int w = std::max<int>(0, parts.size.cx), h = std::max<int>(0, parts.size.cy);
    PremultipliedImage image(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    const int shadowDrop = ScaleForDpi(3, parts.dpi);
    const RECT shadow{parts.ring.left - shadowDrop, parts.ring.top, parts.ring.right + shadowDrop,
                      parts.ring.bottom + 2 * shadowDrop};
    const double soft = ScaleForDpi(6, parts.dpi);
    const double ringHeight = std::max(1L, parts.ring.bottom - parts.ring.top);
    const double buttonHeight = std::max(1L, parts.button.bottom - parts.button.top);
    // Normal, hover and pressed: the top and bottom grey of the button's gradient.
    const double tops[] = {62, 82, 18}, bottoms[] = {16, 30, 40};
    const int state = std::clamp(look, 0, 2);

    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint32_t& pixel = image[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
            // The shadow fades over its outer few pixels.
            const double cx = (shadow.left + shadow.right) / 2.0, cy = (shadow.top + shadow.bottom) / 2.0;
            const double edge = (shadow.right - shadow.left) / 2.0 - std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (edge > 0) Over(pixel, {0, 0, 0, 0.28 * Clamp01(edge / soft)});
            // The ring runs from blue at the top left to green at the bottom right.
            const double ring = Coverage(parts.ring, x, y);
            if (ring > 0) {
                const double t = Clamp01(((x - parts.ring.left) + (y - parts.ring.top)) / (2.0 * ringHeight));
                Over(pixel, {Mix(0, 24, t), Mix(136, 186, t), Mix(240, 120, t), ring});
            }
            const double button = Coverage(parts.button, x, y);
            if (button > 0) {
                const double t = Clamp01((y - parts.button.top) / buttonHeight);
                const double grey = Mix(tops[state], bottoms[state], t);
                Over(pixel, {grey, grey, grey, button});
                // A thin light rim sets the button off from the ring.
                const double rim = button - Coverage(parts.button, x, y, ScaleForDpi(1, parts.dpi));
                if (rim > 0) Over(pixel, {255, 255, 255, 0.18 * rim});
            }
        }
    }
    return image;
}

void DrawButtonCaption(PremultipliedImage& image, SIZE size, const std::wstring& text, RECT rect, int dpi,
                       COLORREF color) {
    if (text.empty() || size.cx <= 0 || size.cy <= 0 ||
        image.size() != static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy))
        return;
    const Canvas canvas(nullptr, size);
    if (!canvas.bits) return;
    const unique_hdc& dc = canvas.dc;
    void* const bits = canvas.bits;
    const SelectedObject bitmap(dc.get(), canvas.bitmap.get());
    // Grey-scale smoothing, never ClearType: its coloured fringes would show as a tint. A
    // longer translation gets a smaller font rather than running over the round edge.
    const auto makeFont = [dpi](int pixels) {
        return unique_hfont(::CreateFontW(-ScaleForDpi(pixels, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    };
    const int room = rect.right - rect.left - ScaleForDpi(8, dpi);
    unique_hfont font = makeFont(14);
    for (int pixels = 13; pixels >= 9; --pixels) {
        const SelectedObject trial(dc.get(), font.get());
        SIZE extent{};
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        if (extent.cx <= room) break;
        font = makeFont(pixels);
    }
    const SelectedObject selected(dc.get(), font.get());
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::SetTextColor(dc.get(), RGB(255, 255, 255));
    const auto* coverage = static_cast<const std::uint32_t*>(bits);
    const std::size_t count = image.size();

    const auto pass = [&](RECT where, double r, double g, double b) {
        std::memset(bits, 0, count * sizeof(std::uint32_t));
        ::DrawTextW(dc.get(), text.c_str(), -1, &where, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::GdiFlush();
        for (std::size_t i = 0; i < count; ++i) {
            const double a = (coverage[i] & 0xFF) / 255.0;
            if (a > 0) Over(image[i], {r, g, b, a});
        }
    };
    const int drop = ScaleForDpi(1, dpi);
    pass(RECT{rect.left, rect.top + drop, rect.right, rect.bottom + drop}, 0, 0, 0);
    pass(rect, GetRValue(color), GetGValue(color), GetBValue(color));
}

bool ShowLayeredImage(HWND window, POINT position, SIZE size, const PremultipliedImage& image) noexcept {
    if (!window || size.cx <= 0 || size.cy <= 0 ||
        image.size() != static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy))
        return false;
    const LONG exStyle = ::GetWindowLongW(window, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    const unique_window_dc screen(nullptr);
    const Canvas canvas(screen.get(), size);
    if (!canvas.bits) return false;
    std::memcpy(canvas.bits, image.data(), image.size() * sizeof(std::uint32_t));
    const unique_hdc& dc = canvas.dc;
    const SelectedObject selected(dc.get(), canvas.bitmap.get());
    POINT source{0, 0};
    SIZE extent = size;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::UpdateLayeredWindow(window, screen.get(), &position, &extent, dc.get(), &source, 0, &blend, ULW_ALPHA) !=
           FALSE;
}

}  // namespace tarvo::ui
