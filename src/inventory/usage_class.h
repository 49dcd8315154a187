#pragma once
// How recently and how often a program is used: the classification of a last-use date
// against today, the value names the cache stores, and the text the list shows.

#include <optional>
#include <string>

#include "inventory/soft_info.h"

namespace tarvo::inventory {

// Recency of `lastUse` seen from `today` (both local dates; only the calendar day counts).
// A last use after today, or one that cannot be read as a date, is audUnknown.
[[nodiscard]] TAppUseRange ClassifyRange(TDateTime today, TDateTime lastUse) noexcept;

// Frequency for a range: audUnknown keeps `previous`; a program not used for three months
// or more counts as rarely used only when it was not installed within the last two months.
[[nodiscard]] TAppUseRate ClassifyRate(TAppUseRange range, TAppUseRate previous, TDateTime today,
                                       TDateTime installDate) noexcept;

// "aud3Day", "aurOften": the names SoftwareCache.ini stores.
[[nodiscard]] const wchar_t* UseRangeName(TAppUseRange range) noexcept;
[[nodiscard]] const wchar_t* UseRateName(TAppUseRate rate) noexcept;
// Exact names only; anything else is nullopt.
[[nodiscard]] std::optional<TAppUseRange> UseRangeFromName(const std::wstring& name) noexcept;
[[nodiscard]] std::optional<TAppUseRate> UseRateFromName(const std::wstring& name) noexcept;

// "within 3 days", "rarely", "<unknown>"…, through the loaded language.
[[nodiscard]] std::wstring UseText(const TSoftInfo& entry);

}  // namespace tarvo::inventory
