#pragma once
// The forced uninstall: the user points at a program file, a shortcut or (through a
// shortcut) a folder, or a hook hands over a program name; the window lists the catalogue
// entries installed there or named so, and "Next" hands the chosen one (or, with none, the
// file itself) to the uninstall dialog. Every decision is uninstall::TForcedUninstall's;
// this window forwards its events there and shows the outcome.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "shell/control_ids.h"
#include "ui/image_button.h"
#include "ui/frameless_dialog.h"
#include "uninstall/forced_uninstall.h"

namespace tarvo::inventory {
class TSoftwareInfo;
}

namespace tarvo::shell {

class TfrmForcedUninstall final : public ui::FramelessDialog, private uninstall::IForcedUninstallView {
public:
    static constexpr const wchar_t* kClassName = L"TfrmForcedUninstall";
    // Control ids of this window.
    static constexpr int kIdPathBox = control_ids::kForcedUninstall + 1;
    static constexpr int kIdBrowse = control_ids::kForcedUninstall + 2;
    static constexpr int kIdNext = control_ids::kForcedUninstall + 3;
    static constexpr int kIdCancel = control_ids::kForcedUninstall + 4;
    static constexpr int kIdClose = control_ids::kForcedUninstall + 5;
    static constexpr int kIdList = control_ids::kForcedUninstall + 6;
    static constexpr int kIdTip = control_ids::kForcedUninstall + 7;

    // Runs the uninstall dialog modally for what "Next" decided; the window is hidden then.
    using OpenUninstallFn = std::function<void(const uninstall::TForcedNext& next)>;

    // `smallIcons`: the catalogue's row icons (entries' ImageIndex), shared, not owned.
    TfrmForcedUninstall(const inventory::TSoftwareInfo* catalogue, HIMAGELIST smallIcons, OpenUninstallFn openUninstall);
    ~TfrmForcedUninstall() override;

    // Creates the window (hidden) centred over `owner`, the main window.
    bool Create(HWND owner);

    // The main window's hand-offs while the window is open, and before it is shown.
    void HandOffName(const std::wstring& name);
    void HandOffPath(const std::wstring& rawPath, const std::wstring& target);

    void BringForward() override;
    [[nodiscard]] uninstall::TForcedUninstall& Model() noexcept { return model_; }
    [[nodiscard]] bool Started() const noexcept { return model_.Started(); }

private:
    void OnPaint(HDC dc) override;
    void OnCommand(int id, int code) override;
    LRESULT OnNotify(const NMHDR& header) override;
    void OnModalStart() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // IForcedUninstallView
    void ShowPathText(const std::wstring& text) override;
    void ShowRows(const std::vector<const inventory::TSoftInfo*>& rows) override;
    void SelectRow(int row) override;
    void ShowPage(uninstall::TForcedPage page) override;
    void EnableNext(bool enabled) override;
    void ShowInvalidPath() override;

    void CreateControls();
    void LayOutButtons();
    void Browse();
    void RunNext();
    void ShowListMenu();

    uninstall::TForcedUninstall model_;
    HIMAGELIST smallIcons_;
    OpenUninstallFn openUninstall_;
    HWND pathBox_ = nullptr;
    HWND list_ = nullptr;
    HWND tip_ = nullptr;
    ui::ImageButton close_, browse_, next_, cancel_;
};

// The texts of this window, from the language's section for it with the English defaults.
[[nodiscard]] std::wstring ForcedUninstallText(const std::wstring& control, const wchar_t* english);

}  // namespace tarvo::shell
