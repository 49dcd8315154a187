#include "platform/message_wait.h"

namespace tarvo::platform {

void PumpWaitingMessages() noexcept {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool WaitForHandleOrMessage(HANDLE handle, DWORD milliseconds) noexcept {
    return ::MsgWaitForMultipleObjects(1, &handle, FALSE, milliseconds, QS_ALLINPUT) == WAIT_OBJECT_0;
}

unique_handle CreateManualResetEvent() noexcept {
    return unique_handle(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

void SignalEvent(HANDLE event) noexcept { ::SetEvent(event); }

}  // namespace tarvo::platform
