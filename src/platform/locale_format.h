#pragma once
// Dates and times as the user's locale writes them.

#include <windows.h>

#include <string>

namespace tarvo::platform {

[[nodiscard]] SYSTEMTIME LocalTimeNow() noexcept;

// The user's short date, a blank, then the user's long time ("12.05.2013 14:03:09" in a
// German locale).
[[nodiscard]] std::wstring FormatUserDateTime(const SYSTEMTIME& time);

// The file time (UTC) in local time.
[[nodiscard]] SYSTEMTIME FileTimeToLocal(const FILETIME& utc) noexcept;

}  // namespace tarvo::platform
