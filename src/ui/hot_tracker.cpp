#include "ui/hot_tracker.h"

#include <windowsx.h>

namespace tarvo::ui {

bool HotTracker::Move(int part) noexcept {
    if (hot_ == part) return false;
    hot_ = part;
    return true;
}

bool HotTracker::Press(int part) noexcept {
    const bool changed = pressed_ != part || hot_ != part;
    pressed_ = part;
    hot_ = part;
    return changed;
}

int HotTracker::Release(int part) noexcept {
    const int pressed = pressed_;
    pressed_ = kNone;
    hot_ = part;
    return pressed != kNone && pressed == part ? part : kNone;
}

bool HotTracker::Cancel() noexcept {
    if (pressed_ == kNone) return false;
    pressed_ = kNone;
    return true;
}

std::optional<MouseEvent> DecodeMouse(HWND window, UINT message, WPARAM /*wParam*/, LPARAM lParam) noexcept {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_MOUSEMOVE: return MouseEvent{MouseKind::Move, at};
    case WM_MOUSELEAVE: return MouseEvent{MouseKind::Leave, {}};
    case WM_LBUTTONDOWN: return MouseEvent{MouseKind::Press, at};
    case WM_LBUTTONDBLCLK: return MouseEvent{MouseKind::DoublePress, at};
    case WM_LBUTTONUP: return MouseEvent{MouseKind::Release, at};
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) == window) return std::nullopt;
        return MouseEvent{MouseKind::CaptureLost, {}};
    default: return std::nullopt;
    }
}

void LeaveNotice::Arm(HWND window) noexcept {
    if (armed_ || !window) return;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
    armed_ = ::TrackMouseEvent(&track) != FALSE;
}

}  // namespace tarvo::ui
