#include "ui/frameless_dialog.h"

#include "ui/gdi.h"
#include "ui/title_bar.h"

namespace tarvo::ui {

void FramelessDialog::SetOwner(HWND owner) noexcept {
    owner_ = owner;
    dpi_ = ScreenDpi();
}

void FramelessDialog::RunModalOverOwner(ModalLoopOptions options) {
    if (!hwnd()) return;
    if (owner_) ::EnableWindow(owner_, FALSE);
    RunModalLoop(options);
    // The owner comes back before we go, so activation returns to it and not elsewhere.
    if (owner_) ::EnableWindow(owner_, TRUE);
    if (hwnd()) ::DestroyWindow(hwnd());
    if (owner_) ::SetForegroundWindow(owner_);
}

LRESULT FramelessDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto handled = OnMessage(message, wParam, lParam)) return *handled;
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_NCHITTEST:
        return HeadingBandHitTest(hwnd(), lParam, HeadingBandHeight());
    case WM_PAINT: {
        const unique_hdc_paint dc(hwnd());
        OnPaint(dc.get());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

}  // namespace tarvo::ui
