#pragma once
// `tarvo scan NAME|KEY|--folder PATH [--json] [--delete [--shred]]`: the leftover scan of one installed program
// (by display name or by its uninstall key) or of a bare folder, printed as the result tree
// or, with --json, as an array of findings.

#include <span>
#include <string>

#include "cli/cli.h"
#include "leftovers/result_tree.h"

namespace tarvo::cli {

inline constexpr int kExitUnknownEntry = 3;

// Exit 0 with findings, 1 without, 3 when no installed program matches. With --delete the
// findings are removed after printing: see DeleteFindings for the exit codes.
int RunScanVerb(std::span<const std::wstring> args, CliOutput& out);

// The tree as lines: each node's caption, indented two blanks per level.
[[nodiscard]] std::wstring ScanTreeText(const leftovers::TResultTree& tree);
// UTF-8 JSON array, one object per finding in tree order, each with the keys kind
// ("registry" or "file"), root, key, valueName, valueData, path, size, fileKind ("folder" or
// "file"); keys that do not apply to the kind are null.
[[nodiscard]] std::string ScanFindingsJson(const leftovers::TResultTree& tree);

}  // namespace tarvo::cli
