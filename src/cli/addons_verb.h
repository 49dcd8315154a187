#pragma once

#include <span>
#include <string>

#include "cli/cli.h"

namespace tarvo::cli {

// `tarvo addons [--json]`: every browser's add-ons as the all-browsers view merges them.
// `tarvo addons remove [--policy] ID…`: switches them off, with their twins in other browsers;
// with --policy a Firefox add-on is blocked in policies.json rather than in the profiles.
int RunAddonsVerb(std::span<const std::wstring> args, CliOutput& out);

}  // namespace tarvo::cli
