#pragma once
// Reading back a date that was written in the user's short date format.

#include <optional>
#include <string>

#include "common/date_time.h"

namespace tarvo::common {

// Three numbers in the order the format names year, month and day (LOCALE_SSHORTDATE, or
// `format` when given), separated by anything that is not a digit; nullopt for any other
// text or a day that does not exist. Two-digit years fall in the 50 years around now.
[[nodiscard]] std::optional<TDateTime> ParseShortDate(const std::wstring& text, const std::wstring& format = {});

}  // namespace tarvo::common
