#pragma once
// Chrome: the home page and start-up pages in the profile's "Preferences", the search
// engines in the "keywords" table of its "Web Data" database.

#include "browserdefaults/explorer_set.h"

namespace tarvo::browserdefaults {

class TChromeExplorerSet final : public TCustomExplorerSet {
public:
    using TCustomExplorerSet::TCustomExplorerSet;

    [[nodiscard]] std::wstring GetHomepage() override;
    [[nodiscard]] bool SetHomepage() override;
    [[nodiscard]] std::wstring GetSearchEngine() override;
    [[nodiscard]] bool RestSearchToDefault() override;

    // "...\Google\Chrome\User Data\Default\" beside the roaming folder.
    [[nodiscard]] std::wstring ProfileFolder() const;
    [[nodiscard]] std::wstring PreferencesPath() const { return ProfileFolder() + L"Preferences"; }
    [[nodiscard]] std::wstring WebDataPath() const;
};

// Shared with Opera, whose Preferences since version 15 are Chrome's.
[[nodiscard]] std::wstring ReadChromiumHomepage(const TCustomExplorerSet& set, const std::wstring& preferences);
[[nodiscard]] bool ResetChromiumPreferences(const TCustomExplorerSet& set, const std::wstring& preferences);

}  // namespace tarvo::browserdefaults
