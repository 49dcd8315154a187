#pragma once
// The floating round button's decisions, without a window: its size and parts at a DPI,
// where it sits under the main window, how the mouse changes its look, and when a press
// becomes a click. The window in floating_button.h forwards its mouse messages here.

#include <windows.h>

namespace tarvo::shell {

// The page the main window shows, and so what the button does: uninstall the selected
// programs, or remove the selected add-ons.
enum class ButtonPage { Programs = 0, Addons = 1 };
enum class ButtonLook { Normal = 0, Hover = 1, Pressed = 2 };

// Design geometry at 96 DPI: the window, the colour ring and the black button (both round,
// given by their bounding squares), and the caption's rectangle. The button hangs this many
// pixels below the main window's bottom edge.
struct UninstallButtonDesign {
    static constexpr SIZE kWindow{155, 104};
    static constexpr RECT kRing{30, 5, 124, 99};
    static constexpr RECT kButton{36, 11, 118, 93};
    static constexpr RECT kCaption{36, 43, 118, 60};
    static constexpr int kOverhang = 20;
};

// Centred on the main window's bottom edge (halves rounded toward zero), `overhang` below it.
[[nodiscard]] POINT PlaceButton(const RECT& mainWindow, SIZE button, int overhang) noexcept;

class TUninstallButtonModel {
public:
    explicit TUninstallButtonModel(int dpi = 96) noexcept : dpi_(dpi) {}

    [[nodiscard]] int dpi() const noexcept { return dpi_; }
    [[nodiscard]] SIZE Size() const noexcept;
    [[nodiscard]] RECT Ring() const noexcept;
    [[nodiscard]] RECT Button() const noexcept;
    [[nodiscard]] RECT Caption() const noexcept;
    [[nodiscard]] int Overhang() const noexcept;
    // Window coordinates; the black button is round, its corners are not part of it.
    [[nodiscard]] bool OnButton(POINT p) const noexcept;
    [[nodiscard]] bool OnCaption(POINT p) const noexcept;

    [[nodiscard]] ButtonPage Page() const noexcept { return page_; }
    // True when the caption changes.
    bool SetPage(ButtonPage page) noexcept;
    [[nodiscard]] ButtonLook Look() const noexcept { return look_; }
    // The caption is lit while the mouse is over the button or the caption.
    [[nodiscard]] bool CaptionLit() const noexcept { return look_ != ButtonLook::Normal; }

    // Each returns true when the look changed and the button must be drawn again.
    bool MouseMove(POINT p) noexcept;
    // The mouse left the window; `cursor` is where it is now, in window coordinates.
    bool MouseLeave(POINT cursor) noexcept;
    bool MouseDown(POINT p) noexcept;
    // True in `clicked` when a press on the black button is released on it.
    bool MouseUp(POINT p, bool& clicked) noexcept;

private:
    [[nodiscard]] bool Over(POINT p) const noexcept { return OnButton(p) || OnCaption(p); }
    bool SetLook(ButtonLook look) noexcept;

    int dpi_;
    ButtonPage page_ = ButtonPage::Programs;
    ButtonLook look_ = ButtonLook::Normal;
};

}  // namespace tarvo::shell
