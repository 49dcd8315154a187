#include "ui/modal_loop.h"

#include "ui/work_area.h"

namespace tarvo::ui {

RECT CentredOver(const RECT& owner, SIZE size) noexcept {
    const LONG left = owner.left + ((owner.right - owner.left) - size.cx) / 2;
    const LONG top = owner.top + ((owner.bottom - owner.top) - size.cy) / 2;
    return RECT{left, top, left + size.cx, top + size.cy};
}

RECT CentredOn(HWND owner, int width, int height) noexcept {
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (owner && ::IsWindowVisible(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const RECT centred = CentredOver(area, SIZE{width, height});
    return FitIntoWorkArea(centred, WorkAreaNearest(centred));
}

void RunModalLoop(const ModalLoopOptions& options) {
    MSG message;
    for (HWND window = options.window(); window && options.keepRunning(); window = options.window()) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got < 0) return;
        window = options.window();
        // Escape in a message box or another window of the session is not ours to act on.
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE && window && options.onEscape &&
            ::GetAncestor(message.hwnd, GA_ROOT) == window) {
            options.onEscape();
            continue;
        }
        if (options.dialogKeys && window && ::IsDialogMessageW(window, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace tarvo::ui
