#pragma once
// `tarvo list [--json] [--all]`: the programs of a fresh inventory, one line each or as a
// JSON array whose objects carry every entry field by name.

#include <span>
#include <string>

#include "cli/cli.h"
#include "inventory/inventory.h"

namespace tarvo::cli {

int RunListVerb(std::span<const std::wstring> args, CliOutput& out);

// "Name<TAB>Version<TAB>Publisher<TAB>Size<TAB>Date<TAB>HKEY_…\Key[<TAB>64-bit][<TAB>hidden]".
[[nodiscard]] std::wstring ListLines(const inventory::TSoftList& list, bool includeHidden);
// UTF-8 JSON array, one object per entry, keys in field order; dates as local ISO-8601
// date-times, null when there is none.
[[nodiscard]] std::string ListJson(const inventory::TSoftList& list, bool includeHidden);

}  // namespace tarvo::cli
