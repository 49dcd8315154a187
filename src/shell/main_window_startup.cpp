// The main window's part of start-up: what its creation builds, what its first activation
// starts, and the two one-shot timers after that. The order matters: later steps read what
// earlier ones set, and the command-line hand-off needs the catalogue.

#include "settings/statistic_events.h"
#include "shell/main_window.h"

#include <shellapi.h>

#include "language/language.h"
#include "online/update_database_job.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/shell.h"
#include "settings/app_frame.h"
#include "settings/main_ini.h"
#include "setup/self_installation.h"
#include "setup/startup_folders.h"
#include "shell/test_seam.h"
#include "shell/unfinished_removal_offer.h"
#include "shell/uninstall_dialog.h"

namespace tarvo::shell {

void TfrmTarvoUninstall::FormCreate() {
    test_seam::Log(L"step: create");
    starting_ = true;
    ::DragAcceptFiles(hwnd(), TRUE);
    RestoreWindowPlacement();
    platform::AllowMessageFromLowerIntegrity(UM_SHELLVERB);
    state_.catalogueReady = false;
    firstActivation_ = true;
    CreatePageFrames();
    ApplyWindowRegion();
    // A start from any copy but the installed one installs or updates the installed copy,
    // before the language is read from it. A development build runs where it is.
    if (setup::StartMayInstall()) setup::InstallWhenNeeded(setup::DefaultInstallTargetFolder());
    LoadProgramFolderLibraries(state_);
    LoadLanguage();
    CreateLanguageMenu();
    FitCaptionsAndCategoryBar();
    StartNewsCheck();
    state_.statistics.DoStatistic(settings::statistic::kProgramStart, 7, 0, 0, 0);
    state_.statistics.DoStatistic(settings::statistic::kProgramStartFollowUp, 0, 0, 0, 0);
}

void TfrmTarvoUninstall::LoadLanguage() {
    // Language files travel with the running executable, so a copy started from anywhere
    // speaks the language its own files hold.
    language::StartAppLanguage(settings::TAppFrame().ProgramFolder(), settings::TMainIni());
}

void TfrmTarvoUninstall::ApplyWindowRegion() { ui::ApplyRoundedCorners(hwnd(), kCornerRadius, dpi_, maximized_); }

void TfrmTarvoUninstall::FormActivate() {
    if (!firstActivation_) return;
    starting_ = false;
    firstActivation_ = false;
    test_seam::Log(L"step: first activation");
    ::SetTimer(hwnd(), kTimerGetSoftware, 10, nullptr);
    platform::AllowMessageFromLowerIntegrity(platform::kCopyGlobalDataMessage);
    platform::AllowMessageFromLowerIntegrity(WM_DROPFILES);
    platform::AllowMessageFromLowerIntegrity(WM_COPYDATA);
}

void TfrmTarvoUninstall::Timer_GetSoftwareTimer() {
    ::KillTimer(hwnd(), kTimerGetSoftware);
    test_seam::Log(L"step: get software");
    BuildProgramCatalogue();
    SelectAllProgramsCategory();
    ShowFloatingButtonWhenCreated();
    SortProgramList();
    state_.catalogueReady = true;
    ProcessCommandLineHandOff();
    ::SetTimer(hwnd(), kTimerCheckInstall, 200, nullptr);
}

void TfrmTarvoUninstall::Timer_CheckInstallTimer() {
    ::KillTimer(hwnd(), kTimerCheckInstall);
    state_.startupDone = true;
    test_seam::Log(L"step: check install");
    LaunchAutomaticUpdater();
    StartScoreDatabaseDownload();
    StartAddonEnumeration();
    // A removal cut off last time is dealt with before any new one can start.
    if (OfferUnfinishedRemovals(hwnd())) software_.Refresh(false);
    OfferPendingScansAtStart();
}

void TfrmTarvoUninstall::OfferPendingScansAtStart() {
    UninstallDialogOptions options;
    options.statistics = &state_.statistics;
    options.catalogue = software_.Catalogue();
    options.catalogueIcons = software_.RowIcons();
    if (OfferPendingScans(hwnd(), options)) software_.Refresh(false);
}

void TfrmTarvoUninstall::StartScoreDatabaseDownload() {
    const HWND window = hwnd();
    online::TDownLoadUpdateDataBase::Start([window] { (void)::PostMessageW(window, UM_SCOREDBDONE, 0, 0); });
}

void TfrmTarvoUninstall::ReportStatistic(const StatisticEvent& event) {
    state_.statistics.DoStatistic(event.code, event.values[0], event.values[1], event.values[2], event.values[3]);
}

void TfrmTarvoUninstall::ProcessCommandLineHandOff() {
    const HandOffPlan plan = PlanCommandLineHandOff(state_.arguments);
    if (plan.word == HandOffWord::None) return;
    for (const auto& event : plan.statistics) ReportStatistic(event);

    const std::wstring removalHost = state_.programFolder + L"RemovalHost.exe";
    const bool haveRemovalHost = !state_.programFolder.empty() && platform::FileExists(removalHost);
    if (plan.readShellVerbFile) {
        if (!platform::FileExists(settings::DataFolder() + L"\\ShellVerb.dat")) return;
        if (haveRemovalHost) (void)platform::ShellOpen(removalHost, L"rightMenu_statistics");
        ForcedUninstallForShellVerbFile();
        return;
    }
    if (plan.pendingForcedUninstallText) {
        pendingForcedUninstallText_ = *plan.pendingForcedUninstallText;
        test_seam::Log(L"pending: " + pendingForcedUninstallText_);
        ::PostMessageW(hwnd(), UM_FORCEDUNINSTALL, 0, 0);
    }
    if (haveRemovalHost && !plan.removalHostArgument.empty())
        (void)platform::ShellOpen(removalHost, plan.removalHostArgument);
}

}  // namespace tarvo::shell
