#pragma once
// What the programs list shows: which entries a category holds, how a search narrows them,
// the caption of a row, and the three ways rows are ordered.

#include <cstdint>
#include <string>

#include "inventory/soft_info.h"

namespace tarvo::inventory {

// In the order of the category bar.
enum class TCategory : int {
    AllPrograms = 0,
    RecentlyInstalled,
    LargePrograms,
    InfrequentlyUsed,
    WindowsUpdates,
};
inline constexpr int kCategoryCount = 5;

// A program is large above this size (50 MiB), and recent when installed at most this many
// whole days ago.
inline constexpr std::int64_t kLargeProgramBytes = 52428800;
inline constexpr int kRecentInstallDays = 10;

// Hidden entries are in no category.
[[nodiscard]] bool InCategory(const TSoftInfo& entry, TCategory category, TDateTime now) noexcept;

// The name, with "(x64)" directly after it for a program of the 64-bit registry view.
[[nodiscard]] std::wstring RowCaption(const TSoftInfo& entry);

// Sort columns of the programs list.
inline constexpr int kNameColumn = 0;
inline constexpr int kOperateColumn = 1;
inline constexpr int kSizeColumn = 2;
inline constexpr int kDateColumn = 3;

// Names, ignoring case.
[[nodiscard]] int CompareNames(const std::wstring& a, const std::wstring& b) noexcept;
// Size texts: by unit first (Byte < KB < MB < GB), then by length (more digits is more),
// then as text.
[[nodiscard]] int SizeUnitWeight(const std::wstring& sizeText) noexcept;
[[nodiscard]] int CompareSizeTexts(const std::wstring& a, const std::wstring& b) noexcept;
// Install-date texts in the short date format; a row without date comes first, a text that
// is not a date counts as day 0.
[[nodiscard]] TDateTime DateSortValue(const std::wstring& dateText);
[[nodiscard]] int CompareDateTexts(const std::wstring& a, const std::wstring& b);

}  // namespace tarvo::inventory
