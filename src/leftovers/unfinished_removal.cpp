#include "leftovers/unfinished_removal.h"

#include "leftovers/removal_journal.h"

namespace tarvo::leftovers {

namespace {
class NoProgress final : public IRemovalProgress {
public:
    void SetProgress(int) override {}
    void ShowCurrentItem(const std::wstring&) override {}
    void Pump() override {}
};
}  // namespace

TUnfinishedOutcome FinishUnfinishedRemoval(const std::wstring& backupFolder, TRemovalActions actions,
                                           const std::wstring& backupRoot, SYSTEMTIME now) {
    TUnfinishedOutcome outcome;
    TResultTree tree = TreeOfRemainingPlan(backupFolder);
    if (!tree.Programs.empty()) {
        TLeftoverRemoval removal(tree, std::move(actions));
        TRemovalBackup backup(backupRoot, now);
        TRemovalRun run;
        run.backup = &backup;
        NoProgress progress;
        outcome.removal = removal.RemoveTicked(run, progress);
        outcome.newBackup = backup.Folder();
    }
    SettleUnfinished(backupFolder);
    return outcome;
}

TUnfinishedOutcome UndoUnfinishedRemoval(const std::wstring& backupFolder) {
    TUnfinishedOutcome outcome;
    outcome.restore = RestoreBackup(backupFolder);
    SettleUnfinished(backupFolder);
    return outcome;
}

}  // namespace tarvo::leftovers
