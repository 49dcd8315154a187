#include "platform/window_messages.h"

namespace tarvo::platform {

HWND FindWindowOf(const wchar_t* className, const wchar_t* caption) noexcept {
    return ::FindWindowW(className, caption);
}

namespace {
struct DescendantSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM param) noexcept {
    auto* search = reinterpret_cast<DescendantSearch*>(param);
    wchar_t name[64] = {};
    if (::GetClassNameW(window, name, 64) && ::lstrcmpiW(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindDescendantWindowOf(HWND parent, const wchar_t* className) noexcept {
    DescendantSearch search{className, nullptr};
    ::EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsWindowAlive(HWND window) noexcept { return window && ::IsWindow(window); }

DWORD WindowProcessId(HWND window) noexcept {
    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    return id;
}

bool PostMessageOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return ::PostMessageW(window, message, wParam, lParam) != FALSE;
}

LRESULT SendMessageOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return ::SendMessageW(window, message, wParam, lParam);
}

void ShowWindowOf(HWND window, int command) noexcept { ::ShowWindow(window, command); }

void BringToForeground(HWND window) noexcept { ::SetForegroundWindow(window); }

void AddWindowStyle(HWND window, LONG style) noexcept {
    ::SetWindowLongW(window, GWL_STYLE, ::GetWindowLongW(window, GWL_STYLE) | style);
}

void SetFocusOf(HWND window) noexcept {
    // Focus belongs to a thread's input state: borrow the window's thread input for the call.
    const DWORD target = ::GetWindowThreadProcessId(window, nullptr);
    const DWORD self = ::GetCurrentThreadId();
    const bool attached = target != self && ::AttachThreadInput(self, target, TRUE);
    ::SetFocus(window);
    if (attached) ::AttachThreadInput(self, target, FALSE);
}

}  // namespace tarvo::platform
