#include "shell/floating_button.h"

#include "language/language.h"
#include "ui/round_button_image.h"

namespace tarvo::shell {

namespace {
constexpr wchar_t kFormSection[] = L"Uninstaller_frmUninstallButton";
constexpr COLORREF kCaptionColor = RGB(0xDD, 0xDD, 0xDD);
constexpr COLORREF kCaptionLitColor = RGB(0xFF, 0xFF, 0xFF);

}  // namespace

bool TfrmUninstallButton::Create(HWND mainWindow, int dpi) {
    model_ = TUninstallButtonModel(dpi);
    Retranslate();
    const SIZE size = model_.Size();
    // Owned, so it stays above the main window and goes with it when that is minimised; it
    // never takes the activation from it, and has no taskbar button of its own.
    return CreateTopLevel(kClassName, uninstallCaption_, WS_POPUP,
                          WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, RECT{0, 0, size.cx, size.cy},
                          mainWindow);
}

void TfrmUninstallButton::PlaceButton(HWND mainWindow) {
    RECT main{};
    if (!hwnd() || !::GetWindowRect(mainWindow, &main)) return;
    position_ = shell::PlaceButton(main, model_.Size(), model_.Overhang());
    ::SetWindowPos(hwnd(), nullptr, position_.x, position_.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmUninstallButton::Show(bool visible) {
    if (!hwnd()) return;
    if (visible) RedrawButton();
    ::ShowWindow(hwnd(), visible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TfrmUninstallButton::SetPage(ButtonPage page) {
    if (!model_.SetPage(page)) return;
    if (hwnd()) ::SetWindowTextW(hwnd(), CaptionText().c_str());
    RedrawButton();
}

void TfrmUninstallButton::Retranslate() {
    const language::TLanguage& language = language::AppLanguage();
    uninstallCaption_ = language.ReadText(kFormSection, L"Label_Uninstall.Caption", L"Uninstall");
    removeCaption_ = language.ReadText(kFormSection, L"Label_Remove.Caption", L"Remove");
    if (hwnd()) {
        // The window text names the button for accessibility tools and tests.
        ::SetWindowTextW(hwnd(), CaptionText().c_str());
        RedrawButton();
    }
}

std::wstring TfrmUninstallButton::CaptionText() const {
    return model_.Page() == ButtonPage::Addons ? removeCaption_ : uninstallCaption_;
}

void TfrmUninstallButton::RedrawButton() {
    if (!hwnd()) return;
    const SIZE size = model_.Size();
    const ui::RoundButtonParts parts{size, model_.Ring(), model_.Button(), model_.dpi()};
    ui::PremultipliedImage image = ui::PaintRoundButton(parts, static_cast<int>(model_.Look()));
    ui::DrawButtonCaption(image, size, CaptionText(), model_.Caption(), model_.dpi(),
                          model_.CaptionLit() ? kCaptionLitColor : kCaptionColor);
    RECT bounds{};
    ::GetWindowRect(hwnd(), &bounds);
    (void)ui::ShowLayeredImage(hwnd(), POINT{bounds.left, bounds.top}, size, image);
}

void TfrmUninstallButton::OnMouseMove(POINT at) {
    if (model_.MouseMove(at)) RedrawButton();
}

void TfrmUninstallButton::OnMouseLeave() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(hwnd(), &cursor);
    if (model_.MouseLeave(cursor)) RedrawButton();
}

void TfrmUninstallButton::OnMouseDown(POINT at, bool doubleClick) {
    if (doubleClick) return;  // the second press of a double click is not a new press
    if (model_.MouseDown(at)) {
        CaptureMouse();
        RedrawButton();
    }
}

void TfrmUninstallButton::OnMouseUp(POINT at) {
    bool clicked = false;
    const bool changed = model_.MouseUp(at, clicked);
    ReleaseMouse();
    if (changed) RedrawButton();
    if (clicked && onClick) onClick(model_.Page());
}

void TfrmUninstallButton::OnCaptureLost() {
    // Another window took the mouse mid-press: the press is void.
    bool clicked = false;
    if (model_.MouseUp(POINT{-1, -1}, clicked)) RedrawButton();
}

std::optional<LRESULT> TfrmUninstallButton::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    switch (message) {
    case WM_WINDOWPOSCHANGING: {
        // Nothing but PlaceButton decides where the button is: drags and other programs'
        // moves are turned back to the stored place.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (pos && !(pos->flags & SWP_NOMOVE)) {
            pos->x = position_.x;
            pos->y = position_.y;
        }
        return std::nullopt;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return std::nullopt;
    }
}

}  // namespace tarvo::shell
