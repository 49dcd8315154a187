#include "ui/registry_icons.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ui/gdi.h"

namespace tarvo::ui {

namespace {

// Painted first and then made transparent; no colour of the pictures comes near it.
constexpr COLORREF kBackground = RGB(255, 0, 255);

void DrawKey(HDC dc, int s) {
    // A cube seen from above, the registry editor's picture of a key.
    const int mid = s / 2, quarter = s / 4, edge = std::max(1, s / 16);
    const POINT top[] = {{mid, edge}, {s - 1 - edge, quarter + edge}, {mid, mid}, {edge, quarter + edge}};
    const POINT left[] = {{edge, quarter + edge}, {mid, mid}, {mid, s - 1}, {edge, s - 1 - quarter}};
    const POINT right[] = {{mid, mid}, {s - 1 - edge, quarter + edge}, {s - 1 - edge, s - 1 - quarter}, {mid, s - 1}};
    const unique_hpen outline(::CreatePen(PS_SOLID, 1, RGB(22, 70, 120)));
    const SelectedObject pen(dc, outline.get());
    for (const auto& [face, colour] : {std::pair{top, RGB(158, 203, 240)}, std::pair{left, RGB(61, 143, 214)},
                                       std::pair{right, RGB(31, 95, 158)}}) {
        const unique_hbrush fill(::CreateSolidBrush(colour));
        const SelectedObject brush(dc, fill.get());
        ::Polygon(dc, face, 4);
    }
}

void DrawValue(HDC dc, int s) {
    // A small card with "ab" on it, as a string value looks in the registry editor.
    const int edge = std::max(1, s / 16);
    const unique_hpen outline(::CreatePen(PS_SOLID, 1, RGB(120, 120, 120)));
    const unique_hbrush card(::CreateSolidBrush(RGB(255, 255, 255)));
    {
        const SelectedObject pen(dc, outline.get());
        const SelectedObject brush(dc, card.get());
        ::Rectangle(dc, 0, s / 5, s, s - s / 5 + edge);
    }
    const unique_hfont font(::CreateFontW(-(s * 5 / 8), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                          DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    const SelectedObject selected(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(200, 40, 40));
    RECT text{0, 0, s, s};
    ::DrawTextW(dc, L"ab", 2, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

platform::unique_hicon MakeRegistryIcon(RegistryIcon kind, int size) noexcept {
    if (size <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;  // top-down, so row y is y
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const unique_window_dc screen(nullptr);
    unique_hbitmap colour(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const unique_hdc dc(::CreateCompatibleDC(screen.get()));
    if (!colour || !bits || !dc) return {};
    {
        const SelectedObject target(dc.get(), colour.get());
        const RECT all{0, 0, size, size};
        FillSolid(dc.get(), all, kBackground);
        if (kind == RegistryIcon::Key) DrawKey(dc.get(), size);
        else DrawValue(dc.get(), size);
        ::GdiFlush();
    }
    // The background becomes transparent twice over: alpha 0 in the colour bitmap, and a set
    // bit in the mask for systems that draw icons by their mask.
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const std::uint32_t key = (GetRValue(kBackground) << 16) | (GetGValue(kBackground) << 8) | GetBValue(kBackground);
    const int stride = ((size + 15) / 16) * 2;  // mask rows are WORD-aligned
    std::vector<BYTE> mask(static_cast<std::size_t>(stride) * static_cast<std::size_t>(size), 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::uint32_t& p = pixels[y * size + x];
            if ((p & 0x00FFFFFFu) == key) {
                p = 0;
                mask[static_cast<std::size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
            } else {
                p |= 0xFF000000u;
            }
        }
    }
    const unique_hbitmap maskBitmap(::CreateBitmap(size, size, 1, 1, mask.data()));
    ICONINFO icon{};
    icon.fIcon = TRUE;
    icon.hbmColor = colour.get();
    icon.hbmMask = maskBitmap.get();
    return platform::unique_hicon(::CreateIconIndirect(&icon));
}

}  // namespace tarvo::ui
