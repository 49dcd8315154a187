#pragma once
// TDateTime conversions, and the size and date texts the whole interface shows.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace tarvo::common {

// A local date and time as whole days since 30 December 1899 plus the fraction of the day
// (the OLE Automation date). 0 means "no date" wherever a field says so.
using TDateTime = double;

// A calendar date as TDateTime; nullopt for a day that does not exist (0001-01-01 to 9999-12-31).
[[nodiscard]] std::optional<TDateTime> DateFromParts(int year, int month, int day) noexcept;
[[nodiscard]] TDateTime SystemTimeToDate(const SYSTEMTIME& time) noexcept;
[[nodiscard]] std::optional<SYSTEMTIME> DateToSystemTime(TDateTime value) noexcept;
[[nodiscard]] TDateTime NowLocal() noexcept;

// UTC file time -> local TDateTime; 0 when a conversion fails.
[[nodiscard]] TDateTime FileTimeToDate(const FILETIME& time) noexcept;

// The date part in the user's short date format; empty for an invalid value.
[[nodiscard]] std::wstring ShortDateText(TDateTime value);
// "2013-05-12T14:03:09": the local date and time to the second.
[[nodiscard]] std::wstring IsoLocalDateTime(TDateTime value);

// "yyyy-mm-dd" with '-' as the only separator, blanks around it allowed; years of one or two
// digits fall in the window of 50 years around now, as typed dates do.
[[nodiscard]] std::optional<TDateTime> ParseYearMonthDay(const std::wstring& text) noexcept;

// "512 Byte", "1.00 KB", "3.25 MB", "1.50 GB" with the locale's decimal separator.
[[nodiscard]] std::wstring SizeText(std::int64_t bytes);

}  // namespace tarvo::common
