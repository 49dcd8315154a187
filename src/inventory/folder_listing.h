#pragma once
// The names directly inside a folder as a walk that lists it anyway saw them, so that a
// later question about the same folder is answered in memory. Under Wine a masked
// FindFirstFile lists the whole folder to match the mask: asking it again per entry costs
// as much as the walk itself.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::inventory {

struct TFolderListing {
    std::wstring folder;              // as walked, with a trailing backslash
    std::vector<std::wstring> names;  // files and folders, listing order, no dot names
    bool complete = false;            // the listing ran to its end

    // Whether this listing answers for `path` (any case, with or without a backslash).
    [[nodiscard]] bool Lists(std::wstring_view path) const;
};

// Whether FindFirstFile would answer the mask `prefix` + "*" + `suffix` for `name`: both ends
// compared without regard to case, the star standing for any text including none.
[[nodiscard]] bool MatchesPrefixStarSuffix(std::wstring_view name, std::wstring_view prefix,
                                           std::wstring_view suffix);

// The first name FindFirstFile would give for that mask; nothing when none matches. Only
// literal prefixes and suffixes: texts holding wildcards are no question for a listing.
[[nodiscard]] std::optional<std::wstring> FirstMatch(const TFolderListing& listing, std::wstring_view prefix,
                                                     std::wstring_view suffix);

// Wildcards FindFirstFile gives a meaning to, DOS forms included.
[[nodiscard]] bool HasWildcards(std::wstring_view text) noexcept;

}  // namespace tarvo::inventory
