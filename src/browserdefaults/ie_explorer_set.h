#pragma once
// Internet Explorer keeps its home page and search scopes in the user's registry; the
// policy values some hijackers set lock the user out of changing them again.

#include "browserdefaults/explorer_set.h"

namespace tarvo::browserdefaults {

class TIEExplorerSet final : public TCustomExplorerSet {
public:
    using TCustomExplorerSet::TCustomExplorerSet;

    [[nodiscard]] std::wstring GetHomepage() override;
    [[nodiscard]] bool SetHomepage() override;
    [[nodiscard]] std::wstring GetSearchEngine() override;
    [[nodiscard]] bool RestSearchToDefault() override;

private:
    [[nodiscard]] std::wstring UserPath(const wchar_t* below) const { return env_.keyPrefix + below; }
};

// The scope our restore creates when no "Bing" scope exists.
inline constexpr const wchar_t* kBingScopeName = L"{0633EE93-D776-472f-A0FF-E1416B8B2E3A}";

}  // namespace tarvo::browserdefaults
