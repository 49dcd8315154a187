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

struct FrameStyle {
    int cornerRadius = 10;   // 96-DPI pixels
    bool resizable = false;  // grip, edges, maximise and restore
    SIZE minimum{};          // 96-DPI pixels; the smallest size of a resizable window
};

class FramelessDialog : public WindowBase {
public:
    [[nodiscard]] HWND owner() const noexcept { return owner_; }
    [[nodiscard]] int dpi() const noexcept { return dpi_; }
    [[nodiscard]] bool maximized() const noexcept { return maximized_; }

protected:
    [[nodiscard]] int Scale(int value) const noexcept { return ScaleForDpi(value, dpi_); }
    // Remembers the owner and takes the screen's DPI; call before creating the window.
    void SetOwner(HWND owner) noexcept;
    void SetFrameStyle(const FrameStyle& style) noexcept { style_ = style; }

    // The height (device pixels) of the band a press on moves the window.
    [[nodiscard]] virtual int HeadingBandHeight() const = 0;
    // False while the window must stay where it is (a removal in progress).
    [[nodiscard]] virtual bool HeadingBandMoves() const { return true; }
    // After maximise or restore, so the window can swap its button's glyph and hint.
    virtual void OnMaximizedChanged() {}

    // The white body and the heading band with the window's title, left of the close button;
    // call first in OnPaint.
    void PaintBodyAndHeading(HDC dc, const RECT& client, std::wstring_view title) const;
    // The rounded one-pixel outline, and the size grip of a resizable window that is not
    // maximised; call last in OnPaint.
    void PaintFrame(HDC dc, const RECT& client) const;
    void ToggleMaximized();

    // Disables the owner, runs messages until the window is gone or `options` end the loop,
    // destroys what is left, and gives the owner back the activation.
    void RunModalOverOwner(ModalLoopOptions options);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    [[nodiscard]] LRESULT HitTest(LPARAM screenPoint) const;

    HWND owner_ = nullptr;
    int dpi_ = 96;
    FrameStyle style_;
    bool maximized_ = false;
    RECT normalBounds_{};
};

}  // namespace tarvo::ui
