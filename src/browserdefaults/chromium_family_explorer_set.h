#pragma once
// Microsoft Edge, Brave, Vivaldi and Chromium keep Chrome's files: the home page and start-up
// pages in each profile's "Preferences", the engines in each profile's "Web Data". Unlike
// the old Chrome restorer, which knows one profile, these are restored in every profile of
// every channel the browser's "Local State" names, since a hijacker writes into all of them.

#include <vector>

#include "browserdefaults/explorer_set.h"

namespace tarvo::browserdefaults {

class TChromiumFamilyExplorerSet final : public TCustomExplorerSet {
public:
    TChromiumFamilyExplorerSet(const RestoreEnvironment& environment, BrowserKind kind);

    // What the first profile holds (the one the browser opens unless told otherwise).
    [[nodiscard]] std::wstring GetHomepage() override;
    [[nodiscard]] std::wstring GetSearchEngine() override;
    // Every profile is tried; false when the browser has none or one of them failed.
    [[nodiscard]] bool SetHomepage() override;
    [[nodiscard]] bool RestSearchToDefault() override;
    [[nodiscard]] bool Found() const override { return !profiles_.empty(); }

    // The profile folders, each with a trailing backslash, stable channel's first.
    [[nodiscard]] const std::vector<std::wstring>& ProfileFolders() const noexcept { return profiles_; }
    // Whether one of the user-data folders is in today's layout, with "Local State".
    [[nodiscard]] bool HasLocalState() const noexcept { return hasLocalState_; }

private:
    std::vector<std::wstring> profiles_;
    bool hasLocalState_ = false;
};

}  // namespace tarvo::browserdefaults
