#pragma once
// `tarvo scan NAME|KEY|--folder PATH [--json] [--delete [--shred]]`: the leftover scan of one installed program
// (by display name or by its uninstall key) or of a bare folder, printed as the result tree
// or, with --json, as an array of findings.

#include <span>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "inventory/program_places.h"
#include "inventory/soft_info.h"
#include "leftovers/regedit_scan.h"
#include "leftovers/result_tree.h"

namespace tarvo::cli {

inline constexpr int kExitUnknownEntry = 3;

// Exit 0 with findings, 1 without, 3 when no installed program matches. With --delete the
// findings are removed after printing: see DeleteFindings for the exit codes.
int RunScanVerb(std::span<const std::wstring> args, CliOutput& out);

struct ScanReport {
    bool json = false;
    bool remove = false;  // delete every finding after printing it
    bool shred = false;
    bool nothingFoundIsSuccess = false;  // after an uninstall, a clean machine is the good outcome
};
// One scan, of `entry` or (when it is null) of the bare `folder`, against the catalogue as it
// was read before anything was uninstalled; printed, and removed with `remove`. The scan
// verb's exit codes: 1 when nothing was found.
int ScanAndReport(const inventory::TSoftInfo* entry, const std::wstring& folder,
                  const std::vector<inventory::TProgramPlace>& catalogue, const ScanReport& how, CliOutput& out);

// Prints a finished scan as `how` asks (tree or JSON, then what was left alone when removing);
// returns the number of findings.
int PrintScan(const leftovers::TResultTree& tree, const std::vector<leftovers::TScanRefusal>& refusals,
              const ScanReport& how, CliOutput& out);

// The tree as lines: each node's caption, indented two blanks per level.
[[nodiscard]] std::wstring ScanTreeText(const leftovers::TResultTree& tree);
// UTF-8 JSON array, one object per finding in tree order, each with the keys kind
// ("registry" or "file"), root, key, valueName, valueData, path, size, fileKind ("folder" or
// "file"); keys that do not apply to the kind are null.
[[nodiscard]] std::string ScanFindingsJson(const leftovers::TResultTree& tree);

}  // namespace tarvo::cli
