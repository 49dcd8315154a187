#pragma once
// Connects the uninstall dialog's "Powerful Scan" to the leftover scanner and the removal
// window.

#include <functional>
#include <string>

#include "inventory/program_places.h"
#include "uninstall/uninstall_session.h"

namespace tarvo::shell {

// How many visible catalogue entries live in a folder or below it (the catalogue's
// EntriesUnderFolder). More than one shows the removal window's warning band.
using TEntriesUnderFolder = std::function<int(const std::wstring& folder)>;

// The counter over the catalogue as the uninstall dialog saw it when it opened, before the
// uninstaller removed the program's own entry. An entry without a folder is counted against
// "\", which every folder holds: it gets the warning. `places` must outlive the counter.
[[nodiscard]] TEntriesUnderFolder SnapshotCounter(const std::vector<inventory::TProgramPlace>& places);

// Scans every requested entry (or the bare folder) into one result tree and, when it found
// anything, returns how to show it: "Powerful Scan" modally over the active window. Without
// a counter the catalogue is read afresh for the warning decision.
[[nodiscard]] uninstall::TLeftoverScan MakeLeftoverScan(TEntriesUnderFolder entriesUnderFolder = {});

// The count the window's warning is decided on: 1 for a bare folder; for a batch the first
// entry's count above 1 (or 1); otherwise the count for the one entry.
[[nodiscard]] int MultiProgramCount(const uninstall::TLeftoverScanRequest& request,
                                    const TEntriesUnderFolder& entriesUnderFolder,
                                    const std::function<bool()>& cancelRequested);

}  // namespace tarvo::shell
