#include "platform/messages.h"

#include "platform/library.h"

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

void BroadcastEnvironmentChange() noexcept {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                          SMTO_ABORTIFHUNG, 5000, &answer);
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

LRESULT SendCopyData(HWND window, ULONG_PTR tag, const std::vector<BYTE>& bytes) noexcept {
    COPYDATASTRUCT data{};
    data.dwData = tag;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = bytes.empty() ? nullptr : const_cast<BYTE*>(bytes.data());
    return ::SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

bool AllowMessageFromLowerIntegrity(UINT message) noexcept {
    using ChangeFilter = BOOL(WINAPI*)(UINT, DWORD);
    constexpr DWORD kMsgFltAdd = 1;
    const auto change = GetProcAddressOf<ChangeFilter>(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilter");
    return change && change(message, kMsgFltAdd);
}

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

NamedMutex CreateNamedMutex(const std::wstring& name, bool initialOwner) noexcept {
    NamedMutex mutex;
    mutex.handle.reset(::CreateMutexW(nullptr, initialOwner ? TRUE : FALSE, name.c_str()));
    mutex.alreadyExisted = ::GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex;
}

}  // namespace tarvo::platform
