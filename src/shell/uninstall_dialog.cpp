#include "shell/uninstall_dialog.h"

#include <optional>

#include "language/language.h"
#include "platform/files.h"
#include "settings/app_frame.h"
#include "settings/main_ini.h"
#include "shell/test_seam.h"
#include "shell/uninstalling_window.h"
#include "uninstall/scan_journal.h"

namespace tarvo::shell {

namespace {

// Plugged in once by the leftover subsystem when it starts; read only on the UI thread.
uninstall::TLeftoverScan& RegisteredScan() {
    static uninstall::TLeftoverScan scan;
    return scan;
}

// The run's events go to the statistics library when it was loaded.
std::function<void(const std::wstring&)> StatisticReporter(TStatisticsLibrary* statistics) {
    if (!statistics) return {};
    return [statistics](const std::wstring& code) { (void)statistics->DoStatistic(code, 0, 0, 0, 0); };
}

// The scan with the catalogue as it is now, before any uninstaller has removed its entry,
// and with the icons the list shows for its programs.
uninstall::TLeftoverScan WithCatalogueAsItIs(uninstall::TLeftoverScan scan, const UninstallDialogOptions& options) {
    if (!scan || (!options.catalogue && !options.catalogueIcons)) return scan;
    std::optional<std::vector<inventory::TProgramPlace>> places;
    if (options.catalogue) places = inventory::CataloguePlaces(options.catalogue->Entries());
    return [scan = std::move(scan), places = std::move(places), icons = options.catalogueIcons](
               const uninstall::TLeftoverScanRequest& request,
               const std::function<bool()>& cancelRequested) -> std::function<void()> {
        uninstall::TLeftoverScanRequest withCatalogue = request;
        if (places) withCatalogue.catalogue = places;
        if (icons) {
            withCatalogue.catalogueIconCount = ::ImageList_GetImageCount(icons);
            withCatalogue.catalogueIcon = [icons](int index) {
                return platform::unique_hicon(::ImageList_GetIcon(icons, index, ILD_NORMAL));
            };
        }
        return scan(withCatalogue, cancelRequested);
    };
}

}  // namespace

void SetLeftoverScan(uninstall::TLeftoverScan scan) { RegisteredScan() = std::move(scan); }

bool OpenUninstallDialog(HWND owner, const std::vector<inventory::TSoftInfo*>& entries, bool batchMode,
                         const UninstallDialogOptions& options) {
    if (entries.empty()) {
        const std::wstring text =
            batchMode ? language::GetText(L"BatchUninstall_NoneSelect", L"Please select at least one program.")
                      : language::GetText(L"Uninstall_NoneSelect", L"Please select a program first.");
        test_seam::ShowMessageBox(owner, text, language::GetText(L"Application_Title", L"Tarvo Uninstaller"), MB_OK);
        return false;
    }
    const std::vector<const inventory::TSoftInfo*> targets(entries.begin(), entries.end());
    const std::wstring dataFolder = settings::DataFolder();
    const settings::TMainIni ini;
    uninstall::TUninstallActions actions = uninstall::DefaultUninstallActions(uninstall::MakeLogContext(dataFolder), ini);
    actions.scan = WithCatalogueAsItIs(options.scan ? options.scan : RegisteredScan(), options);
    actions.reportStatistic = StatisticReporter(options.statistics);
    TfrmUninstalling dialog(targets, batchMode, ini.CreateRestore(), std::move(actions));
    if (!dialog.Create(owner)) return false;
    dialog.ShowModal();
    return dialog.Session().workDone();
}

bool OfferPendingScans(HWND owner, const UninstallDialogOptions& options) {
    const uninstall::TScanJournal journal(uninstall::TScanJournal::DefaultPath());
    const std::vector<inventory::TSoftInfo> pending = journal.Pending();
    if (pending.empty()) return false;
    // One whose uninstaller never finished is still installed: nothing of it is a leftover.
    std::vector<const inventory::TSoftInfo*> all, entries;
    std::wstring names;
    for (const auto& entry : pending) {
        all.push_back(&entry);
        if (uninstall::EntryStillListed(entry)) continue;
        entries.push_back(&entry);
        names += L"\r\n" + entry.DisplayName;
    }
    if (entries.empty()) {
        (void)journal.Remove(all);
        return false;
    }
    const std::wstring title = language::GetText(L"Application_Title", L"Tarvo Uninstaller");
    const int answer = test_seam::ShowMessageBox(
        owner,
        language::GetText(L"PendingScan_Question",
                          L"These programs were uninstalled, but Tarvo stopped before their Powerful Scan:") +
            names + L"\r\n\r\n" +
            language::GetText(L"PendingScan_Choice", L"Scan them now? No forgets them, Cancel asks again next time."),
        title, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDNO) (void)journal.Remove(all);
    if (answer != IDYES) return false;
    const uninstall::TLeftoverScan scan = WithCatalogueAsItIs(options.scan ? options.scan : RegisteredScan(), options);
    uninstall::TLeftoverScanRequest request;
    request.entries = entries;
    request.batch = entries.size() > 1;
    request.reportStatistic = StatisticReporter(options.statistics);
    const std::function<void()> showFindings = scan ? scan(request, [] { return false; }) : std::function<void()>();
    (void)journal.Remove(all);
    if (showFindings)
        showFindings();
    else
        test_seam::ShowMessageBox(owner, language::GetText(L"NoPowerfulScan_Found_Tip", L"No left items found."), title,
                                  MB_OK | MB_ICONINFORMATION);
    return true;
}

bool OpenForcedUninstallDialog(HWND owner, const inventory::TSoftInfo* entry, uninstall::TForcedOpening forced,
                               const UninstallDialogOptions& options) {
    std::vector<const inventory::TSoftInfo*> targets;
    if (entry) targets.push_back(entry);
    const settings::TMainIni ini;
    uninstall::TUninstallActions actions =
        uninstall::DefaultUninstallActions(uninstall::MakeLogContext(settings::DataFolder()), ini);
    uninstall::TLeftoverScan scan = WithCatalogueAsItIs(options.scan ? options.scan : RegisteredScan(), options);
    // Without an entry only a real folder is scanned: a name handed over by a hook is no path.
    actions.scan = [scan](const uninstall::TLeftoverScanRequest& request,
                          const std::function<bool()>& cancelRequested) -> std::function<void()> {
        if (!scan) return {};
        if (request.entries.empty() && (request.folder.size() <= 3 || !platform::FolderExists(request.folder)))
            return {};
        return scan(request, cancelRequested);
    };
    actions.reportStatistic = StatisticReporter(options.statistics);
    TfrmUninstalling dialog(targets, false, ini.CreateRestore(), std::move(actions), std::move(forced));
    if (!dialog.Create(owner)) return false;
    dialog.ShowModal();
    return dialog.Session().workDone();
}

}  // namespace tarvo::shell
