#pragma once
// Where the catalogue's programs live, as a scan asks about them: each visible entry's name
// and install folder, taken at one moment (before an uninstaller removes its own entry).

#include <string>
#include <vector>

#include "inventory/inventory.h"

namespace tarvo::inventory {

struct TProgramPlace {
    std::wstring name;       // DisplayName
    std::wstring folder;     // the install folder as the entry gives it; may be empty
    std::wstring publisher;  // Publisher
};

// The visible entries. The console has no analysis pass, so there a
// missing location is completed from the uninstall command.
[[nodiscard]] std::vector<TProgramPlace> CataloguePlaces(const TSoftList& entries, bool completeFromCommand = false);

}  // namespace tarvo::inventory
