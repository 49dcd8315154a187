#pragma once

#include <span>
#include <string>

#include "cli/cli.h"

namespace tarvo::cli {

// `tarvo logs [FOLDER]`: the day logs with their sizes and dates; the data folder's log
// folder unless another is named.
int RunLogsVerb(std::span<const std::wstring> args, CliOutput& out);

}  // namespace tarvo::cli
