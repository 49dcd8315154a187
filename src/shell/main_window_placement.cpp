// Where the main window opens, maximising and restoring it, and what it remembers at close.

#include <algorithm>

#include "settings/main_ini.h"
#include "shell/main_window.h"
#include "shell/window_placement.h"
#include "ui/title_bar.h"
#include "ui/work_area.h"

namespace tarvo::shell {

void TfrmTarvoUninstall::RestoreWindowPlacement() {
    const settings::TMainIni ini;
    // Sizes are stored in pixels; the smallest size is the design size at this DPI, so a
    // window saved at 100 % still fits its contents at 150 %.
    const int minWidth = S(kDesignWidth);
    const int minHeight = S(kDesignHeight);
    const SavedPlacement saved = ReadSavedPlacement(ini, WorkAreaNear(hwnd()), minWidth, minHeight);
    // The monitor the window was saved on, while it is there; once it is gone, the nearest
    // one, whose work area the window is then fitted into.
    const RECT work = ui::WorkAreaNearest(
        RECT{saved.left, saved.top, saved.left + std::max(saved.width, 1), saved.top + std::max(saved.height, 1)});
    const WindowPlacementPlan plan = PlanWindowPlacement(saved, work, minWidth, minHeight);
    maximized_ = plan.maximized;
    normalBounds_ = plan.normal;
    startPosition_ = {plan.bounds.left, plan.bounds.top};
    ::SetWindowPos(hwnd(), nullptr, plan.bounds.left, plan.bounds.top, plan.bounds.right - plan.bounds.left,
                   plan.bounds.bottom - plan.bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TfrmTarvoUninstall::OnPositionChanging(WINDOWPOS& position) const {
    // Until the first activation nothing may move the window away from its saved place.
    if (!starting_ || (position.flags & SWP_NOMOVE)) return false;
    position.x = startPosition_.x;
    position.y = startPosition_.y;
    return false;
}

void TfrmTarvoUninstall::ToggleMaximized() {
    // The button hides while the window changes size, and comes back on its new bottom edge.
    togglingMaximized_ = true;
    floating_.Show(false);
    if (!maximized_) {
        ::GetWindowRect(hwnd(), &normalBounds_);
        maximized_ = true;
        const RECT bounds = MaximizedBounds(WorkAreaNear(hwnd()));
        ::SetWindowPos(hwnd(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                       SWP_NOZORDER);
    } else {
        maximized_ = false;
        ::SetWindowPos(hwnd(), nullptr, normalBounds_.left, normalBounds_.top, normalBounds_.right - normalBounds_.left,
                       normalBounds_.bottom - normalBounds_.top, SWP_NOZORDER);
    }
    title_.SetMaximized(maximized_);
    ApplyWindowRegion();
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    togglingMaximized_ = false;
    if (state_.catalogueReady) {
        floating_.PlaceButton(hwnd());
        floating_.Show(true);
    }
}

void TfrmTarvoUninstall::SavePlacementAtClose() {
    RECT bounds{};
    ::GetWindowRect(hwnd(), &bounds);
    SavePlacement(settings::TMainIni(), maximized_, bounds);
}

}  // namespace tarvo::shell
