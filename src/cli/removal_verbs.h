#pragma once
// The console's removal: `tarvo scan … --delete [--shred]` removes every finding the scan
// printed, the same two passes, backup and log as the window; `tarvo restore BACKUP` puts a
// removal's backup back.

#include <span>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "leftovers/result_tree.h"
#include "trace/trace_item.h"

namespace tarvo::cli {

// Something waits for the next restart (a file in use).
inline constexpr int kExitScheduled = 5;

// Ticks every node and removes it all. Exit 0 when everything is gone, 5 when something is
// left for the restart, 1 when something could not be deleted or had changed since the scan.
// `traced` holds a traced program's items: its changed values are put back (backed up first).
int DeleteFindings(leftovers::TResultTree& tree, bool shred, CliOutput& out,
                   const std::vector<trace::TraceItem>* traced = nullptr);
// The same for the nodes already ticked; the unticked ones stay.
int DeleteTickedFindings(leftovers::TResultTree& tree, bool shred, CliOutput& out,
                         const std::vector<trace::TraceItem>* traced = nullptr);

// BACKUP: a backup folder, or its name below the data folder's "Backup". Exit 0 when
// everything was put back, 1 otherwise. A backup of a run that was cut off restores what
// that run took, and the run counts as dealt with.
int RunRestoreVerb(std::span<const std::wstring> args, CliOutput& out);

// `tarvo unfinished`: lists the removals that were cut off (exit 1 when there are any);
// with --finish or --undo deals with each (or only BACKUP) and exits 0 when all went well.
int RunUnfinishedVerb(std::span<const std::wstring> args, CliOutput& out);

}  // namespace tarvo::cli
