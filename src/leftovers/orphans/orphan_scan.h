#pragma once
// Leftovers of programs that are already gone: one pass over the places the leftover scan
// reads, finding dead references (links, start-up entries, App Paths, file classes and shell
// verbs, shared-DLL counts, firewall rules and uninstall entries that name files and folders
// no longer there) and the traces no installed program owns (program, data and vendor
// folders and keys), grouped by the program they most likely belonged to.
//
//     inventory::TSoftList list; inventory::Inventory(list);
//     TOrphanReport report = ScanOrphans(list);
//     TResultTree tree; TIconList images; BuildOrphanTree(report, tree, images);

#include <functional>

#include "inventory/inventory.h"
#include "leftovers/exclusion.h"
#include "leftovers/orphans/orphan_report.h"

namespace tarvo::leftovers::orphans {

struct TOrphanScanOptions {
    // Runs between the places read so the caller's window stays live.
    std::function<void()> pump;
    // Seam for tests; null means the system's own.
    const TReservedFolders* reservedFolders = nullptr;
};

// `catalogue`: every entry of the inventory, hidden ones and system components included.
[[nodiscard]] TOrphanReport ScanOrphans(const inventory::TSoftList& catalogue, const TOrphanScanOptions& options = {});

}  // namespace tarvo::leftovers::orphans
