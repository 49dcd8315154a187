#pragma once
// Other programs' windows: finding them, their process, and messages to them. Window
// handles here are borrowed, never owned.

#include <windows.h>

#include <string>

namespace tarvo::platform {

[[nodiscard]] HWND FindWindowOf(const wchar_t* className, const wchar_t* caption = nullptr) noexcept;
// The first child (at any depth) of that class; null when there is none.
[[nodiscard]] HWND FindDescendantWindowOf(HWND parent, const wchar_t* className) noexcept;
[[nodiscard]] bool IsWindowAlive(HWND window) noexcept;
[[nodiscard]] DWORD WindowProcessId(HWND window) noexcept;

bool PostMessageOf(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) noexcept;
LRESULT SendMessageOf(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) noexcept;

void ShowWindowOf(HWND window, int command) noexcept;
void BringToForeground(HWND window) noexcept;
void AddWindowStyle(HWND window, LONG style) noexcept;
void SetFocusOf(HWND window) noexcept;

}  // namespace tarvo::platform
