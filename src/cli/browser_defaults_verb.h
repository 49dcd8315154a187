#pragma once

#include <span>
#include <string>

#include "cli/cli.h"

namespace tarvo::cli {

// `tarvo browser-defaults [--json]`: each browser's home page and search engine as the
// restore window reads them. `tarvo browser-defaults --restore BROWSER…`: puts them back to
// the stock values; exit 1 naming the browsers that failed.
int RunBrowserDefaultsVerb(std::span<const std::wstring> args, CliOutput& out);

}  // namespace tarvo::cli
