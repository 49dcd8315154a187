#include "ui/image_button.h"

#include <windowsx.h>

#include "ui/font_cache.h"
#include "ui/gdi.h"

namespace tarvo::ui {

bool ImageButton::Create(HWND parent, int id, const RECT& bounds, ButtonFace face, int dpi) {
    face_ = std::move(face);
    dpi_ = dpi;
    if (!CreateChild(kClassName, parent, id, WS_VISIBLE | WS_TABSTOP, 0, bounds)) return false;
    ::SetWindowTextW(hwnd(), face_.text.c_str());
    return true;
}

void ImageButton::SetFace(ButtonFace face) {
    face_ = std::move(face);
    if (hwnd()) ::SetWindowTextW(hwnd(), face_.text.c_str());
    Redraw();
}

void ImageButton::SetText(const std::wstring& text) {
    face_.text = text;
    if (hwnd()) ::SetWindowTextW(hwnd(), text.c_str());
}

void ImageButton::SetGlyph(Glyph glyph) {
    face_.glyph = glyph;
    Redraw();
}

void ImageButton::SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    Redraw();
}

void ImageButton::SetDpi(int dpi) {
    dpi_ = dpi;
    Redraw();
}

void ImageButton::SetBackground(COLORREF color) {
    background_ = color;
    Redraw();
}

void ImageButton::Move(const RECT& b) {
    if (hwnd()) ::MoveWindow(hwnd(), b.left, b.top, b.right - b.left, b.bottom - b.top, TRUE);
}

void ImageButton::Show(bool visible) {
    if (hwnd()) ::ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

int ImageButton::PreferredWidth() const {
    const int padding = ScaleForDpi(14, dpi_);
    int width = 2 * padding;
    if (!face_.text.empty()) {
        const unique_window_dc screen(hwnd());
        width += MeasureText(screen.get(), face_.text, SharedFonts().Get(FontRole::Body, dpi_)).cx;
    }
    if (face_.icon) width += ScaleForDpi(16 + 6, dpi_);
    else if (face_.glyph != Glyph::None) width += GlyphSize(face_.glyph, dpi_) + ScaleForDpi(6, dpi_);
    return width;
}

void ImageButton::Redraw() {
    if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

int ImageButton::PartAt(POINT at) const {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    return ::PtInRect(&client, at) ? 0 : HotTracker::kNone;
}

void ImageButton::OnMouseMove(POINT at) {
    if (tracker_.Move(PartAt(at))) Redraw();
}

void ImageButton::OnMouseLeave() {
    if (tracker_.pressed() == HotTracker::kNone && tracker_.Leave()) Redraw();
}

void ImageButton::OnMouseDown(POINT /*at*/, bool /*doubleClick*/) {
    keyboardCue_ = false;
    if (::GetWindowLongW(hwnd(), GWL_STYLE) & WS_TABSTOP) ::SetFocus(hwnd());
    tracker_.Press(0);
    CaptureMouse();
    Redraw();
}

void ImageButton::OnMouseUp(POINT at) {
    const bool clicked = tracker_.Release(PartAt(at)) == 0;
    ReleaseMouse();
    Redraw();
    if (clicked) Click();
}

void ImageButton::OnCaptureLost() {
    if (tracker_.Cancel()) Redraw();
}

void ImageButton::Click() {
    // The callback may destroy this button (a close button ending its window): read the
    // parent and id first and touch no member afterwards.
    const HWND self = hwnd();
    const HWND parent = ::GetParent(self);
    const int id = ::GetDlgCtrlID(self);
    if (onClick) onClick();
    if (::IsWindow(self) && parent) {
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(self));
    }
}

void ImageButton::Paint(HDC target) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const PaintBuffer buffer(target, client);
    VisualState state = VisualOf(tracker_, 0, !::IsWindowEnabled(hwnd()),
                                 keyboardCue_ && ::GetFocus() == hwnd());
    if (spaceDown_) state.pressed = state.hot = true;
    state.checked = checked_;
    PaintButton(buffer.dc(), client, face_, state, dpi_, SharedFonts().Get(FontRole::Body, dpi_),
                background_);
}

std::optional<LRESULT> ImageButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE: {
            // Enter belongs to the button that has the focus, as with a Windows button: a
            // dialog's key handling would otherwise send it to the window's default action,
            // or as IDOK, and skip our callback.
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            const bool enter = key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON | (enter ? DLGC_WANTMESSAGE : 0);
        }
        case WM_KEYDOWN:
            keyboardCue_ = true;
            if (wParam == VK_SPACE && !spaceDown_) {
                spaceDown_ = true;
                Redraw();
            } else if (wParam == VK_RETURN) {
                Click();
            }
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && spaceDown_) {
                spaceDown_ = false;
                Redraw();
                Click();
            }
            return 0;
        case WM_SETFOCUS:
            // Focus that did not come from a click came from the keyboard: show the cue.
            if (!(::GetKeyState(VK_LBUTTON) & 0x8000)) keyboardCue_ = true;
            Redraw();
            return 0;
        case WM_KILLFOCUS:
            spaceDown_ = false;
            Redraw();
            return 0;
        case WM_ENABLE:
            tracker_.Cancel();
            tracker_.Leave();
            Redraw();
            return 0;
        case WM_SETTEXT: {
            // Re-captioning from outside (a language change) goes through here too.
            face_.text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
            const LRESULT result = DefaultHandling(message, wParam, lParam);
            Redraw();
            return result;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace tarvo::ui
