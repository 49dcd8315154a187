#pragma once
// `tarvo export FILE`: the program list file the main window's "Export Application List"
// writes, from a fresh inventory completed by the analysis cache, without a window.

#include <span>
#include <string>

#include "cli/cli.h"

namespace tarvo::cli {

int RunExportVerb(std::span<const std::wstring> args, CliOutput& out);

}  // namespace tarvo::cli
