#pragma once
// The base of every window of ours: registers the class once, keeps exceptions from
// unwinding through the window procedure, and turns messages into virtual hooks. A window
// says what it does by overriding the hooks it needs; everything else gets the system's
// default handling.

#include <windows.h>

#include <optional>
#include <string>

#include "ui/hot_tracker.h"

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

    // The hooks. Painting gets the paint DC; the background is never erased, because every
    // window of ours paints all of its client area (erasing first would flicker). Close is
    // the system's close (Alt+F4, the close command); by default the window is destroyed.
    virtual void OnPaint(HDC /*dc*/) {}
    virtual void OnSize(UINT /*type*/, int /*width*/, int /*height*/) {}
    virtual void OnTimer(UINT_PTR /*id*/) {}
    virtual void OnCommand(int /*id*/, int /*code*/) {}
    virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
    virtual void OnClose() { ::DestroyWindow(hwnd_); }
    virtual void OnDestroy() {}
    // The program's language changed (BroadcastLanguageChanged): read every text again.
    virtual void OnLanguageChanged() {}
    // Called after WM_NCDESTROY; the window handle is gone by then.
    virtual void OnFinalMessage() {}
    // The mouse, left button. A move is always followed by a leave once the pointer goes: the
    // base asks for the notice. A window that captures the mouse on a press releases it in
    // OnMouseUp (ReleaseMouse) before it acts on the click; OnCaptureLost is another window
    // taking the mouse mid-press.
    virtual void OnMouseMove(POINT /*at*/) {}
    virtual void OnMouseLeave() {}
    virtual void OnMouseDown(POINT /*at*/, bool /*doubleClick*/) {}
    virtual void OnMouseUp(POINT /*at*/) {}
    virtual void OnCaptureLost() {}
    void CaptureMouse() noexcept { ::SetCapture(hwnd_); }
    void ReleaseMouse() noexcept {
        if (::GetCapture() == hwnd_) ::ReleaseCapture();
    }
    // Any message before the hooks above see it; nothing means "not handled here".
    virtual std::optional<LRESULT> OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
        return std::nullopt;
    }

    // The dispatch to the hooks. Window classes use the hooks; only a base for a family of
    // windows (the frameless dialogs) extends this, and calls it for what it leaves alone.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    // The one place our window classes are registered (once per process each).
    static bool RegisterClassOnce(const wchar_t* className, bool topLevel);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    void DispatchMouse(const MouseEvent& event);

    HWND hwnd_ = nullptr;
    LeaveNotice leave_;
};

// Tells every window of the calling thread, top-level windows and their children alike, that
// the language changed; each window of ours gets OnLanguageChanged. One notification reaches
// every window, whoever created it, so no window has to be listed anywhere.
void BroadcastLanguageChanged() noexcept;

// Screen DPI from the desktop device context: 96 at 100 %, 144 at 150 %.
[[nodiscard]] int ScreenDpi() noexcept;
[[nodiscard]] int ScaleForDpi(int value, int dpi) noexcept;

}  // namespace tarvo::ui
