#include "uninstall/uninstall_session.h"

#include <memory>

#include "common/text.h"
#include "inventory/quiet_uninstall.h"
#include "language/language.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/main_ini.h"
#include "settings/statistic_events.h"
#include "uninstall/log_lines.h"
#include "uninstall/restore_point.h"
#include "uninstall/scan_journal.h"
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
    actions.quietBatch = ini.QuietBatch();
    actions.saveQuietBatch = [path = ini.Path()](bool on) { (void)settings::TMainIni(path).SetQuietBatch(on); };
    actions.quietCommand = [](const inventory::TSoftInfo& entry) { return inventory::QuietCommandForEntry(entry).command; };
    // The journal lives in the data folder whose log folder this is; a log kept anywhere else
    // keeps none.
    const std::wstring folder = log.folder;
    constexpr std::wstring_view kLog = L"\\Log";
    if (folder.size() <= kLog.size() || common::UpperCase(folder.substr(folder.size() - kLog.size())) != L"\\LOG")
        return actions;
    const auto journal = std::make_shared<TScanJournal>(folder.substr(0, folder.size() - 3) + TScanJournal::kFileName);
    actions.noteForScan = [journal](const inventory::TSoftInfo& entry) { (void)journal->Add(entry); };
    actions.strikeOff = [journal](const std::vector<const inventory::TSoftInfo*>& entries) {
        (void)journal->Remove(entries);
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
      forced_(std::move(forced)) {
    quiet_ = actions_.quietBatch && QuietOffered();
}

bool TUninstallSession::QuietOffered() const noexcept { return !SingleRun() && actions_.quietCommand != nullptr; }

bool TUninstallSession::SingleRun() const noexcept { return !batchMode_ || forced_.kind == TForcedOpening::WithEntry; }

void TUninstallSession::Shown() {
    cancelRequested_ = false;
    view_.SetCreateRestoreTicked(createRestore_);
    view_.SetQuietTicked(quiet_);
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

void TUninstallSession::ToggleQuiet() {
    if (stage_ != usAsk || closed_ || !QuietOffered()) return;
    quiet_ = !quiet_;
    view_.SetQuietTicked(quiet_);
    if (actions_.saveQuietBatch) actions_.saveQuietBatch(quiet_);
}

void TUninstallSession::UninstallClicked() {
    if (stage_ != usAsk || uninstallStarted_ || closed_) return;
    uninstallStarted_ = true;
    if (quiet_ && QuietOffered()) {
        // Said before anything runs, so that the user knows the batch will still need them.
        std::wstring asking;
        for (const inventory::TSoftInfo* entry : entries_) {
            quietCommands_.push_back(entry ? actions_.quietCommand(*entry) : std::wstring());
            if (entry && quietCommands_.back().empty()) asking += L"\r\n" + entry->DisplayName;
        }
        if (!asking.empty())
            view_.ShowQuietWarning(
                language::GetText(L"QuietBatch_Asks",
                                  L"These programs have no known quiet uninstall and will ask their own questions:") +
                asking);
    }
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
    const auto uninstallOne = [&](const inventory::TSoftInfo& entry, std::size_t index) {
        if (actions_.noteForScan) actions_.noteForScan(entry);
        inventory::TSoftInfo quietly;
        const inventory::TSoftInfo* toRun = &entry;
        if (index < quietCommands_.size() && !quietCommands_[index].empty()) {
            quietly = entry;
            quietly.UninstallString = quietCommands_[index];
            toRun = &quietly;
        }
        const std::wstring name = actions_.uninstallEntry ? actions_.uninstallEntry(*toRun) : entry.DisplayName;
        const SYSTEMTIME now = actions_.now ? actions_.now() : platform::LocalTimeNow();
        for (auto& line : UninstallLogLines(name, now)) lines.push_back(std::move(line));
    };
    view_.SetBusy(true);
    if (SingleRun()) {
        if (!entries_.empty() && entries_.front()) {
            view_.ShowProgressTitle(SingleProgressTitle(entries_.front()->DisplayName));
            uninstallOne(*entries_.front(), 0);
        }
    } else {
        const int total = static_cast<int>(entries_.size());
        int number = 0;
        for (std::size_t index = 0; index < entries_.size(); ++index) {
            const inventory::TSoftInfo* entry = entries_[index];
            // Cancel lets the running uninstaller finish and skips the rest.
            if (cancelRequested_) break;
            if (!entry) continue;
            view_.ShowProgressTitle(BatchProgressTitle(entry->DisplayName, ++number, total));
            uninstallOne(*entry, index);
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
    // Scanned, or left unscanned by the user's own choice: either way no longer pending.
    if (uninstallStarted_ && actions_.strikeOff) actions_.strikeOff(entries_);
    view_.CloseDialog();
}

}  // namespace tarvo::uninstall
