#pragma once

#include <span>
#include <string>

#include "cli/cli.h"

namespace tarvo::cli {

// `tarvo addons [--json]`: every browser's add-ons as the all-browsers view merges them.
// `tarvo addons remove ID…`: switches them off, with their twins in other browsers.
int RunAddonsVerb(std::span<const std::wstring> args, CliOutput& out);

}  // namespace tarvo::cli
