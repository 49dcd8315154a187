#include "ui/modal_loop.h"

#include "ui/work_area.h"

namespace tarvo::ui {

RECT CentredOn(HWND owner, int width, int height) noexcept {
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (owner && ::IsWindowVisible(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int left = area.left + ((area.right - area.left) - width) / 2;
    const int top = area.top + ((area.bottom - area.top) - height) / 2;
    const RECT centred{left, top, left + width, top + height};
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
