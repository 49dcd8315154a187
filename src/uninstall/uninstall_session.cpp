#include "uninstall/uninstall_session.h"

#include "language/language.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/main_ini.h"
#include "settings/statistic_events.h"
#include "uninstall/log_lines.h"
#include "uninstall/restore_point.h"
#include "uninstall/uninstall_entry.h"

namespace tarvo::uninstall {

TUninstallActions DefaultUninstallActions(const LogContext& log, const settings::TMainIni& ini) {
    TUninstallActions actions;
    actions.isWindows2000 = [] {
        const auto version = platform::GetVersionExOf();
        return version && version->dwMajorVersion == 5 && version->dwMinorVersion == 0;
    };
    actions.createRestorePoint = [] {
        PrepareRestoreFrequency();
        (void)CreateRestorePointAndWait();
    };
    actions.uninstallEntry = [](const inventory::TSoftInfo& entry) { return UninstallEntry(entry); };
    actions.now = [] { return platform::LocalTimeNow(); };
    actions.writeLog = [log](const std::vector<std::wstring>& lines) { (void)WriteUninstallLog(log, lines); };
    actions.saveCreateRestore = [path = ini.Path()](bool on) { (void)settings::TMainIni(path).SetCreateRestore(on); };
    actions.deleteFileIfPresent = [](const std::wstring& path) {
        if (!path.empty() && platform::FileExists(path)) (void)platform::DeleteFileOf(path);
    };
    return actions;
}

std::wstring ScanFolderOf(const std::wstring& targetPath) {
    std::wstring folder = targetPath;
    if (!platform::FolderExists(folder)) {
        const auto slash = folder.find_last_of(L"\\/");
        folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
    }
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

TUninstallSession::TUninstallSession(std::vector<const inventory::TSoftInfo*> entries, bool batchMode,
                                     bool createRestore, IUninstallView& view, TUninstallActions actions,
                                     TForcedOpening forced)
    : entries_(std::move(entries)),
      batchMode_(batchMode),
      createRestore_(createRestore),
      view_(view),
      actions_(std::move(actions)),
      forced_(std::move(forced)) {}

bool TUninstallSession::SingleRun() const noexcept { return !batchMode_ || forced_.kind == TForcedOpening::WithEntry; }

void TUninstallSession::Shown() {
    cancelRequested_ = false;
    view_.SetCreateRestoreTicked(createRestore_);
    if (forced_.kind == TForcedOpening::WithoutEntry) EnterStage(usFilesDeleted);
}

void TUninstallSession::EnterStage(TUninstallStage stage) {
    if (stage == stage_) return;
    stage_ = stage;
    view_.ApplyStage(stage);
    if (stage != usFilesDeleted || !actions_.deleteFileIfPresent) return;
    // What the forced uninstall pointed at goes as a file; a folder stays for the scan.
    actions_.deleteFileIfPresent(forced_.rawPath);
    if (forced_.targetPath) actions_.deleteFileIfPresent(forced_.targetPath());
}

void TUninstallSession::ToggleCreateRestore() {
    if (stage_ != usAsk || closed_) return;
    createRestore_ = !createRestore_;
    view_.SetCreateRestoreTicked(createRestore_);
    if (actions_.saveCreateRestore) actions_.saveCreateRestore(createRestore_);
}

void TUninstallSession::UninstallClicked() {
    if (stage_ != usAsk || uninstallStarted_ || closed_) return;
    uninstallStarted_ = true;
    EnterStage(createRestore_ ? usRestorePoint : usUninstalling);
    view_.EnableUninstall(false);
    view_.StartTimer(100);
}

void TUninstallSession::TimerFired() {
    if (timerRan_ || !uninstallStarted_ || closed_) return;
    timerRan_ = true;
    if (createRestore_ && !cancelRequested_) {
        if (!actions_.isWindows2000 || !actions_.isWindows2000()) {
            view_.SetBusy(true);
            if (actions_.createRestorePoint) actions_.createRestorePoint();
            view_.SetBusy(false);
        }
        EnterStage(usUninstalling);
    }
    if (!cancelRequested_) RunEntries();
    workDone_ = true;
    if (cancelRequested_)
        Close();
    else
        EnterStage(usFinished);
}

void TUninstallSession::RunEntries() {
    std::vector<std::wstring> lines;
    const auto uninstallOne = [&](const inventory::TSoftInfo& entry) {
        const std::wstring name = actions_.uninstallEntry ? actions_.uninstallEntry(entry) : entry.DisplayName;
        const SYSTEMTIME now = actions_.now ? actions_.now() : platform::LocalTimeNow();
        for (auto& line : UninstallLogLines(name, now)) lines.push_back(std::move(line));
    };
    view_.SetBusy(true);
    if (SingleRun()) {
        if (!entries_.empty() && entries_.front()) {
            view_.ShowProgressTitle(SingleProgressTitle(entries_.front()->DisplayName));
            uninstallOne(*entries_.front());
        }
    } else {
        const int total = static_cast<int>(entries_.size());
        int number = 0;
        for (const inventory::TSoftInfo* entry : entries_) {
            // Cancel lets the running uninstaller finish and skips the rest.
            if (cancelRequested_) break;
            if (!entry) continue;
            view_.ShowProgressTitle(BatchProgressTitle(entry->DisplayName, ++number, total));
            uninstallOne(*entry);
        }
    }
    view_.SetBusy(false);
    if (actions_.writeLog) actions_.writeLog(lines);
}

TLeftoverScanRequest TUninstallSession::ScanRequest() const {
    TLeftoverScanRequest request;
    request.reportStatistic = actions_.reportStatistic;
    if (forced_.kind == TForcedOpening::WithoutEntry) {
        request.folder = ScanFolderOf(forced_.targetPath ? forced_.targetPath() : std::wstring());
    } else if (SingleRun()) {
        if (!entries_.empty()) request.entries.push_back(entries_.front());
    } else {
        request.entries = entries_;
        request.batch = true;
    }
    return request;
}

void TUninstallSession::ScanClicked() {
    if ((stage_ != usFinished && stage_ != usFilesDeleted) || scanStarted_ || closed_) return;
    scanStarted_ = true;
    if (actions_.reportStatistic) actions_.reportStatistic(settings::statistic::kLeftoverScan);
    view_.EnableScan(false);
    EnterStage(usScanning);
    view_.SetBusy(true);
    std::function<void()> showFindings;
    if (!cancelRequested_ && actions_.scan)
        showFindings = actions_.scan(ScanRequest(), [this] { return cancelRequested_; });
    view_.SetBusy(false);
    view_.HideDialog();
    // A cancel during the scan discards whatever it found.
    if (!cancelRequested_) {
        if (showFindings)
            showFindings();
        else
            view_.ShowNotice(language::GetText(L"NoPowerfulScan_Found_Tip", L"No left items found."));
    }
    workDone_ = true;
    Close();
}

void TUninstallSession::CancelClicked() {
    if (closed_) return;
    cancelRequested_ = true;
    // In the working stages the running step ends the dialog when it is done.
    if (stage_ == usAsk || stage_ == usFilesDeleted || stage_ == usFinished) {
        if (uninstallStarted_) workDone_ = true;
        Close();
    }
}

void TUninstallSession::Close() {
    if (closed_) return;
    closed_ = true;
    view_.CloseDialog();
}

}  // namespace tarvo::uninstall
