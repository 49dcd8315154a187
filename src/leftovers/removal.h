#pragma once
// One removal run over the ticked findings of the result tree: registry values and keys and
// files in the first pass, folders (and the emptied nodes) in the second, from the last node
// back to the first so content goes before the folder holding it. What cannot go at once is
// scheduled for the next restart and stays in the tree marked "(Reboot to Delete)". Every
// run's lines go to the day's log.
//
// Two things beyond the plain deletion: each finding is first checked against what the scan
// saw (TRemovalGuard), and with a backup every key and value is exported and every file moved
// into it before it goes, so `RestoreBackup` can undo the run. Shredded files are not kept.

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "leftovers/removal_backup.h"
#include "leftovers/empty_shells.h"
#include "leftovers/removal_guard.h"
#include "leftovers/result_tree.h"
#include "leftovers/shredder.h"
#include "leftovers/system_removal.h"
#include "uninstall/operation_log.h"

namespace tarvo::leftovers {

// What a run shows while it works; the window implements it, tests record it.
class IRemovalProgress {
public:
    virtual void SetProgress(int percent) = 0;
    virtual void ShowCurrentItem(const std::wstring& text) = 0;
    virtual void Pump() = 0;

protected:
    ~IRemovalProgress() = default;
};

// The calls a run makes on the world. DefaultRemovalActions wires the real ones.
struct TRemovalActions {
    std::function<bool(const platform::RegistryLocation& key, const std::wstring& value)> deleteValue;
    std::function<bool(const platform::RegistryLocation& key)> deleteKey;
    std::function<bool(const std::wstring& path)> deleteFile;
    std::function<bool(const std::wstring& path)> removeFolder;
    std::function<void(const std::wstring& path)> scheduleDeleteAtRestart;
    std::function<bool(const std::wstring& path)> canOpenForWriting;
    std::function<TShredResult(const std::wstring& path, const std::function<bool()>& cancel)> shredFile;
    std::function<void(const std::vector<std::wstring>& lines)> writeLog;
    std::function<SYSTEMTIME()> now;
    // Services, scheduled tasks and PATH elements go through the system first (see
    // system_removal.h); none: every item goes the plain way.
    std::function<TSystemStep(const TMyTreeData& item)> systemStep;
};
[[nodiscard]] TRemovalActions DefaultRemovalActions(const uninstall::LogContext& log);

// MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT; the result is not used.
void ScheduleDeleteAtRestart(const std::wstring& path);

struct TRemovalRun {
    bool shred = false;
    TRemovalBackup* backup = nullptr;  // none: deleted for good
    std::function<bool()> cancelRequested;
};

struct TRemovalOutcome {
    int removed = 0;    // gone now
    int scheduled = 0;  // left for the next restart
    int skipped = 0;    // no longer what was scanned: left alone
    int failed = 0;     // registry items that could not be deleted
    bool somethingUnticked = false;
    bool cancelled = false;
    std::vector<std::wstring> logLines;
    std::vector<std::wstring> notices;  // what the user must be told (also in the log)
};

class TLeftoverRemoval {
public:
    // Remembers every finding's present shape: the tree has just been filled by the scan.
    TLeftoverRemoval(TResultTree& tree, TRemovalActions actions, TGuardProbes probes = {});

    TRemovalOutcome RemoveTicked(const TRemovalRun& run, IRemovalProgress& progress);

private:
    void FirstPassItem(TTreeNode& item, const TRemovalRun& run, TRemovalOutcome& outcome);
    void RemoveFileItem(TTreeNode& item, const TRemovalRun& run, TRemovalOutcome& outcome);
    void SecondPass(const TRemovalRun& run, IRemovalProgress& progress, TRemovalOutcome& outcome);
    void MarkForRestart(TTreeNode& node);
    [[nodiscard]] bool Cancelled(const TRemovalRun& run) const;

    void RemoveEmptyShells(const TRemovalRun& run, TRemovalOutcome& outcome);

    TResultTree& tree_;
    TRemovalActions actions_;
    TRemovalGuard guard_;
    TEmptyShells shells_;
    std::set<const TTreeNode*> skipped_;
};

// Group captions become their name with the count of what is left under them; program
// captions the sum of their groups.
void RecountCaptions(TResultTree& tree);

}  // namespace tarvo::leftovers
