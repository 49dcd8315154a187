#pragma once
// What the next start does with a removal that was cut off (see removal_journal.h): finish
// it, removing the planned items that are still there, or undo it, putting back what its
// partial backup holds. Either way the run counts as dealt with afterwards.

#include <string>

#include "leftovers/removal.h"

namespace tarvo::leftovers {

struct TUnfinishedOutcome {
    TRemovalOutcome removal;  // finishing: the run over what was left
    TRestoreReport restore;   // undoing: what came back
    std::wstring newBackup;   // finishing: the backup of what the finish removed
};

// Removes what the cut-off run still meant to remove, backed up into a new backup of its
// own, with the same two passes, guards and log as any removal.
[[nodiscard]] TUnfinishedOutcome FinishUnfinishedRemoval(const std::wstring& backupFolder, TRemovalActions actions,
                                                         const std::wstring& backupRoot, SYSTEMTIME now);
// Restores the partial backup.
[[nodiscard]] TUnfinishedOutcome UndoUnfinishedRemoval(const std::wstring& backupFolder);

}  // namespace tarvo::leftovers
