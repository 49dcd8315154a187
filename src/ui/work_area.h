#pragma once
// Keeping windows where the user can reach them: a window larger than its monitor, or placed
// for a monitor that is gone, would open with its buttons beyond the screen's edge.

#include <windows.h>

namespace tarvo::ui {

// The work area of the monitor nearest to a rectangle.
[[nodiscard]] RECT WorkAreaNearest(const RECT& bounds) noexcept;

// The bounds shrunk to the work area where they are larger, then moved in where they stick
// out. Sizes are only ever taken down to the work area, so a window keeps its minimum size
// wherever the screen has room for it.
[[nodiscard]] RECT FitIntoWorkArea(const RECT& bounds, const RECT& work) noexcept;

}  // namespace tarvo::ui
