#pragma once
// The log manager: lists the day files of the log folder as icons, opens one in Notepad,
// deletes one or all. Its decisions live in uninstall::TLogManager; this window forwards
// clicks there and shows the outcome.

#include <windows.h>

#include <functional>
#include <string>

#include "shell/control_ids.h"
#include "ui/gdi.h"
#include "ui/frameless_dialog.h"
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

    // Asks a yes/no question; true for Yes. Tests answer without a message box.
    using AskFn = std::function<bool(HWND owner, const std::wstring& question)>;

    explicit TfrmLogManage(std::wstring logFolder, AskFn ask = {});
    ~TfrmLogManage() override;

    // Creates the window centred on `owner` (or the screen) and lists the folder.
    bool Create(HWND owner);
    // Disables the owner and runs messages until this window is closed.
    void RunModal();
    [[nodiscard]] bool IsOpen() const noexcept { return hwnd() != nullptr; }
    [[nodiscard]] const uninstall::TLogManager& Model() const noexcept { return model_; }

private:
    void OnPaint(HDC dc) override;
    void OnClose() override { Close(); }
    void OnCommand(int id, int code) override;
    LRESULT OnNotify(const NMHDR& header) override;
    [[nodiscard]] int HeadingBandHeight() const override;

    void CreateControls();
    void FillList();
    void UpdateButtons();
    void SyncSelection();
    void OpenSelected();
    void DeleteSelected();
    void DeleteAll();
    void Close();

    uninstall::TLogManager model_;
    AskFn ask_;
    HWND list_ = nullptr;
    ui::unique_hfont font_;
    ui::unique_hfont headingFont_;
};

// Opens the log manager modally over `owner` and returns when the user has closed it.
void ShowLogManager(HWND owner, const std::wstring& logFolder);

}  // namespace tarvo::shell
