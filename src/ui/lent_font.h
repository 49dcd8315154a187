#pragma once
// A font handed to a control that uses it without owning it.

#include <windows.h>

namespace tarvo::ui {

// Sets `font` on `control` and takes it back when the control is destroyed. Our fonts belong
// to the shared cache and outlive every dialog; Wine's SysLink deletes whatever font it holds
// when it goes, which took the list's body font with the Powerful Scan window and left the
// programs list drawing in the bold system font. Taking the font back first keeps each font
// with its one owner, whichever control or Windows version it is lent to.
void LendFont(HWND control, HFONT font) noexcept;

}  // namespace tarvo::ui
