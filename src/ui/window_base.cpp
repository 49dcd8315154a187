#include "ui/window_base.h"

#include "ui/gdi.h"

namespace tarvo::ui {

WindowBase::~WindowBase() {
    if (hwnd_) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
}

bool WindowBase::RegisterClassOnce(const wchar_t* className, bool topLevel) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, className, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    // Top-level windows repaint whole when sized; our controls lay themselves out.
    wc.style = topLevel ? CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS : CS_DBLCLKS;
    wc.lpfnWndProc = &WindowBase::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    if (topLevel) wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = className;
    return ::RegisterClassExW(&wc) != 0;
}

bool WindowBase::CreateTopLevel(const wchar_t* className, const std::wstring& caption, DWORD style,
                                DWORD exStyle, const RECT& bounds, HWND owner) {
    if (!RegisterClassOnce(className, true)) return false;
    return ::CreateWindowExW(exStyle, className, caption.c_str(), style, bounds.left, bounds.top,
                             bounds.right - bounds.left, bounds.bottom - bounds.top, owner, nullptr,
                             ::GetModuleHandleW(nullptr), this) != nullptr;
}

bool WindowBase::CreateChild(const wchar_t* className, HWND parent, int id, DWORD style,
                             DWORD exStyle, const RECT& bounds) {
    if (!RegisterClassOnce(className, false)) return false;
    return ::CreateWindowExW(exStyle, className, L"", style | WS_CHILD, bounds.left, bounds.top,
                             bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                             this) != nullptr;
}

namespace {
// Registered once per process; the same number in every window of ours.
UINT LanguageChangedMessage() noexcept { return ::RegisterWindowMessageW(L"Tarvo.LanguageChanged"); }

BOOL CALLBACK SendToChild(HWND child, LPARAM message) {
    ::SendMessageW(child, static_cast<UINT>(message), 0, 0);
    return TRUE;
}

BOOL CALLBACK SendLanguageChanged(HWND window, LPARAM message) {
    ::SendMessageW(window, static_cast<UINT>(message), 0, 0);
    ::EnumChildWindows(window, SendToChild, message);  // every descendant, not just the children
    return TRUE;
}
}  // namespace

void BroadcastLanguageChanged() noexcept {
    const UINT message = LanguageChangedMessage();
    if (message) ::EnumThreadWindows(::GetCurrentThreadId(), SendLanguageChanged, static_cast<LPARAM>(message));
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto handled = OnMessage(message, wParam, lParam)) return *handled;
    if (message != 0 && message == LanguageChangedMessage()) {
        OnLanguageChanged();
        return 0;
    }
    if (const auto mouse = DecodeMouse(hwnd_, message, wParam, lParam)) {
        DispatchMouse(*mouse);
        return DefaultHandling(message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT: {
        const unique_hdc_paint dc(hwnd_);
        OnPaint(dc.get());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return lParam ? OnNotify(*reinterpret_cast<const NMHDR*>(lParam)) : 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

void WindowBase::DispatchMouse(const MouseEvent& event) {
    switch (event.kind) {
    case MouseKind::Move:
        leave_.Arm(hwnd_);
        OnMouseMove(event.at);
        break;
    case MouseKind::Leave:
        leave_.Disarm();
        OnMouseLeave();
        break;
    case MouseKind::Press: OnMouseDown(event.at, false); break;
    case MouseKind::DoublePress: OnMouseDown(event.at, true); break;
    case MouseKind::Release: OnMouseUp(event.at); break;
    case MouseKind::CaptureLost: OnCaptureLost(); break;
    }
}

LRESULT WindowBase::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<WindowBase*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        if (message == WM_NCDESTROY) {
            const LRESULT result = self->HandleMessage(message, wParam, lParam);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            self->OnFinalMessage();
            return result;
        }
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // A failed handler must not take the message loop down with it.
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

int ScreenDpi() noexcept {
    const unique_window_dc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

int ScaleForDpi(int value, int dpi) noexcept { return ::MulDiv(value, dpi, 96); }

}  // namespace tarvo::ui
