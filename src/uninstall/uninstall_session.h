#pragma once
// The uninstall dialog's decisions, without a window: which stage it is in, what the
// Uninstall, Powerful Scan and Cancel buttons and the one-shot timer do, what gets logged,
// and whether the catalogue must be read again afterwards. The window implements
// IUninstallView and forwards its events here; tests drive it with a recording view.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "inventory/program_places.h"
#include "inventory/soft_info.h"
#include "platform/shell.h"
#include "uninstall/operation_log.h"
#include "uninstall/uninstall_stage.h"

namespace tarvo::settings {
class TMainIni;
}

namespace tarvo::uninstall {

// What the session asks of its window.
class IUninstallView {
public:
    virtual void ApplyStage(TUninstallStage stage) = 0;  // shows StageLook(stage)
    virtual void SetCreateRestoreTicked(bool ticked) = 0;
    virtual void ShowProgressTitle(const std::wstring& text) = 0;
    virtual void SetBusy(bool busy) = 0;  // the spinning pointer
    virtual void EnableUninstall(bool enabled) = 0;
    virtual void EnableScan(bool enabled) = 0;
    virtual void StartTimer(unsigned milliseconds) = 0;  // calls TimerFired once
    virtual void HideDialog() = 0;
    // An OK message with the application title, then the application window comes forward.
    virtual void ShowNotice(const std::wstring& text) = 0;
    virtual void CloseDialog() = 0;
    // The batch's "without their own questions" box; a window that does not offer it ignores this.
    virtual void SetQuietTicked(bool /*ticked*/) {}
    // Said over the dialog, which stays: which programs of a quiet batch will still ask.
    virtual void ShowQuietWarning(const std::wstring& /*text*/) {}

protected:
    ~IUninstallView() = default;
};

// What the leftover scan is asked to look at.
struct TLeftoverScanRequest {
    std::vector<const inventory::TSoftInfo*> entries;  // in list order; empty for a bare folder
    std::wstring folder;                               // a bare folder, with its trailing backslash
    bool batch = false;                                // several checked entries, one tree
    // The catalogue's visible programs and their folders when the dialog opened, before
    // the uninstaller removed anything: whose files are whose, and how many programs share
    // a folder. None: the scan reads the catalogue itself.
    std::optional<std::vector<inventory::TProgramPlace>> catalogue;
    // Where the results window reports its events; none when empty.
    std::function<void(const std::wstring& code)> reportStatistic;
    // The catalogue's small icons, which an entry's ImageIndex points into: the findings show
    // each program with the icon it has in the list. None: the icon comes from DisplayIcon.
    int catalogueIconCount = 0;
    std::function<platform::unique_hicon(int index)> catalogueIcon;
};
// Scans and returns how to show the findings modally, or an empty function when nothing
// was found. `cancelRequested` may turn true while it runs (it pumps messages); a batch
// scan stops before its next entry then.
using TLeftoverScan = std::function<std::function<void()>(const TLeftoverScanRequest& request,
                                                          const std::function<bool()>& cancelRequested)>;

// What the session does to the world. DefaultUninstallActions wires the real ones.
struct TUninstallActions {
    std::function<bool()> isWindows2000;
    std::function<void()> createRestorePoint;  // frequency value, request, wait
    std::function<std::wstring(const inventory::TSoftInfo&)> uninstallEntry;
    std::function<SYSTEMTIME()> now;
    std::function<void(const std::vector<std::wstring>&)> writeLog;
    std::function<void(bool)> saveCreateRestore;
    std::function<void(const std::wstring&)> deleteFileIfPresent;
    TLeftoverScan scan;  // empty: every scan finds nothing
    // An event for the optional statistics library (statistic::kLeftoverScan when a leftover scan starts).
    std::function<void(const std::wstring& code)> reportStatistic;
    // A batch run without the uninstallers' own questions: the box's stored state, how a change
    // is stored, and the command that runs an entry quietly (empty: it runs as it is). Without
    // quietCommand the box is not offered.
    bool quietBatch = false;
    std::function<void(bool)> saveQuietBatch;
    std::function<std::wstring(const inventory::TSoftInfo&)> quietCommand;
    // Each entry is noted before its uninstaller starts and struck off when the dialog ends, so
    // that a crash in between leaves its scan to the next start.
    std::function<void(const inventory::TSoftInfo&)> noteForScan;
    std::function<void(const std::vector<const inventory::TSoftInfo*>&)> strikeOff;
};

[[nodiscard]] TUninstallActions DefaultUninstallActions(const LogContext& log, const settings::TMainIni& ini);

// How the forced uninstall opened the dialog.
struct TForcedOpening {
    enum Kind { None, WithEntry, WithoutEntry };
    Kind kind = None;
    std::wstring rawPath;                     // what the user gave, maybe a shortcut
    std::function<std::wstring()> targetPath;  // the resolved path, read when needed
};

class TUninstallSession {
public:
    // `entries`: the selected entry, or in batch mode every checked entry in list order.
    TUninstallSession(std::vector<const inventory::TSoftInfo*> entries, bool batchMode, bool createRestore,
                      IUninstallView& view, TUninstallActions actions, TForcedOpening forced = {});

    // The dialog has been shown: a fresh cancel flag, and the forced start without entry.
    void Shown();
    void ToggleCreateRestore();
    // Offered in batch mode only, and only while asking.
    [[nodiscard]] bool QuietOffered() const noexcept;
    void ToggleQuiet();
    void UninstallClicked();
    void TimerFired();
    void ScanClicked();
    // Cancel and the close button.
    void CancelClicked();

    [[nodiscard]] TUninstallStage stage() const noexcept { return stage_; }
    [[nodiscard]] bool cancelRequested() const noexcept { return cancelRequested_; }
    [[nodiscard]] bool uninstallStarted() const noexcept { return uninstallStarted_; }
    [[nodiscard]] bool createRestore() const noexcept { return createRestore_; }
    [[nodiscard]] bool quiet() const noexcept { return quiet_; }
    [[nodiscard]] bool closed() const noexcept { return closed_; }
    // The catalogue must be read again: an uninstall or a scan ran.
    [[nodiscard]] bool workDone() const noexcept { return workDone_; }

private:
    void EnterStage(TUninstallStage stage);
    void RunEntries();
    void Close();
    [[nodiscard]] bool SingleRun() const noexcept;
    [[nodiscard]] TLeftoverScanRequest ScanRequest() const;

    std::vector<const inventory::TSoftInfo*> entries_;
    bool batchMode_;
    bool createRestore_;
    bool quiet_ = false;
    std::vector<std::wstring> quietCommands_;  // per entry, decided when Uninstall is clicked
    IUninstallView& view_;
    TUninstallActions actions_;
    TForcedOpening forced_;
    TUninstallStage stage_ = usAsk;
    bool cancelRequested_ = false;
    bool uninstallStarted_ = false;
    bool timerRan_ = false;
    bool scanStarted_ = false;
    bool workDone_ = false;
    bool closed_ = false;
};

// The folder a bare-folder scan looks at: the path itself when it is a folder, else the
// folder it is in; always with a trailing backslash.
[[nodiscard]] std::wstring ScanFolderOf(const std::wstring& targetPath);

}  // namespace tarvo::uninstall
