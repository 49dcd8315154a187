#pragma once
// Mouse state of a set of clickable parts (a button, the labels of a bar, the row buttons of
// a list), kept apart from any window so that it can be driven by tests: which part is under
// the mouse, which one was pressed, and whether a release completes a click. The pointer
// messages are decoded here and nowhere else, for our windows (through WindowBase's mouse
// hooks) and for the system controls we subclass alike.

#include <windows.h>

#include <optional>

namespace tarvo::ui {

enum class MouseKind { Move, Leave, Press, DoublePress, Release, CaptureLost };

struct MouseEvent {
    MouseKind kind = MouseKind::Move;
    POINT at{};  // client coordinates; {0, 0} for Leave and CaptureLost
};

// The pointer and left-button messages of `window`; nothing for any other message. Losing
// the capture to `window` itself is not a loss.
[[nodiscard]] std::optional<MouseEvent> DecodeMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// The system sends WM_MOUSELEAVE only when asked, once per request: Arm on every move asks
// again after each leave, and Disarm when the leave has come.
class LeaveNotice {
public:
    void Arm(HWND window) noexcept;
    void Disarm() noexcept { armed_ = false; }

private:
    bool armed_ = false;
};

class HotTracker {
public:
    static constexpr int kNone = -1;

    // The mouse is over `part` (kNone: over nothing). True when the hot part changed, so the
    // caller repaints.
    bool Move(int part) noexcept;
    // The mouse left the window.
    bool Leave() noexcept { return Move(kNone); }
    // Button down over `part`; the caller captures the mouse while a part is pressed.
    bool Press(int part) noexcept;
    // Button up over `part`: the clicked part, or kNone when the release is elsewhere than
    // the press (dragging off a button cancels it, as Windows buttons do).
    int Release(int part) noexcept;
    // Capture lost or the window disabled: forget the press without a click.
    bool Cancel() noexcept;

    [[nodiscard]] int hot() const noexcept { return hot_; }
    [[nodiscard]] int pressed() const noexcept { return pressed_; }
    // A part looks pressed only while the mouse is still over it.
    [[nodiscard]] bool LooksPressed(int part) const noexcept {
        return part != kNone && pressed_ == part && hot_ == part;
    }
    [[nodiscard]] bool LooksHot(int part) const noexcept {
        return part != kNone && hot_ == part && (pressed_ == kNone || pressed_ == part);
    }

private:
    int hot_ = kNone;
    int pressed_ = kNone;
};

// The look a painter is asked for.
struct VisualState {
    bool hot = false;
    bool pressed = false;
    bool disabled = false;
    bool focused = false;  // draw the keyboard focus cue
    bool checked = false;
};

[[nodiscard]] inline VisualState VisualOf(const HotTracker& tracker, int part, bool disabled,
                                          bool focused = false) noexcept {
    VisualState state;
    state.disabled = disabled;
    state.hot = !disabled && tracker.LooksHot(part);
    state.pressed = !disabled && tracker.LooksPressed(part);
    state.focused = focused;
    return state;
}

}  // namespace tarvo::ui
