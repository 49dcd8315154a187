#pragma once
// For end-to-end tests only. With TARVO_TEST_LOG naming a file, the program and its
// siblings append one line per event to it; TARVO_TEST_NOT_ADMIN=1 makes the administrator
// check refuse. Without these variables nothing here has any effect.

#include <string>

namespace tarvo::setup::test_log {

[[nodiscard]] bool LogEnabled();
void Log(const std::wstring& line);
[[nodiscard]] bool DeniesAdministrator();

}  // namespace tarvo::setup::test_log
