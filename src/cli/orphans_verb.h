#pragma once
// `tarvo orphans [--json] [--delete [--shred]]`: leftovers of programs that are already gone,
// grouped by the program they most likely belonged to, each with its evidence. --delete
// removes the sure ones (backed up first) and prints what it left alone and why.

#include <span>
#include <string>

#include "cli/cli.h"
#include "leftovers/orphans/orphan_report.h"

namespace tarvo::cli {

// Exit 0 with findings, 1 without; with --delete the exit codes of DeleteTickedFindings.
int RunOrphansVerb(std::span<const std::wstring> args, CliOutput& out);

// UTF-8 JSON: {"findings": [{program, confidence, evidence, kind, root, key, valueName,
// valueData, view64, path, fileKind}…], "leftAlone": [{item, reason}…]}; keys that do not
// apply to a finding's kind are null.
[[nodiscard]] std::string OrphansJson(const leftovers::orphans::TOrphanReport& report);

}  // namespace tarvo::cli
