#pragma once
// The base of every top-level window of ours: registers the class once, routes messages to
// a virtual handler, and keeps exceptions from unwinding through the window procedure.

#include <windows.h>

#include <string>

namespace tarvo::ui {

class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase();

    [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }

protected:
    // Registers className (once per process) and creates the window; false on failure.
    bool CreateTopLevel(const wchar_t* className, const std::wstring& caption, DWORD style,
                        DWORD exStyle, const RECT& bounds, HWND owner = nullptr);
    // The same for a child control of ours: registered once, created inside `parent` with
    // the control id that its WM_COMMAND and WM_NOTIFY messages carry.
    bool CreateChild(const wchar_t* className, HWND parent, int id, DWORD style, DWORD exStyle,
                     const RECT& bounds);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    // Called after WM_NCDESTROY; the window handle is gone by then.
    virtual void OnFinalMessage() {}

private:
    // The one place our window classes are registered (once per process each).
    static bool RegisterClassOnce(const wchar_t* className, bool topLevel);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND hwnd_ = nullptr;
};

// Screen DPI from the desktop device context: 96 at 100 %, 144 at 150 %.
[[nodiscard]] int ScreenDpi() noexcept;
[[nodiscard]] int ScaleForDpi(int value, int dpi) noexcept;

}  // namespace tarvo::ui
