#pragma once
// What our modal windows share: where they first appear, and the loop that keeps them modal
// while their owner stays disabled.

#include <windows.h>

#include <functional>

namespace tarvo::ui {

// Where a window of `size` goes over `owner`: half the difference of the widths and heights
// added to the owner's corner, halves rounded toward zero.
[[nodiscard]] RECT CentredOver(const RECT& owner, SIZE size) noexcept;

// A width x height rectangle centred on a visible owner, or on the work area without one,
// and fitted into the work area of its monitor.
[[nodiscard]] RECT CentredOn(HWND owner, int width, int height) noexcept;

struct ModalLoopOptions {
    // The window while it is open; null once it has been destroyed.
    std::function<HWND()> window;
    // False ends the loop although the window still exists (the caller then destroys it).
    std::function<bool()> keepRunning = [] { return true; };
    // Escape pressed anywhere inside the window.
    std::function<void()> onEscape;
    // Tab, arrows and the default button move between the window's controls.
    bool dialogKeys = true;
};

// Pumps messages until the window is gone or keepRunning says no. A WM_QUIT that arrives
// meanwhile is posted again so the outer loop ends too.
void RunModalLoop(const ModalLoopOptions& options);

}  // namespace tarvo::ui
