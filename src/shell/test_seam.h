#pragma once
// For end-to-end tests only: the event log of setup/test_log.h, and message boxes recorded
// there instead of shown while the log is on (nothing may wait for a click under test).
// Without TARVO_TEST_LOG nothing here has any effect.

#include <windows.h>

#include <string>

#include "setup/test_log.h"

namespace tarvo::shell::test_seam {

using setup::test_log::DeniesAdministrator;
using setup::test_log::Log;
using setup::test_log::LogEnabled;

// MessageBoxW, or a "message-box: caption | text" line while the log is on. Every message
// box of the program goes through here.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

}  // namespace tarvo::shell::test_seam
