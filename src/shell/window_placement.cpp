#include "shell/window_placement.h"

#include <algorithm>

#include "settings/main_ini.h"

namespace tarvo::shell {

RECT MaximizedBounds(const RECT& work) noexcept {
    return RECT{work.left, work.top, work.right, work.bottom - kMaximizedBottomGap};
}

WindowPlacementPlan PlanWindowPlacement(const SavedPlacement& saved, const RECT& work, int minWidth,
                                        int minHeight) noexcept {
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    auto fit = [&](int left, int top, int width, int height) {
        width = std::max(width, minWidth);
        height = std::max(height, minHeight);
        left = std::max(left, static_cast<int>(work.left));
        top = std::max(top, static_cast<int>(work.top));
        width = std::min(width, workWidth);
        height = std::min(height, workHeight - kMaximizedBottomGap);
        // A window saved on a larger screen (or at a smaller DPI) must not open with its
        // buttons beyond the screen's edge, where nothing can reach them.
        left = std::min(left, static_cast<int>(work.right) - width);
        top = std::min(top, static_cast<int>(work.bottom) - kMaximizedBottomGap - height);
        left = std::max(left, static_cast<int>(work.left));
        top = std::max(top, static_cast<int>(work.top));
        return RECT{left, top, left + width, top + height};
    };
    WindowPlacementPlan plan;
    plan.normal = fit(saved.left, saved.top, saved.width, saved.height);
    plan.maximized = saved.windowState != 0;
    plan.bounds = plan.maximized ? MaximizedBounds(work) : plan.normal;
    return plan;
}

SavedPlacement ReadSavedPlacement(const settings::TMainIni& ini, const RECT& work, int minWidth, int minHeight) {
    SavedPlacement saved;
    saved.windowState = ini.WindowState();
    saved.width = ini.Width();
    saved.height = ini.Height();
    // The defaults centre the window as it will be sized, not as the raw stored value.
    const int width = std::max(saved.width, minWidth);
    const int height = std::max(saved.height, minHeight);
    saved.left = ini.ReadInteger(L"Main", L"Left", work.left + settings::CentredOffset(work.right - work.left, width));
    saved.top = ini.ReadInteger(L"Main", L"Top", work.top + settings::CentredOffset(work.bottom - work.top, height));
    return saved;
}

void SavePlacement(const settings::TMainIni& ini, bool maximized, const RECT& bounds) {
    if (maximized) {
        (void)ini.SetWindowState(1);
        return;
    }
    (void)ini.SetWidth(bounds.right - bounds.left);
    (void)ini.SetHeight(bounds.bottom - bounds.top);
    (void)ini.SetLeft(bounds.left);
    (void)ini.SetTop(bounds.top);
    (void)ini.SetWindowState(0);
}

}  // namespace tarvo::shell
