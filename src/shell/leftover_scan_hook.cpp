#include "shell/leftover_scan_hook.h"

#include <windows.h>

#include <memory>

#include "inventory/software_info.h"
#include "common/text.h"
#include "leftovers/scan_driver.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "platform/sqlite_library.h"
#include "settings/app_frame.h"
#include "shell/main_window.h"
#include "shell/power_scan_window.h"
#include "trace/traced_scan.h"

namespace tarvo::shell {

namespace {

// The list's icons as the scan asks for them: by an entry's ImageIndex.
class RequestedCatalogueIcons final : public leftovers::CatalogueImages {
public:
    explicit RequestedCatalogueIcons(const uninstall::TLeftoverScanRequest& request) : request_(request) {}
    [[nodiscard]] int Count() const override { return request_.catalogueIconCount; }
    [[nodiscard]] platform::unique_hicon Icon(int index) const override {
        return request_.catalogueIcon ? request_.catalogueIcon(index) : platform::unique_hicon();
    }

private:
    const uninstall::TLeftoverScanRequest& request_;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) != TfrmTarvoUninstall::kClassName) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The uninstall dialog has hidden itself by now: the results go over the main window.
HWND ResultOwner() {
    HWND main = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindMainWindow, reinterpret_cast<LPARAM>(&main));
    return main ? main : ::GetActiveWindow();
}

TEntriesUnderFolder CatalogueCounter() {
    return [](const std::wstring& folder) {
        inventory::TSoftwareInfo catalogue(nullptr, {});
        std::vector<std::size_t> indexes;
        return catalogue.EntriesUnderFolder(folder, &indexes);
    };
}

}  // namespace

TEntriesUnderFolder SnapshotCounter(const std::vector<inventory::TProgramPlace>& places) {
    return [&places](const std::wstring& folder) {
        const std::wstring wanted =
            common::UpperCase(folder.empty() ? std::wstring(L"\\") : inventory::NormalisedFolder(folder));
        int count = 0;
        for (const auto& place : places)
            if (common::UpperCase(inventory::NormalisedFolder(place.folder)).find(wanted) != std::wstring::npos)
                ++count;
        return count;
    };
}

int MultiProgramCount(const uninstall::TLeftoverScanRequest& request, const TEntriesUnderFolder& entriesUnderFolder,
                      const std::function<bool()>& cancelRequested) {
    if (request.entries.empty() || !entriesUnderFolder) return 1;
    int count = 1;
    for (const auto* entry : request.entries) {
        if (cancelRequested && cancelRequested()) break;
        if (!entry) continue;
        if (!request.batch) return entriesUnderFolder(entry->InstallLocation);
        if (count <= 1) count = entriesUnderFolder(entry->InstallLocation);
    }
    return count;
}

uninstall::TLeftoverScan MakeLeftoverScan(TEntriesUnderFolder entriesUnderFolder) {
    return [counter = entriesUnderFolder ? std::move(entriesUnderFolder) : CatalogueCounter()](
               const uninstall::TLeftoverScanRequest& request,
               const std::function<bool()>& cancelRequested) -> std::function<void()> {
        auto tree = std::make_shared<leftovers::TResultTree>();
        auto images = std::make_shared<leftovers::TIconList>();
        leftovers::ScanOptions options;
        options.pump = platform::PumpWaitingMessages;
        if (request.catalogue) options.catalogue = &*request.catalogue;
        const RequestedCatalogueIcons catalogueIcons(request);
        if (request.catalogueIcon) options.catalogueImages = &catalogueIcons;
        int found = 0;
        if (request.entries.empty()) {
            found += leftovers::ScanLeftovers(nullptr, *tree, request.folder, *images, options);
        } else {
            // One pass over the registry and the data trees for the whole batch.
            for (const int count :
                 leftovers::ScanLeftoversBatch(request.entries, *tree, *images, options, cancelRequested))
                found += count;
        }
        // A traced program's recorded items go first, ticked; its changed values are put back.
        std::vector<trace::TraceItem> traced;
        {
            platform::SqliteLibrary sqlite;
            const std::wstring exe = platform::GetModuleFilePath();
            if (!request.entries.empty() && sqlite.Load(exe.substr(0, exe.find_last_of(L'\\') + 1) + L"sqlite3.dll")) {
                trace::TracedScan scan = trace::AddTracedNodes(request.entries, *tree, sqlite, settings::DataFolder());
                traced = std::move(scan.items);
                found = leftovers::FindingCount(*tree);
            }
        }
        if (found == 0 || tree->Programs.empty()) return {};
        const bool warning =
            MultiProgramCount(request, request.catalogue ? SnapshotCounter(*request.catalogue) : counter,
                              cancelRequested) > 1;
        return [tree, images, warning, report = request.reportStatistic, traced = std::move(traced)] {
            ShowPowerScan(ResultOwner(), *tree, *images, warning, report, traced);
        };
    };
}

}  // namespace tarvo::shell
