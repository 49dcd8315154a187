#include "leftovers/power_scan_model.h"

#include "language/language.h"
#include "settings/statistic_events.h"

namespace tarvo::leftovers {

TPowerScanModel::TPowerScanModel(TResultTree& tree, IPowerScanView& view, TRemovalActions actions,
                                 TPowerScanSettings settings, TGuardProbes probes)
    : tree_(tree),
      view_(view),
      settings_(std::move(settings)),
      ticks_(tree),
      removal_(tree, actions, std::move(probes)),
      actions_(std::move(actions)) {}

void TPowerScanModel::ShowButtons() {
    view_.SetDeleteEnabled(ticks_.deleteEnabled());
    view_.SetLinkText(ticks_.LinkText());
}

void TPowerScanModel::Shown() {
    ticks_.Shown();
    shredder_ = settings_.readShredder && settings_.readShredder();
    view_.SetShredderTicked(shredder_);
    ShowButtons();
}

void TPowerScanModel::Toggle(TTreeNode& node) {
    if (deleting_ || closed_) return;
    ticks_.Toggle(node);
    view_.TreeChanged();
    ShowButtons();
}

void TPowerScanModel::SelectLinkClicked() {
    if (deleting_ || closed_) return;
    ticks_.SelectLinkClicked();
    view_.TreeChanged();
    ShowButtons();
}

void TPowerScanModel::ShredderClicked() {
    if (deleting_ || closed_) return;
    shredder_ = !shredder_;
    view_.SetShredderTicked(shredder_);
    if (settings_.writeShredder) settings_.writeShredder(shredder_);
}

void TPowerScanModel::DeleteClicked() {
    if (deleting_ || closed_ || !ticks_.deleteEnabled()) return;
    deleting_ = true;
    view_.AllowMove(false);
    if (!view_.Confirm(language::GetText(L"PowerfulScan_DeleteASK_M",
                                         L"Are you sure you want to delete the selected items?"))) {
        deleting_ = false;
        view_.AllowMove(true);
        return;
    }
    if (settings_.reportStatistic) settings_.reportStatistic(settings::statistic::kPowerfulScanRun);
    view_.SetRunning(true);
    view_.SetDeleteEnabled(false);
    std::unique_ptr<TRemovalBackup> backup;
    SYSTEMTIME now = actions_.now ? actions_.now() : SYSTEMTIME{};
    if (!actions_.now) ::GetLocalTime(&now);
    if (!settings_.backupRoot.empty()) backup = std::make_unique<TRemovalBackup>(settings_.backupRoot, now);
    TRemovalRun run;
    run.shred = shredder_;
    run.backup = backup.get();
    run.cancelRequested = [this] { return cancelRequested_; };
    if (settings_.beforeRemoval) settings_.beforeRemoval(backup.get());
    last_ = removal_.RemoveTicked(run, view_);
    if (settings_.afterRemoval) settings_.afterRemoval();
    if (backup) lastBackup_ = backup->Folder();
    if (!last_.somethingUnticked) ticks_.SetAllDone(true);
    ticks_.TreeChanged();
    view_.TreeChanged();
    view_.SetRunning(false);
    if (!last_.notices.empty()) {
        std::wstring text;
        for (const auto& notice : last_.notices) text += (text.empty() ? L"" : L"\r\n") + notice;
        view_.Tell(text);
    }
    ShowButtons();
    deleting_ = false;
    // With a backup the window stays to say where the items went; it cannot be said once
    // it has closed. Without one there is nothing to tell, and an empty tree closes it.
    if (!lastBackup_.empty() && ticks_.allDone())
        view_.ShowFinished(BackedUpText());
    else if (tree_.Programs.empty())
        Close();
    view_.AllowMove(true);
    if (cancelRequested_) Close();
}

std::wstring TPowerScanModel::BackedUpText() {
    return language::GetText(L"PowerfulScan_BackedUp_M",
                             L"The removed items were backed up. Log Management > Backups can restore them.");
}

void TPowerScanModel::CancelClicked() {
    cancelRequested_ = true;
    if (!deleting_) Close();
}

void TPowerScanModel::Close() {
    if (closed_) return;
    closed_ = true;
    view_.CloseWindow();
}

}  // namespace tarvo::leftovers
