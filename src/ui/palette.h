#pragma once
// Every colour the windows paint with, in one place, so a window never invents its own shade.

#include <windows.h>

namespace tarvo::ui::palette {

// Surfaces.
inline constexpr COLORREF kWindow = RGB(255, 255, 255);
inline constexpr COLORREF kTitleBar = RGB(33, 96, 170);
inline constexpr COLORREF kTitleText = RGB(255, 255, 255);
inline constexpr COLORREF kTitleButtonHot = RGB(57, 118, 190);
inline constexpr COLORREF kTitleButtonPressed = RGB(24, 74, 135);
inline constexpr COLORREF kCloseHot = RGB(232, 17, 35);
inline constexpr COLORREF kClosePressed = RGB(176, 22, 34);
inline constexpr COLORREF kToolbar = RGB(243, 246, 250);
inline constexpr COLORREF kBorder = RGB(204, 211, 220);
inline constexpr COLORREF kWindowFrame = RGB(24, 74, 135);

// Text.
inline constexpr COLORREF kText = RGB(32, 32, 32);
inline constexpr COLORREF kTextSecondary = RGB(118, 118, 118);
inline constexpr COLORREF kTextDisabled = RGB(160, 160, 160);
inline constexpr COLORREF kLink = RGB(0, 102, 204);

// Accent: the current category, primary buttons, focus and selection.
inline constexpr COLORREF kAccent = RGB(0, 120, 215);
inline constexpr COLORREF kAccentHot = RGB(16, 137, 232);
inline constexpr COLORREF kAccentPressed = RGB(0, 90, 158);
inline constexpr COLORREF kAccentText = RGB(255, 255, 255);

// Neutral buttons.
inline constexpr COLORREF kButton = RGB(251, 251, 251);
inline constexpr COLORREF kButtonHot = RGB(229, 241, 251);
inline constexpr COLORREF kButtonPressed = RGB(204, 228, 247);
inline constexpr COLORREF kButtonBorder = RGB(173, 173, 173);
inline constexpr COLORREF kButtonBorderHot = RGB(0, 120, 215);

// Lists.
inline constexpr COLORREF kRowHot = RGB(240, 246, 253);
inline constexpr COLORREF kRowSelected = RGB(204, 232, 255);
inline constexpr COLORREF kRowSelectedInactive = RGB(230, 236, 242);
inline constexpr COLORREF kRowSeparator = RGB(238, 240, 243);
inline constexpr COLORREF kHeader = RGB(248, 249, 251);
inline constexpr COLORREF kHeaderHot = RGB(232, 240, 250);
inline constexpr COLORREF kHeaderText = RGB(76, 84, 96);
inline constexpr COLORREF kHeaderDivider = RGB(222, 226, 232);
inline constexpr COLORREF kCheckBorder = RGB(120, 120, 120);

// Warnings: a band above content that needs care.
inline constexpr COLORREF kWarningBand = RGB(255, 244, 206);
inline constexpr COLORREF kWarningText = RGB(176, 64, 0);

// Edit fields.
inline constexpr COLORREF kEditBorder = RGB(190, 198, 208);
inline constexpr COLORREF kEditBorderFocused = RGB(0, 120, 215);

}  // namespace tarvo::ui::palette
