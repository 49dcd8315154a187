#pragma once
// The removal backups as the log manager's "Backups" view shows them: one row per run with
// its time, programs and counts, the question before a restore and the report after it. The
// window forwards clicks here and shows the texts.

#include <string>
#include <vector>

#include "leftovers/removal_backup.h"

namespace tarvo::leftovers {

struct BackupRecord {
    std::wstring folder;  // full path of the backup folder
    std::wstring when;    // "2013-05-12 14:03:07", read from the folder's name
    std::vector<std::wstring> programs;
    int keys = 0;
    int values = 0;
    int files = 0;
    int folders = 0;
    std::wstring restored;  // when it was put back, "2013-05-12 14:20:31"; empty while it never was
};

// The backup in `folder`; nothing (an empty folder path) when it holds no manifest of ours.
[[nodiscard]] BackupRecord ReadBackupRecord(const std::wstring& folder);
// Every backup below `backupRoot`, newest first. A missing root lists nothing.
[[nodiscard]] std::vector<BackupRecord> ListBackups(const std::wstring& backupRoot);
// "Foo, Bar"; the "unknown program" text for backups that name none.
[[nodiscard]] std::wstring ProgramsText(const BackupRecord& record);

class BackupList {
public:
    explicit BackupList(std::wstring backupRoot);

    // Reads the folder again; nothing is selected afterwards.
    void Refresh();
    [[nodiscard]] const std::vector<BackupRecord>& Items() const noexcept { return items_; }

    // -1 for no selection; an index outside the list counts as none.
    void Select(int index) noexcept;
    [[nodiscard]] int Selected() const noexcept { return selected_; }
    [[nodiscard]] bool CanRestore() const noexcept { return selected_ >= 0; }
    [[nodiscard]] bool CanDelete() const noexcept { return selected_ >= 0; }

    // The question before restoring the selected backup; empty without a selection.
    [[nodiscard]] std::wstring RestoreQuestion() const;
    // Restores the selected backup; the list is read again afterwards, with the same row selected.
    TRestoreReport RestoreSelected();
    // What the user reads after a restore: what came back, what was left alone and why.
    [[nodiscard]] static std::wstring OutcomeText(const TRestoreReport& report);
    // After a restore that brought everything back, the outcome with the offer to delete the
    // backup, which now holds nothing that is not in its place again; empty otherwise.
    [[nodiscard]] static std::wstring DeleteOfferText(const TRestoreReport& report);

    // The question before deleting the selected backup: a restored one's contents are back in
    // their places, any other's are the only copy left.
    [[nodiscard]] std::wstring DeleteQuestion() const;
    // Deletes the selected backup's folder and reads the list again. False without a selection
    // or when the folder is still there.
    bool DeleteSelected();

private:
    std::wstring root_;
    std::vector<BackupRecord> items_;
    int selected_ = -1;
};

enum class LogManagerView { DayLogs, Backups, Traces };

// Which of the log manager's buttons are shown and which enabled, per view.
struct LogManagerButtons {
    bool dayLogButtonsShown = true;  // Open, Delete, Delete All
    bool restoreShown = false;
    bool openEnabled = false;
    bool deleteEnabled = false;
    bool deleteAllEnabled = false;
    bool restoreEnabled = false;
    bool backupDeleteShown = false;  // Delete, for the selected backup
    bool backupDeleteEnabled = false;
};
[[nodiscard]] LogManagerButtons ButtonsFor(LogManagerView view, bool logSelected, bool logsListed,
                                           const BackupList& backups);

}  // namespace tarvo::leftovers
