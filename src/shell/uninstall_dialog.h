#pragma once
// The catalogue's uninstall command: checks that there is something to uninstall, then runs
// the uninstall dialog modally over the main window for the selected entry or, in batch
// mode, for every checked one.

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "inventory/soft_info.h"
#include "inventory/software_info.h"
#include "shell/statistics_library.h"
#include "uninstall/uninstall_session.h"

namespace tarvo::shell {

struct UninstallDialogOptions {
    // Leftover scan for "Powerful Scan"; empty uses the one set by SetLeftoverScan, and
    // without either every scan finds nothing.
    uninstall::TLeftoverScan scan;
    // Where the scan's statistics event goes; none when null.
    TStatisticsLibrary* statistics = nullptr;
    // The catalogue the window holds: its install folders, as they are when the dialog
    // opens, tell the scan what belongs to other programs. Null: the scan reads its own.
    const inventory::TSoftwareInfo* catalogue = nullptr;
    // The catalogue's small icons (an entry's ImageIndex points into them); borrowed.
    HIMAGELIST catalogueIcons = nullptr;
};

// The leftover scan every dialog uses unless its caller gives one.
void SetLeftoverScan(uninstall::TLeftoverScan scan);

// `entries`: the selected row's entry, or in batch mode the checked rows' entries in list
// order. With none, shows "Please select a program first." (or, in batch mode, "Please
// select at least one program.") and returns false. Otherwise returns true when the dialog
// ran an uninstall or a scan: the caller then reads the catalogue again.
bool OpenUninstallDialog(HWND owner, const std::vector<inventory::TSoftInfo*>& entries, bool batchMode,
                         const UninstallDialogOptions& options = {});

// The forced uninstall's hand-off: the dialog for `entry` (the forced list's chosen row), or
// without an entry for the file the user pointed at, which the dialog deletes before it
// offers the scan of its folder. True when an uninstall or a scan ran.
bool OpenForcedUninstallDialog(HWND owner, const inventory::TSoftInfo* entry, uninstall::TForcedOpening forced,
                               const UninstallDialogOptions& options = {});

// At start-up: programs a batch uninstalled but never scanned, because the program or the
// machine stopped in between. Asks once; Yes scans them as one batch and shows the findings,
// No forgets them, Cancel leaves them for the next start. True when a scan ran.
bool OfferPendingScans(HWND owner, const UninstallDialogOptions& options = {});

}  // namespace tarvo::shell
