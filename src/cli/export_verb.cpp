#include "cli/export_verb.h"

#include "inventory/catalogue_export.h"
#include "inventory/inventory.h"
#include "inventory/software_cache.h"

namespace tarvo::cli {

int RunExportVerb(std::span<const std::wstring> args, CliOutput& out) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == L'-') return kExitUsage;
    const std::wstring path = inventory::ExportFileName(args[0]);
    inventory::TSoftList list;
    inventory::Inventory(list);
    // What the analysis measured earlier completes the sizes and dates, as in the window.
    inventory::LoadCache(list, inventory::SoftwareCachePath());
    if (!inventory::WriteExportFile(path, list, inventory::CurrentExportHeader())) {
        out.Err(L"tarvo export: cannot write \"" + path + L"\"\r\n");
        return kExitFailure;
    }
    out.Out(path + L"\r\n");
    return kExitOk;
}

}  // namespace tarvo::cli
