#pragma once
// The log manager: two views beside each other. "Day Logs" lists the day files of the log
// folder as icons, opens one in Notepad, deletes one or all; "Backups" lists what removals
// kept and restores one. Its decisions live in uninstall::TLogManager and
// leftovers::BackupList; this window forwards clicks there and shows the outcome.

#include <windows.h>

#include <functional>
#include <string>

#include "leftovers/backup_list.h"
#include "shell/control_ids.h"
#include "ui/frameless_dialog.h"
#include "ui/image_button.h"
#include "platform/sqlite_library.h"
#include "trace/trace_list.h"
#include "uninstall/log_manager.h"

namespace tarvo::shell {

class TfrmLogManage final : public ui::FramelessDialog {
public:
    static constexpr const wchar_t* kClassName = L"TfrmLogManage";
    // Control ids of this window.
    static constexpr int kIdList = control_ids::kLogManager + 1;
    static constexpr int kIdOpen = control_ids::kLogManager + 2;
    static constexpr int kIdDelete = control_ids::kLogManager + 3;
    static constexpr int kIdDeleteAll = control_ids::kLogManager + 4;
    static constexpr int kIdCancel = control_ids::kLogManager + 5;
    static constexpr int kIdClose = control_ids::kLogManager + 6;
    static constexpr int kIdLogsPage = control_ids::kLogManager + 7;
    static constexpr int kIdBackupsPage = control_ids::kLogManager + 8;
    static constexpr int kIdBackupList = control_ids::kLogManager + 9;
    static constexpr int kIdRestore = control_ids::kLogManager + 10;
    static constexpr int kIdTracesPage = control_ids::kLogManager + 11;
    static constexpr int kIdTraceList = control_ids::kLogManager + 12;

    // Asks a yes/no question; true for Yes. Tests answer without a message box.
    using AskFn = std::function<bool(HWND owner, const std::wstring& question)>;
    // Tells the outcome of a restore. Tests read it without a message box.
    using InformFn = std::function<void(HWND owner, const std::wstring& text)>;

    // `backupRoot` empty: the "Backup" folder beside the log folder.
    explicit TfrmLogManage(std::wstring logFolder, AskFn ask = {}, std::wstring backupRoot = {}, InformFn inform = {});
    ~TfrmLogManage() override;

    // Creates the window centred on `owner` (or the screen) and lists the folder.
    bool Create(HWND owner);
    [[nodiscard]] bool IsOpen() const noexcept { return hwnd() != nullptr; }
    [[nodiscard]] const uninstall::TLogManager& Model() const noexcept { return model_; }
    [[nodiscard]] const leftovers::BackupList& Backups() const noexcept { return backups_; }
    [[nodiscard]] leftovers::LogManagerView View() const noexcept { return view_; }
    void ShowView(leftovers::LogManagerView view);

private:
    void OnPaint(HDC dc) override;
    void OnCommand(int id, int code) override;
    LRESULT OnNotify(const NMHDR& header) override;

    void CreateControls();
    void LayOutButtons();
    void FillList();
    void DeleteBackup();
    void FillBackups();
    void FillTraces();
    void DeleteTrace();
    void UpdateButtons();
    void SyncSelection();
    void OpenSelected();
    void DeleteSelected();
    void DeleteAll();
    void RestoreSelected();

    uninstall::TLogManager model_;
    leftovers::BackupList backups_;
    platform::SqliteLibrary sqlite_;
    trace::TraceList traces_;
    leftovers::LogManagerView view_ = leftovers::LogManagerView::DayLogs;
    AskFn ask_;
    InformFn inform_;
    HWND list_ = nullptr;
    HWND backupList_ = nullptr;
    HWND traceList_ = nullptr;
    ui::ImageButton close_, logsPage_, backupsPage_, tracesPage_, open_, delete_, deleteAll_, restore_, cancel_;
};

// Opens the log manager modally over `owner` and returns when the user has closed it.
void ShowLogManager(HWND owner, const std::wstring& logFolder);

// A text of the log manager's section of the language file.
[[nodiscard]] std::wstring LogManagerText(const std::wstring& control, const wchar_t* english);

}  // namespace tarvo::shell
