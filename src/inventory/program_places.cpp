#include "inventory/program_places.h"

#include <optional>

#include "inventory/command_analysis.h"
#include "inventory/file_facts.h"
#include "inventory/installer_records.h"
#include "common/text.h"

namespace tarvo::inventory {

using common::Trim;

std::vector<TProgramPlace> CataloguePlaces(const TSoftList& entries, bool completeFromCommand) {
    std::vector<TProgramPlace> places;
    std::optional<TRefusedFolders> refused;
    TFileFacts facts;
    TInstallerRecords records;
    for (const auto& entry : entries) {
        if (entry->Hidden) continue;
        std::wstring folder = Trim(entry->InstallLocation);
        if (folder.empty() && completeFromCommand) {
            if (!refused) refused = TRefusedFolders::Read();
            folder = CompletedInstallFolder(*entry, *refused, facts, records);
        }
        places.push_back({entry->DisplayName, std::move(folder), entry->Publisher});
    }
    return places;
}

}  // namespace tarvo::inventory
