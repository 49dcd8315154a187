#pragma once

#include <windows.h>

namespace tarvo::shell {

// Restores a minimised window and makes it the foreground window, working around the
// foreground lock that stops a background process from taking the focus.
void BringWindowForward(HWND window) noexcept;

}  // namespace tarvo::shell
