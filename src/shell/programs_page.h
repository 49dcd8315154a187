#pragma once
// The installed-programs page of the main window: the category bar, the programs list and
// its footer. It owns the catalogue once start-up has built it, shows the rows the page
// logic (inventory/software_page.h) decides, and hands the analysis thread's results to the
// list. Commands of the list's context menu are in programs_page_menu.cpp.

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "inventory/analysis_sink.h"
#include "inventory/software_info.h"
#include "inventory/software_page.h"
#include "shell/control_ids.h"
#include "shell/statistics_library.h"
#include "ui/category_bar.h"
#include "ui/gdi.h"
#include "ui/image_button.h"
#include "ui/virtual_list_view.h"
#include "ui/window_base.h"

namespace tarvo::shell {

// What "Uninstall" hands to the uninstall window: the entries to remove, whether they come
// from batch mode's check boxes (which decides the message when there are none), and what
// the way it was asked for reports to the statistics library first.
struct UninstallRequest {
    std::vector<inventory::TSoftInfo*> entries;
    bool batch = false;
    std::vector<StatisticEvent> statistics;
};

class TFrame_Software final : public ui::WindowBase, private ui::ListDataSource, private inventory::IAnalysisSink {
public:
    static constexpr const wchar_t* kClassName = L"TFrame_Software";
    enum ControlId { kCategoryBarId = control_ids::kProgramsPage, kListId, kBatchButtonId, kViewButtonId, kUninstallButtonId };

    TFrame_Software();
    ~TFrame_Software() override;

    bool Create(HWND parent, int id, const RECT& bounds, int dpi);
    void Move(const RECT& bounds);

    // Sizes the category labels to their texts in the loaded language; with markCurrent the
    // underline moves to the current category. Also re-reads the page's other texts.
    void LayOutCategoryBar(bool markCurrent);

    // Start-up steps, in this order.
    void BuildCatalogue(inventory::TSoftwareInfo::Options options = {});
    void SelectAllPrograms();
    void RestoreSort();

    // The page's state to Main.ini when the window closes.
    void SaveSettings() const;

    // The main window's search box changed (trimmed text).
    void OnSearchText(const std::wstring& trimmed);
    // "Refresh" in the menu: the search box is cleared. F5 and the end of an uninstall keep
    // the search. Ignored before the catalogue is built and while a refresh runs.
    void Refresh(bool fromMenu);
    void ExportList();
    void SetViewStyle(inventory::TViewStyle style);
    void ToggleBatch();
    // The uninstall action: the selected row, or in batch mode every checked row unless
    // `single` asks for the selected one alone.
    void UninstallSelected(bool single, std::vector<StatisticEvent> statistics = {});
    void Focus();

    [[nodiscard]] inventory::TSoftwareInfo* Catalogue() noexcept { return catalogue_.get(); }
    [[nodiscard]] inventory::TSoftwarePage* Page() noexcept { return page_.get(); }
    [[nodiscard]] ui::VirtualListView& List() noexcept { return list_; }
    // The small icons the entries' ImageIndex points into.
    [[nodiscard]] HIMAGELIST RowIcons() const noexcept { return rowIcons_.get(); }

    // Opens the uninstall window for the request; modal. Nothing is done without it. When it
    // returns true (something was uninstalled or scanned) the page refreshes the catalogue,
    // keeping the search.
    std::function<bool(HWND owner, const UninstallRequest& request)> openUninstallDialog;
    // Empties the main window's search box without notifying anybody.
    std::function<void()> clearSearchBox;

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT type, int width, int height) override;
    void OnPaint(HDC dc) override;
    void OnDestroy() override;

private:
    // ListDataSource
    void GetRow(int row, ui::ListRowData& data) override;
    void OnActivate(int row) override;
    void OnRowButton(int row) override;
    void OnCheck(int row, bool checked) override;
    void OnSort(int column, ui::SortOrder order) override;
    void OnContextMenu(int row, POINT screen) override;

    // IAnalysisSink
    void Synchronize(const std::function<void()>& step) override;
    [[nodiscard]] bool WantsIcons() const override { return true; }
    int AddIcons(HICON small, HICON large) override;
    void UpdateRows(std::size_t index, const inventory::TSoftInfo& entry) override;

    // Context menu commands (programs_page_menu.cpp).
    void RemoveSelectedEntry();
    void OpenSelectedFolder();
    void ViewSelectedEntry();
    void SearchSelectedOnline();
    [[nodiscard]] bool SelectedKeyHasName() const;

    void CreateImageLists();
    void SelectCategory(int index);
    // After the page logic changed its rows: the list's count, header and footer follow.
    void ShowRows(bool keepPosition);
    void ApplyViewStyle();
    void UpdateFooter();
    void LayOut();
    void Paint(HDC dc);
    [[nodiscard]] int S(int value) const noexcept { return ui::ScaleForDpi(value, dpi_); }

    std::unique_ptr<inventory::TSoftwareInfo> catalogue_;
    std::unique_ptr<inventory::TSoftwarePage> page_;
    inventory::TSoftList noEntries_;  // what the page shows before the catalogue exists
    std::atomic<HWND> syncTarget_{nullptr};
    ui::unique_himagelist rowIcons_, largeIcons_;
    ui::CategoryBar categories_;
    ui::VirtualListView list_;
    ui::ImageButton batch_, view_, uninstall_;
    RECT footer_{};
    int dpi_ = 96;
};

// The caption of one of the main window's controls in the loaded language.
[[nodiscard]] std::wstring MainWindowText(const std::wstring& control, const wchar_t* english);

}  // namespace tarvo::shell
