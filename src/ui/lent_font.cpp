#include "ui/lent_font.h"

#include <commctrl.h>

namespace tarvo::ui {

namespace {

constexpr UINT_PTR kSubclassId = 0x4C46;  // "LF"

LRESULT CALLBACK GiveBackOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_DESTROY) {
        // Leave the control holding nothing it could delete.
        ::DefSubclassProc(window, WM_SETFONT, 0, FALSE);
        ::RemoveWindowSubclass(window, &GiveBackOnDestroy, kSubclassId);
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void LendFont(HWND control, HFONT font) noexcept {
    if (!control) return;
    ::SetWindowSubclass(control, &GiveBackOnDestroy, kSubclassId, 0);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace tarvo::ui
