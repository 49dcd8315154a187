#pragma once
// The installed-program inventory: every program registered under the machine's and the
// user's uninstall keys, in the default and (on 64-bit Windows) the 64-bit registry view.

#include <memory>
#include <string>
#include <vector>

#include "inventory/soft_info.h"

namespace tarvo::inventory {

// The catalogue owns its entries; other parts hold pointers to them for the whole run, so
// entries never move.
using TSoftList = std::vector<std::unique_ptr<TSoftInfo>>;

inline constexpr wchar_t kUninstallKeyPath[] = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// One pass over both roots in one view, then the merge pass over the whole list. Returns the
// list's count, or -1 without a list.
int InventoryPass(TSoftList* list, platform::RegistryView view);

// The default view, then the 64-bit view when Windows is 64-bit.
void Inventory(TSoftList& list);

// Hides entries that are not shown on their own: installer-managed system components, and
// the second of two entries with the same name (whose empty fields fill the one kept).
void MergePass(TSoftList& list);

}  // namespace tarvo::inventory
