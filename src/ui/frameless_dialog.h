#pragma once
// The base of our modal, borderless windows: a white body they paint themselves, a heading
// band that moves them, their DPI scale, and the modal run over a disabled owner. A window
// says what it does through the hooks; the common message tail lives here once.

#include <windows.h>

#include <optional>

#include "ui/modal_loop.h"
#include "ui/window_base.h"

namespace tarvo::ui {

class FramelessDialog : public WindowBase {
public:
    [[nodiscard]] HWND owner() const noexcept { return owner_; }
    [[nodiscard]] int dpi() const noexcept { return dpi_; }

protected:
    [[nodiscard]] int Scale(int value) const noexcept { return ScaleForDpi(value, dpi_); }
    // Remembers the owner and takes the screen's DPI; call before creating the window.
    void SetOwner(HWND owner) noexcept;

    // The hooks. Painting gets the paint DC; the background is never erased (the paint
    // covers it). Close is the close button, Alt+F4 and the system's close.
    virtual void OnPaint(HDC dc) = 0;
    virtual void OnClose() = 0;
    virtual void OnCommand(int /*id*/, int /*code*/) {}
    virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
    // The height (device pixels) of the band a press on moves the window.
    [[nodiscard]] virtual int HeadingBandHeight() const = 0;
    // Messages beyond the common tail; nothing means "not this window's".
    virtual std::optional<LRESULT> OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
        return std::nullopt;
    }

    // Disables the owner, runs messages until the window is gone or `options` end the loop,
    // destroys what is left, and gives the owner back the activation.
    void RunModalOverOwner(ModalLoopOptions options);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;

    HWND owner_ = nullptr;
    int dpi_ = 96;
};

}  // namespace tarvo::ui
