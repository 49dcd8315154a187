#pragma once
// Waiting on the user-interface thread without freezing its windows.

#include <windows.h>

#include "platform/unique_handle.h"

namespace tarvo::platform {

// Dispatches every message waiting in this thread's queue. A WM_QUIT met on the way is
// posted again so the outer message loop still sees it.
void PumpWaitingMessages() noexcept;

// Returns when `handle` is signalled, a message arrives, or `milliseconds` pass; true only
// for the first.
[[nodiscard]] bool WaitForHandleOrMessage(HANDLE handle, DWORD milliseconds) noexcept;

// A manual-reset event, not signalled.
[[nodiscard]] unique_handle CreateManualResetEvent() noexcept;
void SignalEvent(HANDLE event) noexcept;

}  // namespace tarvo::platform
