#include "ui/hot_tracker.h"

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

}  // namespace tarvo::ui
