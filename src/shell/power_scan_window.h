#pragma once
// "Powerful Scan": the leftover findings as a tree with three-state boxes, the select link,
// the file shredder box, Delete and Cancel, the warning band for folders shared by several
// programs, a size grip and maximise/restore. Every decision is leftovers::TPowerScanModel's;
// this window forwards its events there and shows what the model says.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "language/translation.h"
#include "leftovers/power_scan_model.h"
#include "trace/trace_item.h"
#include "leftovers/result_tree.h"
#include "shell/control_ids.h"
#include "ui/gdi.h"
#include "ui/image_button.h"
#include "ui/tool_hints.h"
#include "ui/tri_state_tree.h"
#include "ui/frameless_dialog.h"

namespace tarvo::shell {

class TfrmPowerScan final : public ui::FramelessDialog, private leftovers::IPowerScanView {
public:
    static constexpr const wchar_t* kClassName = L"TfrmPowerScan";
    static constexpr int kIdTree = control_ids::kPowerScan + 1;
    static constexpr int kIdDelete = control_ids::kPowerScan + 2;
    static constexpr int kIdCancel = control_ids::kPowerScan + 3;
    static constexpr int kIdClose = control_ids::kPowerScan + 4;
    static constexpr int kIdMaximize = control_ids::kPowerScan + 5;
    static constexpr int kIdLink = control_ids::kPowerScan + 6;
    static constexpr int kIdShredder = control_ids::kPowerScan + 7;
    static constexpr int kIdProgress = control_ids::kPowerScan + 8;
    static constexpr int kIdCurrent = control_ids::kPowerScan + 9;
    static constexpr int kMinWidth = 582;   // at 96 DPI
    static constexpr int kMinHeight = 416;

    using ConfirmFn = std::function<bool(HWND owner, const std::wstring& question)>;

    // `images`: the tree's icons as the scan filled them (the fixed four are drawn here).
    TfrmPowerScan(leftovers::TResultTree& tree, const leftovers::TIconList& images, leftovers::TRemovalActions actions,
                  leftovers::TPowerScanSettings settings, ConfirmFn confirm = {});
    ~TfrmPowerScan() override;

    // Created hidden, centred over `owner`.
    bool Create(HWND owner);
    void ShowMultiProgramWarning(bool show);
    [[nodiscard]] leftovers::TPowerScanModel& Model() noexcept { return model_; }

private:
    void OnPaint(HDC dc) override;
    void OnClose() override;
    void OnSize(UINT type, int width, int height) override;
    void OnCommand(int id, int code) override;
    LRESULT OnNotify(const NMHDR& header) override;
    void OnModalStart() override;
    [[nodiscard]] bool ModalEnded() const override { return ended_; }
    void OnEscape() override;
    [[nodiscard]] bool HeadingBandMoves() const override { return moveAllowed_; }
    void OnMaximizedChanged() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // IPowerScanView
    void SetProgress(int percent) override;
    void ShowFinished(const std::wstring& text) override;
    void Tell(const std::wstring& text) override;
    void ShowCurrentItem(const std::wstring& text) override;
    void Pump() override;
    bool Confirm(const std::wstring& question) override;
    void SetRunning(bool running) override;
    void AllowMove(bool allowed) override { moveAllowed_ = allowed; }
    void SetDeleteEnabled(bool enabled) override;
    void SetLinkText(const std::wstring& text) override;
    void SetShredderTicked(bool ticked) override;
    void TreeChanged() override;
    void CloseWindow() override;

    void CreateControls();
    void AddTranslations();
    void FillTree();
    void Layout();
    [[nodiscard]] int WarningHeight() const noexcept { return warning_ ? Scale(36) : 0; }

    leftovers::TResultTree& tree_;
    const leftovers::TIconList& images_;
    ConfirmFn confirm_;
    leftovers::TPowerScanModel model_;
    bool warning_ = true;
    bool moveAllowed_ = true;
    bool running_ = false;
    bool finished_ = false;  // the final state's text stands where the progress was
    bool ended_ = false;
    ui::TriStateTree view_;
    std::map<const leftovers::TTreeNode*, HTREEITEM> handles_;
    ui::ImageButton delete_, cancel_, close_, maximize_;
    HWND link_ = nullptr, shredder_ = nullptr, progress_ = nullptr, current_ = nullptr;
    ui::ToolHints hints_;
    ui::unique_hfont treeFont_;
    std::wstring title_, warningLabel_, warningText_, maxHint_, restoreHint_, closeHint_;
    std::unique_ptr<language::TTranslatableWindow> texts_;
};

// Shows the findings modally over `owner`; returns when the window has closed.
// `multiProgramWarning`: more than one catalogue entry lives in the scanned folder.
// `reportStatistic` takes the removal's event for the statistics library. `traced` holds the
// items of the traced programs in the tree: their changed values are put back by the removal.
void ShowPowerScan(HWND owner, leftovers::TResultTree& tree, const leftovers::TIconList& images,
                   bool multiProgramWarning, std::function<void(const std::wstring&)> reportStatistic = {},
                   std::vector<trace::TraceItem> traced = {});

}  // namespace tarvo::shell
