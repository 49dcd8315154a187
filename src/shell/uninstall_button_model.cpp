#include "shell/uninstall_button_model.h"

#include "ui/window_base.h"

namespace tarvo::shell {

namespace {
RECT Scaled(const RECT& r, int dpi) noexcept {
    return RECT{ui::ScaleForDpi(r.left, dpi), ui::ScaleForDpi(r.top, dpi), ui::ScaleForDpi(r.right, dpi),
                ui::ScaleForDpi(r.bottom, dpi)};
}
}  // namespace

POINT PlaceButton(const RECT& mainWindow, SIZE button, int overhang) noexcept {
    const int width = mainWindow.right - mainWindow.left;
    const int height = mainWindow.bottom - mainWindow.top;
    // Integer division truncates toward zero, as the placement has always rounded.
    return POINT{mainWindow.left + (width - button.cx) / 2, mainWindow.top + height - button.cy + overhang};
}

SIZE TUninstallButtonModel::Size() const noexcept {
    return SIZE{ui::ScaleForDpi(UninstallButtonDesign::kWindow.cx, dpi_),
                ui::ScaleForDpi(UninstallButtonDesign::kWindow.cy, dpi_)};
}
RECT TUninstallButtonModel::Ring() const noexcept { return Scaled(UninstallButtonDesign::kRing, dpi_); }
RECT TUninstallButtonModel::Button() const noexcept { return Scaled(UninstallButtonDesign::kButton, dpi_); }
RECT TUninstallButtonModel::Caption() const noexcept { return Scaled(UninstallButtonDesign::kCaption, dpi_); }
int TUninstallButtonModel::Overhang() const noexcept { return ui::ScaleForDpi(UninstallButtonDesign::kOverhang, dpi_); }

bool TUninstallButtonModel::OnButton(POINT p) const noexcept {
    const RECT b = Button();
    // Twice the distance from the centre against the diameter keeps everything in integers.
    const long dx = 2 * p.x + 1 - (b.left + b.right);
    const long dy = 2 * p.y + 1 - (b.top + b.bottom);
    const long d = b.right - b.left;
    return dx * dx + dy * dy <= d * d;
}

bool TUninstallButtonModel::OnCaption(POINT p) const noexcept {
    const RECT c = Caption();
    return ::PtInRect(&c, p) != FALSE;
}

bool TUninstallButtonModel::SetPage(ButtonPage page) noexcept {
    if (page == page_) return false;
    page_ = page;
    return true;
}

bool TUninstallButtonModel::SetLook(ButtonLook look) noexcept {
    if (look == look_) return false;
    look_ = look;
    return true;
}

bool TUninstallButtonModel::MouseMove(POINT p) noexcept {
    if (look_ == ButtonLook::Pressed) return false;  // a press keeps its look until released
    return SetLook(Over(p) ? ButtonLook::Hover : ButtonLook::Normal);
}

bool TUninstallButtonModel::MouseLeave(POINT cursor) noexcept {
    // Leaving the round button onto the caption's corners is not leaving.
    if (OnCaption(cursor)) return false;
    return SetLook(ButtonLook::Normal);
}

bool TUninstallButtonModel::MouseDown(POINT p) noexcept {
    return OnButton(p) && SetLook(ButtonLook::Pressed);
}

bool TUninstallButtonModel::MouseUp(POINT p, bool& clicked) noexcept {
    clicked = look_ == ButtonLook::Pressed && OnButton(p);
    return SetLook(Over(p) ? ButtonLook::Hover : ButtonLook::Normal);
}

}  // namespace tarvo::shell
