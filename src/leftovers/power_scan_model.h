#pragma once
// The removal window's decisions without the window: ticking, the select link, the Delete
// button, the shredder box, the removal run with its progress, Cancel, and when the window
// closes. TfrmPowerScan implements IPowerScanView and forwards its events here; tests drive
// it with a recording view.

#include <functional>
#include <memory>
#include <string>

#include "leftovers/removal.h"
#include "leftovers/tick_tree.h"

namespace tarvo::leftovers {

class IPowerScanView : public IRemovalProgress {
public:
    // Yes/No with the question icon and the window's title; true for Yes.
    virtual bool Confirm(const std::wstring& question) = 0;
    // Progress bar and current-item label shown, select link and shredder box hidden; or back.
    virtual void SetRunning(bool running) = 0;
    virtual void AllowMove(bool allowed) = 0;
    virtual void SetDeleteEnabled(bool enabled) = 0;
    virtual void SetLinkText(const std::wstring& text) = 0;
    virtual void SetShredderTicked(bool ticked) = 0;
    // The tree's nodes, captions or states changed: show them again.
    virtual void TreeChanged() = 0;
    virtual void CloseWindow() = 0;
    // The final state after a run that left nothing to do: the select link and shredder box
    // give way to `text`, which says where the removed items went.
    virtual void ShowFinished(const std::wstring& text) = 0;
    // Something the run could not finish by itself that the user must know (a service that
    // goes only at the restart). A view that shows no messages ignores it.
    virtual void Tell(const std::wstring& /*text*/) {}

protected:
    ~IPowerScanView() = default;
};

struct TPowerScanSettings {
    std::function<bool()> readShredder;         // Main.ini [Main] "File Shredder"
    std::function<void(bool)> writeShredder;
    std::function<void(const std::wstring&)> reportStatistic;  // statistic::kPowerfulScanRun when a run starts
    // Where backups go; empty: no backup (the files are deleted for good).
    std::wstring backupRoot;
    // Runs before the removal deletes anything (a traced program's changed values are put
    // back here, saved into the run's backup first; null without one), and after it.
    std::function<void(TRemovalBackup* backup)> beforeRemoval;
    std::function<void()> afterRemoval;
};

class TPowerScanModel {
public:
    TPowerScanModel(TResultTree& tree, IPowerScanView& view, TRemovalActions actions, TPowerScanSettings settings,
                    TGuardProbes probes = {});

    void Shown();
    void Toggle(TTreeNode& node);
    void SelectLinkClicked();
    void ShredderClicked();
    void DeleteClicked();
    // Cancel and the close button: closes at once, or stops a running removal at its next check.
    void CancelClicked();

    [[nodiscard]] bool deleting() const noexcept { return deleting_; }
    [[nodiscard]] bool cancelRequested() const noexcept { return cancelRequested_; }
    [[nodiscard]] bool allDone() const noexcept { return ticks_.allDone(); }
    [[nodiscard]] bool shredder() const noexcept { return shredder_; }
    [[nodiscard]] bool closed() const noexcept { return closed_; }
    [[nodiscard]] const TTickTree& ticks() const noexcept { return ticks_; }
    [[nodiscard]] const TRemovalOutcome& lastOutcome() const noexcept { return last_; }
    // What the final state says after a run whose removed items were backed up.
    [[nodiscard]] static std::wstring BackedUpText();
    // The backup folder of the last run; empty when nothing was backed up.
    [[nodiscard]] const std::wstring& lastBackup() const noexcept { return lastBackup_; }

private:
    void ShowButtons();
    void Close();

    TResultTree& tree_;
    IPowerScanView& view_;
    TPowerScanSettings settings_;
    TTickTree ticks_;
    TLeftoverRemoval removal_;
    TRemovalActions actions_;
    bool shredder_ = false;
    bool deleting_ = false;
    bool cancelRequested_ = false;
    bool closed_ = false;
    TRemovalOutcome last_;
    std::wstring lastBackup_;
};

}  // namespace tarvo::leftovers
