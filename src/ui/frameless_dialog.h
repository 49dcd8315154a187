#pragma once
// The base of our modal, borderless windows: a white body they paint themselves, a heading
// band that moves them, rounded corners, their DPI scale, and the modal run over a disabled
// owner. A resizable one also gets the size grip, sizing edges, a smallest size, and
// maximise and restore. A window says what it does through the hooks of WindowBase; the
// frame's messages are handled here once.

#include <windows.h>

#include <string_view>

#include "ui/modal_loop.h"
#include "ui/window_base.h"

namespace tarvo::ui {

// The look and the behaviour of one kind of dialog, in 96-DPI pixels.
struct FrameStyle {
    int cornerRadius = 10;
    int bandHeight = 32;     // the coloured heading band with the title and the close button
    int moveHeight = 0;      // the top part a press on moves the window; 0: the band
    bool resizable = false;  // grip, edges, maximise and restore
    SIZE minimum{};          // the smallest size of a resizable window
    bool dialogKeys = true;  // Tab, arrows and the default button move between the controls
};

class FramelessDialog : public WindowBase {
public:
    ~FramelessDialog() override = default;

    [[nodiscard]] HWND owner() const noexcept { return owner_; }
    [[nodiscard]] int dpi() const noexcept { return dpi_; }
    [[nodiscard]] bool maximized() const noexcept { return maximized_; }

    // Shows the created window and runs it modally over its disabled owner until it is
    // closed or ModalEnded says so; the window is gone when this returns. Once at a time.
    void ShowModal();
    // The owner comes back before the window goes, so activation returns to it and not
    // elsewhere. Every dialog's destructor calls this for a window that was never run.
    void CloseDialog() noexcept;

protected:
    [[nodiscard]] int Scale(int value) const noexcept { return ScaleForDpi(value, dpi_); }
    // Remembers the owner and takes the screen's DPI; call before creating the window.
    void SetOwner(HWND owner) noexcept;
    void SetFrameStyle(const FrameStyle& style) noexcept { style_ = style; }
    [[nodiscard]] const FrameStyle& frameStyle() const noexcept { return style_; }

    // The heights (device pixels) of the painted band and of the part that moves the window.
    [[nodiscard]] int BandHeight() const noexcept { return Scale(style_.bandHeight); }
    [[nodiscard]] int HeadingBandHeight() const noexcept {
        return Scale(style_.moveHeight > 0 ? style_.moveHeight : style_.bandHeight);
    }
    // False while the window must stay where it is (a removal in progress).
    [[nodiscard]] virtual bool HeadingBandMoves() const { return true; }
    // After maximise or restore, so the window can swap its button's glyph and hint.
    virtual void OnMaximizedChanged() {}
    // The modal run: what to do just before the window shows, whether it has ended although
    // the window still exists, and what Escape does (by default it closes the window).
    virtual void OnModalStart() {}
    [[nodiscard]] virtual bool ModalEnded() const { return false; }
    virtual void OnEscape() { CloseDialog(); }
    void OnClose() override { CloseDialog(); }

    // The white body and the heading band with the window's title, left of the close button
    // (or in `titleArea`); call first in OnPaint.
    void PaintBodyAndHeading(HDC dc, const RECT& client, std::wstring_view title) const;
    void PaintBodyAndHeading(HDC dc, const RECT& client, std::wstring_view title, const RECT& titleArea) const;
    // The rounded one-pixel outline, and the size grip of a resizable window that is not
    // maximised; call last in OnPaint.
    void PaintFrame(HDC dc, const RECT& client) const;
    void ToggleMaximized();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    [[nodiscard]] LRESULT HitTest(LPARAM screenPoint) const;

    HWND owner_ = nullptr;
    int dpi_ = 96;
    FrameStyle style_;
    bool maximized_ = false;
    bool running_ = false;
    RECT normalBounds_{};
};

}  // namespace tarvo::ui
