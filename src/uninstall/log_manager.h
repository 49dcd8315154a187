#pragma once
// What the log manager window decides: its list, which buttons are enabled, and how a log
// is deleted. The window only forwards clicks here and shows the result.

#include <string>
#include <vector>

#include "uninstall/log_listing.h"

namespace tarvo::uninstall {

enum class DeleteOutcome {
    Deleted,            // gone now
    ScheduledAtRestart, // in use: goes at the next restart
    Failed,             // neither worked; the file stays
};

// Deletes the file, or schedules it for the next restart when it cannot go now.
DeleteOutcome DeleteOrScheduleAtRestart(const std::wstring& path);

class TLogManager {
public:
    explicit TLogManager(std::wstring logFolder);

    // Reads the folder again; nothing is selected afterwards.
    void Refresh();

    [[nodiscard]] const std::vector<LogFileRecord>& Items() const noexcept { return items_; }
    [[nodiscard]] const std::wstring& Folder() const noexcept { return folder_; }

    // -1 for no selection; an index outside the list counts as none.
    void Select(int index) noexcept;
    [[nodiscard]] int Selected() const noexcept { return selected_; }

    [[nodiscard]] bool CanOpen() const noexcept { return selected_ >= 0; }
    [[nodiscard]] bool CanDelete() const noexcept { return selected_ >= 0; }
    [[nodiscard]] bool CanDeleteAll() const noexcept { return !items_.empty(); }

    // The file to hand to notepad, empty without a selection.
    [[nodiscard]] std::wstring OpenPath() const;
    [[nodiscard]] std::wstring PathAt(int index) const;

    // The questions the window asks before deleting.
    [[nodiscard]] static std::wstring DeleteQuestion();
    [[nodiscard]] static std::wstring DeleteAllQuestion();

    // Removes the selected item from the list, whatever became of its file, and clears the
    // selection. Failed when nothing was selected.
    DeleteOutcome DeleteSelected();
    // Every listed file; the list is empty afterwards. One outcome per item, in list order.
    std::vector<DeleteOutcome> DeleteAll();

private:
    std::wstring folder_;
    std::vector<LogFileRecord> items_;
    int selected_ = -1;
};

}  // namespace tarvo::uninstall
