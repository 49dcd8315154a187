#include "shell/bring_forward.h"

namespace tarvo::shell {

void BringWindowForward(HWND window) noexcept {
    if (!window) return;
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    const HWND foreground = ::GetForegroundWindow();
    if (foreground == window) return;

    // The system grants the foreground to a thread that shares input with the current
    // foreground thread.
    const DWORD ownThread = ::GetCurrentThreadId();
    const DWORD foregroundThread = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached = foregroundThread && foregroundThread != ownThread &&
                          ::AttachThreadInput(ownThread, foregroundThread, TRUE);
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
    if (attached) ::AttachThreadInput(ownThread, foregroundThread, FALSE);
    if (::GetForegroundWindow() == window) return;

    DWORD savedTimeout = 0;
    ::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &savedTimeout, 0);
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                            reinterpret_cast<void*>(static_cast<ULONG_PTR>(savedTimeout)), SPIF_SENDCHANGE);
}

}  // namespace tarvo::shell
