#pragma once

#include <span>
#include <string>

#include "cli/cli.h"

namespace tarvo::cli {

// The reader refused the archive; its message went to standard error.
inline constexpr int kExitArchiveError = 6;

// `tarvo archive list FILE`: the directory, one entry a line (name, mode, sizes, CRC).
// `tarvo archive extract FILE ENTRY OUT`: one entry into the file OUT.
int RunArchiveVerb(std::span<const std::wstring> args, CliOutput& out);

}  // namespace tarvo::cli
