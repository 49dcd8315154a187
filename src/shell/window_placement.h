#pragma once
// Where the main window opens and what it remembers when it closes: plain arithmetic on the
// Main.ini values and the monitor's work area, so it can be checked without a window.

#include <windows.h>

namespace tarvo::settings {
class TMainIni;
}

namespace tarvo::shell {

// A maximised window stays this far above the work area's bottom, clear of the taskbar's
// auto-hide strip and with room for the floating button below the frame.
inline constexpr int kMaximizedBottomGap = 20;

struct SavedPlacement {
    int windowState = 0;  // 1: maximised when closed
    int width = 870;
    int height = 570;
    int left = 0;
    int top = 0;
};

struct WindowPlacementPlan {
    RECT bounds{};      // where the window goes now
    RECT normal{};      // where "Restore" returns to
    bool maximized = false;
};

// The bounds of a window filling the work area (minus the bottom gap).
[[nodiscard]] RECT MaximizedBounds(const RECT& work) noexcept;

// `minWidth`/`minHeight` are the design size in pixels at the screen's DPI.
[[nodiscard]] WindowPlacementPlan PlanWindowPlacement(const SavedPlacement& saved, const RECT& work, int minWidth,
                                                      int minHeight) noexcept;

// The Main.ini values, with Left and Top centred in the work area by default.
[[nodiscard]] SavedPlacement ReadSavedPlacement(const settings::TMainIni& ini, const RECT& work, int minWidth,
                                                int minHeight);
// Maximised: only WindowState = 1 (the normal bounds stay as last saved). Otherwise the
// bounds and WindowState = 0.
void SavePlacement(const settings::TMainIni& ini, bool maximized, const RECT& bounds);

}  // namespace tarvo::shell
