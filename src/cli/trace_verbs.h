#pragma once
// `tarvo install SETUP [ARGS...]`: runs a setup under a recording and stores the trace.
// `tarvo traces [--json]` lists the stored traces, `tarvo traces show ID` one trace's items,
// `tarvo traces delete ID` forgets one, `tarvo traces filter` prints the places a recording
// leaves out. Exit codes: install 0 stored, 4 the setup did not start, 1 nothing recorded or
// stored; traces 0, or 3 for an unknown ID.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "inventory/soft_info.h"
#include "platform/sqlite_library.h"
#include "leftovers/result_tree.h"
#include "trace/trace_store.h"
#include "trace/traced_scan.h"

namespace tarvo::cli {

inline constexpr int kExitUnknownTrace = 3;

int RunInstallVerb(std::span<const std::wstring> args, CliOutput& out);
int RunTracesVerb(std::span<const std::wstring> args, CliOutput& out);

// sqlite3.dll from beside the running program; false when it is not there.
bool LoadSqliteBesideProgram(platform::SqliteLibrary& sqlite);

// The traced entries' recorded items first in the tree (nothing without SQLite or traces).
[[nodiscard]] trace::TracedScan AddTracedScan(const std::vector<const inventory::TSoftInfo*>& entries,
                                              leftovers::TResultTree& tree);

}  // namespace tarvo::cli
