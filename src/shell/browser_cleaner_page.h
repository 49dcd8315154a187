#pragma once
// The "Browser plug-ins" page of the main window: a tab per installed browser, the
// all-browsers list grouped by trust and one browser's list grouped by kind, the loading
// panel while the browsers are enumerated, and the footer's remove button. Its decisions
// live in addons::TAddonPage; enumeration and removal run on a worker thread
// (TInitCleanerThread) that reports by posted messages, so the page never waits.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "addons/addon_page.h"
#include "online/score_db_helper.h"
#include "online/score_db_source.h"
#include "shell/control_ids.h"
#include "ui/category_bar.h"
#include "ui/image_button.h"
#include "ui/virtual_list_view.h"
#include "ui/window_base.h"

namespace tarvo::platform {
class SqliteLibrary;
}

namespace tarvo::shell {

class TfraBrowserCleaner final : public ui::WindowBase,
                                 private ui::ListDataSource,
                                 private addons::IAddonPageView,
                                 private addons::IBrowserProcesses {
public:
    static constexpr const wchar_t* kClassName = L"TfraBrowserCleaner";
    static constexpr UINT UM_SCANSTART = 0xFD7;
    static constexpr UINT UM_SCANDONE = 0xFD8;
    static constexpr UINT UM_REMOVEDONE = 0xFD9;
    enum ControlId {
        kTabsId = control_ids::kAddonPage,
        kAllListId,
        kBrowserListId,
        kRemoveButtonId,
        kRestoreButtonId,  // opens the browser-restore window
    };

    TfraBrowserCleaner();
    ~TfraBrowserCleaner() override;

    bool Create(HWND parent, int id, const RECT& bounds, int dpi);
    void Move(const RECT& bounds);

    // Makes the cleaners, loads the score database and starts the enumeration. Again later:
    // a refresh (it waits for a running enumeration to end first).
    void Prepare(const platform::SqliteLibrary* sqlite);
    void Refresh();
    // The page is shown.
    void Activate();
    void OnSearchText(const std::wstring& trimmed);
    // After a score download.
    void ReloadScores();
    void Retranslate();
    void Focus();
    // The round button's "Remove": the checked add-ons of the view shown, as the footer's
    // button removes them.
    void RemoveSelected() { page_.RemoveChecked(); }

    // The page switched views: the main window empties its search box (without notifying).
    std::function<void()> clearSearchBox;
    // Tests and the screenshot driver: the cleaners to use instead of this user's browsers.
    std::function<std::vector<std::unique_ptr<addons::TCustomBrowserCleaner>>()> makeCleaners;

    [[nodiscard]] addons::TAddonPage& Page() noexcept { return page_; }
    [[nodiscard]] ui::VirtualListView& CurrentList() noexcept { return page_.AllBrowsersView() ? allList_ : browserList_; }
    void ShowTab(int tab);
    // Opens the vote window for a row of the all-browsers view (modal).
    void VoteForRow(int row);

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

    // IAddonPageView
    void RowsChanged() override;
    void TabsChanged() override;
    void ShowLoading(bool shown) override;
    void Inform(const std::wstring& text) override;
    void Warn(const std::wstring& text) override;
    [[nodiscard]] bool AskYesNo(const std::wstring& text) override;
    [[nodiscard]] bool AskOkCancel(const std::wstring& text) override;
    void RunWorker(Work kind, std::function<void()> work) override;

    // IBrowserProcesses
    [[nodiscard]] bool IsRunning(addons::BrowserKind kind) override;
    void Close(addons::BrowserKind kind) override;

    // The restore-defaults button: the browser-restore window for the current tab's browser.
    void ShowRestoreBrowserDefaults();
    void LayOut();
    [[nodiscard]] int S(int value) const noexcept { return ui::ScaleForDpi(value, dpi_); }

    addons::TAddonPage page_;
    const platform::SqliteLibrary* sqlite_ = nullptr;
    std::unique_ptr<online::TScoreDBHelper> scoreDB_;
    std::unique_ptr<online::ScoreDbSource> scores_;
    std::thread worker_;
    bool loading_ = false;
    bool prepared_ = false;
    ui::CategoryBar tabs_;
    ui::VirtualListView allList_, browserList_;
    ui::ImageButton remove_, restore_;
    RECT footer_{};
    int dpi_ = 96;
};

}  // namespace tarvo::shell
