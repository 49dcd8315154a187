#pragma once
// The traced programs among the scanned entries: their recorded items go first into the
// removal tree, and their changed values travel with the removal to be put back.

#include <string>
#include <vector>

#include "inventory/soft_info.h"
#include "leftovers/removal_backup.h"
#include "leftovers/result_tree.h"
#include "platform/sqlite_library.h"
#include "trace/trace_item.h"

namespace tarvo::trace {

struct TracedScan {
    std::vector<TraceItem> items;  // every trace's items, for the put-back
    bool changedValues = false;    // some trace holds a value to put back
    [[nodiscard]] const std::vector<TraceItem>* PutBackItems() const { return items.empty() ? nullptr : &items; }
};

// Adds a node for each entry that has a trace, in the entries' order, before every other node.
[[nodiscard]] TracedScan AddTracedNodes(const std::vector<const inventory::TSoftInfo*>& entries,
                                        leftovers::TResultTree& tree, const platform::SqliteLibrary& sqlite,
                                        const std::wstring& dataFolder);

// Before the removal deletes anything: the services the installer made are stopped and
// deleted through the service manager, and the changed values are put back (each saved into
// the removal's backup first). The lines say what happened, for the log and the console.
struct PutBackOutcome {
    std::vector<std::wstring> lines;
    int failed = 0;
};
PutBackOutcome PutBackBeforeRemoval(const std::vector<TraceItem>& items, leftovers::TRemovalBackup* backup);

// The services the installer registered: keys it made right below SYSTEM\CurrentControlSet\Services.
[[nodiscard]] std::vector<std::wstring> CreatedServices(const std::vector<TraceItem>& items);

// After the removal: announce an environment change if the trace touched an environment block.
void AnnounceEnvironmentChange(const std::vector<TraceItem>& items);

// A dropped file the user more likely wants installed than removed: an .msi, or an .exe whose
// name says setup or install.
[[nodiscard]] bool LooksLikeSetup(const std::wstring& path);

}  // namespace tarvo::trace
