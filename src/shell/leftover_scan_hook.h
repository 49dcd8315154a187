#pragma once
// Connects the uninstall dialog's "Powerful Scan" to the leftover scanner.

#include "uninstall/uninstall_session.h"

namespace tarvo::shell {

// Scans every requested entry (or the bare folder) into one result tree. Until the removal
// window exists, findings are announced by their count.
[[nodiscard]] uninstall::TLeftoverScan MakeLeftoverScan();

}  // namespace tarvo::shell
