#pragma once
// Window messages and synchronisation: other programs' windows, data between processes,
// waiting without freezing the user interface, named mutexes and events.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace tarvo::platform {

// Other programs' windows: finding them, their process, and messages to them. Window
// handles here are borrowed, never owned.

[[nodiscard]] HWND FindWindowOf(const wchar_t* className, const wchar_t* caption = nullptr) noexcept;
// The first child (at any depth) of that class; null when there is none.
[[nodiscard]] HWND FindDescendantWindowOf(HWND parent, const wchar_t* className) noexcept;
[[nodiscard]] bool IsWindowAlive(HWND window) noexcept;
[[nodiscard]] DWORD WindowProcessId(HWND window) noexcept;

bool PostMessageOf(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) noexcept;
LRESULT SendMessageOf(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) noexcept;

void ShowWindowOf(HWND window, int command) noexcept;
// Tells every top-level window that the environment in the registry changed, so Explorer and
// the programs it starts from now on see the new PATH. Windows that hang are not waited for.
void BroadcastEnvironmentChange() noexcept;
void BringToForeground(HWND window) noexcept;
void AddWindowStyle(HWND window, LONG style) noexcept;
void SetFocusOf(HWND window) noexcept;

// Data handed between processes by message, and who may send us which message.

// SendMessage(WM_COPYDATA) with dwData = tag and the bytes as they stand (cbData = their count).
// The receiver's answer, 0 when the window is gone.
LRESULT SendCopyData(HWND window, ULONG_PTR tag, const std::vector<BYTE>& bytes) noexcept;

// WM_COPYGLOBALDATA, which the shell sends with a drag and drop and the SDK headers do not name.
inline constexpr UINT kCopyGlobalDataMessage = 0x0049;

// Lets processes of lower integrity send this message (ChangeWindowMessageFilter with
// MSGFLT_ADD, looked up by name). False when the function is missing (before Vista) or fails.
bool AllowMessageFromLowerIntegrity(UINT message) noexcept;

// Waiting on the user-interface thread without freezing its windows.

// Dispatches every message waiting in this thread's queue. A WM_QUIT met on the way is
// posted again so the outer message loop still sees it.
void PumpWaitingMessages() noexcept;

// Returns when `handle` is signalled, a message arrives, or `milliseconds` pass; true only
// for the first.
[[nodiscard]] bool WaitForHandleOrMessage(HANDLE handle, DWORD milliseconds) noexcept;

// A manual-reset event, not signalled.
[[nodiscard]] unique_handle CreateManualResetEvent() noexcept;
void SignalEvent(HANDLE event) noexcept;

// Named synchronisation objects shared between processes.

struct NamedMutex {
    unique_handle handle;         // null when the mutex could not be created or opened
    bool alreadyExisted = false;  // another process created it first (ERROR_ALREADY_EXISTS)
};

[[nodiscard]] NamedMutex CreateNamedMutex(const std::wstring& name, bool initialOwner) noexcept;

}  // namespace tarvo::platform
