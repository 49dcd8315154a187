#include "ui/work_area.h"

#include <algorithm>

namespace tarvo::ui {

RECT WorkAreaNearest(const RECT& bounds) noexcept {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(::MonitorFromRect(&bounds, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

RECT FitIntoWorkArea(const RECT& bounds, const RECT& work) noexcept {
    const LONG width = std::min(bounds.right - bounds.left, work.right - work.left);
    const LONG height = std::min(bounds.bottom - bounds.top, work.bottom - work.top);
    const LONG left = std::max(work.left, std::min(bounds.left, work.right - width));
    const LONG top = std::max(work.top, std::min(bounds.top, work.bottom - height));
    return RECT{left, top, left + width, top + height};
}

}  // namespace tarvo::ui
