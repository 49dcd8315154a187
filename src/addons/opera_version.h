#pragma once
// Which Opera is installed: the old Presto browser (major version up to 12) keeps its
// add-ons elsewhere than the Chromium-based one.

#include <windows.h>

#include <cstdint>
#include <string>

namespace tarvo::addons {

// The digits before the first "." as a number; -1 when they are none or not a number; 0
// when the text has no ".".
[[nodiscard]] std::int32_t LeadingNumber(const std::wstring& text);

// The major version from the first uninstall entry whose key name contains "Opera", looked
// for under HKEY_LOCAL_MACHINE, then HKEY_CURRENT_USER; -1 when none has a version.
[[nodiscard]] std::int32_t OperaMajorVersion();

// The same below another uninstall key path (without a leading backslash), for tests.
[[nodiscard]] std::int32_t OperaMajorVersionUnder(const std::wstring& uninstallPath);

}  // namespace tarvo::addons
