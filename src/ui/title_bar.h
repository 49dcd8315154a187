#pragma once
// The title area of a borderless window: icon, caption, and our own minimise, maximise and
// close buttons. The host window forwards WM_NCHITTEST and WM_SIZE and paints the bar from
// its WM_PAINT; the buttons are child controls that report through callbacks.

#include <windows.h>

#include <functional>
#include <string>

#include "ui/image_button.h"
#include "ui/tool_hints.h"
#include "ui/title_bar_layout.h"

namespace tarvo::ui {

void PaintTitleBar(HDC dc, const TitleBarLayout& layout, const std::wstring& caption, HICON icon,
                   int dpi, HFONT font) noexcept;

// Gives a borderless window rounded corners (radius in 96-DPI pixels); square when maximised,
// where round corners would show the desktop at the screen's corners. Call again on every size.
void ApplyRoundedCorners(HWND window, int radius, int dpi, bool maximized) noexcept;
// A one-pixel frame that follows the same rounded outline, drawn inside the client area.
void PaintRoundedFrame(HDC dc, const RECT& client, int radius, int dpi, bool maximized, COLORREF color) noexcept;

class TitleBar {
public:
    // Creates the buttons inside `host`; their control ids start at firstId.
    bool Create(HWND host, unsigned buttons, int dpi, int firstId);
    void SetCaption(std::wstring caption);
    void SetIcon(HICON icon) noexcept { icon_ = icon; }  // borrowed
    // Swaps the maximise glyph for restore and back, with its hint.
    void SetMaximized(bool maximized);
    // Hover hints of the caption buttons, from the language's texts; call again after a
    // language change.
    struct Hints {
        std::wstring menu, minimize, maximize, restore, close;
    };
    void SetHints(Hints hints);
    void SetDpi(int dpi);
    // Height of the title area in 96-DPI pixels; 0 for the standard height.
    void SetHeight(int height);
    // Call from the host's WM_SIZE with its new client width.
    void LayOut(int width);
    void Paint(HDC dc) const;
    // The host's WM_NCHITTEST answer for a screen point.
    [[nodiscard]] LRESULT HitTest(LPARAM screenPoint, bool resizable) const;

    [[nodiscard]] const TitleBarLayout& layout() const noexcept { return layout_; }
    [[nodiscard]] bool maximized() const noexcept { return maximized_; }
    [[nodiscard]] const std::wstring& caption() const noexcept { return caption_; }
    [[nodiscard]] ImageButton& menuButton() noexcept { return menu_; }

    std::function<void()> onMenu;
    std::function<void()> onMinimize;
    std::function<void()> onMaximize;  // also for restore; the host decides which by its state
    std::function<void()> onClose;

private:
    HWND host_ = nullptr;
    unsigned buttons_ = 0;
    int dpi_ = 96;
    int height_ = 0;
    bool maximized_ = false;
    std::wstring caption_;
    Hints hints_;
    ToolHints tips_;
    bool tipsAdded_ = false;
    HICON icon_ = nullptr;
    TitleBarLayout layout_;
    ImageButton menu_, minimize_, maximize_, close_;
};

// The close button in a dialog's heading band: the caption-close face on the band's colour,
// reached with Escape rather than Tab, with its hover hint.
void CreateHeadingCloseButton(ImageButton& button, HWND dialog, int id, const RECT& bounds, int dpi,
                              const std::wstring& hint);

// The WM_NCHITTEST answer of a frameless dialog that has no title bar of its own, only a
// heading band along its top: the band drags the window, everything else is client area.
// `screenPoint` is the message's lParam.
[[nodiscard]] LRESULT HeadingBandHitTest(HWND window, LPARAM screenPoint, int bandHeight) noexcept;

}  // namespace tarvo::ui
