#include "inventory/folder_listing.h"

#include "common/paths.h"
#include "common/text.h"

namespace tarvo::inventory {

using common::EqualsIgnoreCase;
using common::WithTrailingBackslash;

namespace {

// File names compare as the file system compares them, without regard to case. Most names
// are plain ASCII and are compared here without a copy; the rest go through the full case map.
bool SameFileText(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= 0x80 || y >= 0x80) return EqualsIgnoreCase(a, b);
        if (x >= L'a' && x <= L'z') x = static_cast<wchar_t>(x - 0x20);
        if (y >= L'a' && y <= L'z') y = static_cast<wchar_t>(y - 0x20);
        if (x != y) return false;
    }
    return true;
}

}  // namespace

bool TFolderListing::Lists(std::wstring_view path) const {
    return complete && !folder.empty() && SameFileText(WithTrailingBackslash(path), folder);
}

bool MatchesPrefixStarSuffix(std::wstring_view name, std::wstring_view prefix, std::wstring_view suffix) {
    // The star may match nothing, but prefix and suffix may not share characters.
    if (name.size() < prefix.size() + suffix.size()) return false;
    return SameFileText(name.substr(0, prefix.size()), prefix) &&
           SameFileText(name.substr(name.size() - suffix.size()), suffix);
}

std::optional<std::wstring> FirstMatch(const TFolderListing& listing, std::wstring_view prefix,
                                       std::wstring_view suffix) {
    for (const auto& name : listing.names)
        if (MatchesPrefixStarSuffix(name, prefix, suffix)) return name;
    return std::nullopt;
}

bool HasWildcards(std::wstring_view text) noexcept {
    return text.find_first_of(L"*?<>\"") != std::wstring_view::npos;
}

}  // namespace tarvo::inventory
