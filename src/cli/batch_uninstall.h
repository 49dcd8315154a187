#pragma once
// `tarvo uninstall NAME… [--quiet]`: several programs' uninstallers one after another, each
// written down before it starts so that its leftover scan survives a crash, then one batch
// scan of them all; one summary line per program at the end. And `tarvo scan --pending`,
// the scan of programs a stopped batch uninstalled but never scanned.

#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/scan_verb.h"

namespace tarvo::cli {

struct BatchRequest {
    std::vector<std::wstring> targets;
    bool yes = false;
    bool quiet = false;  // each uninstaller without its own questions where that is known to work
    bool scan = false;
    ScanReport how;
};

// The uninstall verb's exit codes; 4 when any uninstaller could not be started.
int RunBatchUninstall(const BatchRequest& request, CliOutput& out);

// Scans every program the journal holds as one batch and strikes them off. Exit 0 also when
// none is pending or nothing was found.
int ScanPending(const ScanReport& how, CliOutput& out);

}  // namespace tarvo::cli
