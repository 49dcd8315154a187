#pragma once
// A push button we draw ourselves: normal, hot, pressed, disabled and checked looks, a glyph,
// an icon or text, and the keyboard behaviour of a Windows button (Space and Enter click it,
// Tab reaches it). A click goes to the parent as WM_COMMAND/BN_CLICKED with the control id,
// and to an optional callback.

#include <windows.h>

#include <functional>

#include "ui/button_paint.h"
#include "ui/hot_tracker.h"
#include "ui/window_base.h"

namespace tarvo::ui {

class ImageButton final : public WindowBase {
public:
    static constexpr const wchar_t* kClassName = L"TarvoImageButton";

    bool Create(HWND parent, int id, const RECT& bounds, ButtonFace face, int dpi);

    void SetFace(ButtonFace face);
    void SetText(const std::wstring& text);
    void SetGlyph(Glyph glyph);
    void SetChecked(bool checked);
    void SetDpi(int dpi);
    // What lies behind the button, painted into its corners.
    void SetBackground(COLORREF color);
    void Move(const RECT& bounds);
    void Show(bool visible);
    [[nodiscard]] bool checked() const noexcept { return checked_; }
    [[nodiscard]] const ButtonFace& face() const noexcept { return face_; }
    // Width that fits the text and glyph with the style's padding.
    [[nodiscard]] int PreferredWidth() const;

    std::function<void()> onClick;

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(POINT at) override;
    void OnMouseLeave() override;
    void OnMouseDown(POINT at, bool doubleClick) override;
    void OnMouseUp(POINT at) override;
    void OnCaptureLost() override;
    void OnPaint(HDC dc) override { Paint(dc); }

private:
    void Paint(HDC dc);
    void Click();
    [[nodiscard]] int PartAt(POINT at) const;
    void Redraw();

    ButtonFace face_;
    HotTracker tracker_;
    int dpi_ = 96;
    COLORREF background_ = RGB(255, 255, 255);
    bool checked_ = false;
    bool keyboardCue_ = false;
    bool spaceDown_ = false;
};

}  // namespace tarvo::ui
