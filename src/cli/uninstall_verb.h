#pragma once
// `tarvo uninstall NAME|KEY [--yes]`: runs one program's own uninstaller, waits for it and
// every process it started exactly as the desktop program does, and writes the uninstall log.
// Several names, or --quiet, run as a batch (see batch_uninstall.h).
// Exit codes: 0 the wait ended, 3 no such program, 4 the uninstaller could not be started,
// 1 the question was not answered yes or the wait could not follow the uninstaller.

#include <span>
#include <string>

#include "cli/cli.h"
#include "inventory/inventory.h"

namespace tarvo::cli {

inline constexpr int kExitNotFound = 3;
inline constexpr int kExitNotStarted = 4;

int RunUninstallVerb(std::span<const std::wstring> args, CliOutput& out);

// The entry `target` names: a shown entry by its exact display name, or any entry by its
// registry key ("HKEY_LOCAL_MACHINE\SOFTWARE\…\Uninstall\X", "HKLM\…" too; any case).
// Null when none does.
[[nodiscard]] const inventory::TSoftInfo* FindUninstallTarget(const inventory::TSoftList& list,
                                                              const std::wstring& target);

}  // namespace tarvo::cli
