#include "inventory/catalogue_view.h"

#include <windows.h>

#include <cmath>

#include "common/short_date.h"
#include "common/text.h"

namespace tarvo::inventory {

using common::ParseShortDate;
using common::Trim;

namespace {
int Sign(double value) noexcept { return value < 0 ? -1 : value > 0 ? 1 : 0; }
}  // namespace

bool InCategory(const TSoftInfo& entry, TCategory category, TDateTime now) noexcept {
    if (entry.Hidden) return false;
    if (category == TCategory::WindowsUpdates) return entry.IsUpdate;
    if (entry.IsUpdate) return false;
    switch (category) {
    case TCategory::RecentlyInstalled:
        return entry.InstallDate != 0 && std::trunc(std::fabs(now - entry.InstallDate)) <= kRecentInstallDays;
    case TCategory::LargePrograms:
        return entry.Size > kLargeProgramBytes;
    case TCategory::InfrequentlyUsed:
        return entry.UseRate == aurRarely;
    default:
        return true;
    }
}

std::wstring RowCaption(const TSoftInfo& entry) {
    return entry.View64 ? entry.DisplayName + L"(x64)" : entry.DisplayName;
}

int CompareNames(const std::wstring& a, const std::wstring& b) noexcept {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                            static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

int SizeUnitWeight(const std::wstring& sizeText) noexcept {
    if (sizeText.find(L'K') != std::wstring::npos) return 10;
    if (sizeText.find(L'M') != std::wstring::npos) return 100;
    if (sizeText.find(L'G') != std::wstring::npos) return 1000;
    return 1;
}

int CompareSizeTexts(const std::wstring& a, const std::wstring& b) noexcept {
    const int weight = SizeUnitWeight(a) - SizeUnitWeight(b);
    if (weight != 0) return weight < 0 ? -1 : 1;
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return CompareNames(a, b);
}

TDateTime DateSortValue(const std::wstring& dateText) {
    return ParseShortDate(dateText).value_or(0);
}

int CompareDateTexts(const std::wstring& a, const std::wstring& b) {
    const bool emptyA = Trim(a).empty();
    const bool emptyB = Trim(b).empty();
    if (emptyA || emptyB) return emptyA == emptyB ? 0 : emptyA ? -1 : 1;
    return Sign(DateSortValue(a) - DateSortValue(b));
}

}  // namespace tarvo::inventory
