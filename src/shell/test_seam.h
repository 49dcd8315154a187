#pragma once
// For end-to-end tests only. With TARVO_TEST_LOG naming a file, start-up appends one line
// per event to it and records message boxes there instead of showing them (nothing may wait
// for a click under test); TARVO_TEST_NOT_ADMIN=1 makes the administrator check refuse.
// Without these variables nothing here has any effect.

#include <windows.h>

#include <string>

namespace tarvo::shell::test_seam {

[[nodiscard]] bool LogEnabled();
void Log(const std::wstring& line);
[[nodiscard]] bool DeniesAdministrator();

// MessageBoxW, or a "message-box: caption | text" line while the log is on.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

}  // namespace tarvo::shell::test_seam
