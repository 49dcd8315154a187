#pragma once
// Data handed between processes by message, and who may send us which message.

#include <windows.h>

#include <vector>

namespace tarvo::platform {

// SendMessage(WM_COPYDATA) with dwData = tag and the bytes as they stand (cbData = their count).
// The receiver's answer, 0 when the window is gone.
LRESULT SendCopyData(HWND window, ULONG_PTR tag, const std::vector<BYTE>& bytes) noexcept;

// Lets processes of lower integrity send this message (ChangeWindowMessageFilter with
// MSGFLT_ADD, looked up by name). False when the function is missing (before Vista) or fails.
bool AllowMessageFromLowerIntegrity(UINT message) noexcept;

}  // namespace tarvo::platform
