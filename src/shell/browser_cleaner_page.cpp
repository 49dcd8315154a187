#include "shell/browser_cleaner_page.h"

#include <algorithm>

#include "addons/browser_cleaners.h"
#include "addons/browser_process.h"
#include "language/language.h"
#include "platform/shell.h"
#include "settings/main_ini.h"
#include "settings/server_addresses.h"
#include "settings/system_info.h"
#include "shell/main_window.h"
#include "shell/page_frame.h"
#include "shell/plugin_vote_window.h"
#include "shell/restore_browser_defaults_window.h"
#include "browserdefaults/explorer_set.h"
#include "shell/test_seam.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"

namespace tarvo::shell {

namespace {

using addons::TAddonPage;

enum MenuCommand : UINT { kMenuRemove = 1, kMenuVote, kMenuRefresh, kMenuSelectAll, kMenuInvert };

std::wstring Title() { return language::GetText(L"Application_Title", L"Tarvo Uninstaller"); }

std::vector<ui::ListColumn> AllColumns() {
    return {
        {MainWindowText(L"ListView_Plugin_Name", L"Name"), 300, ui::ColumnKind::Caption, true, false, {}},
        {MainWindowText(L"ListView_Plugin_Ratings", L"Ratings"), 70, ui::ColumnKind::Text, true, false, {}},
        {MainWindowText(L"ListView_Plugin_MyRating", L"My Rating"), 80, ui::ColumnKind::Text, true, false, {}},
        {MainWindowText(L"ListView_Plugin_Publisher", L"Publisher"), 150, ui::ColumnKind::Text, true, false, {}},
        {MainWindowText(L"ListView_Plugin_Operation", L"Operation"), 100, ui::ColumnKind::Button, false, false, {}},
    };
}

std::vector<ui::ListColumn> BrowserColumns() {
    return {
        {MainWindowText(L"ListView_Plugin_Name", L"Name"), 400, ui::ColumnKind::Caption, true, false, {}},
        {MainWindowText(L"ListView_Plugin_Publisher", L"Publisher"), 180, ui::ColumnKind::Text, true, false, {}},
        {MainWindowText(L"ListView_Plugin_Operation", L"Operation"), 100, ui::ColumnKind::Button, false, false, {}},
    };
}

std::vector<std::wstring> TabLabels(const TAddonPage& page) {
    std::vector<std::wstring> labels;
    for (const auto& tab : page.Tabs()) labels.push_back(tab.label);
    return labels;
}

}  // namespace

TfraBrowserCleaner::TfraBrowserCleaner() : page_(*this, *this) {}

TfraBrowserCleaner::~TfraBrowserCleaner() {
    // The worker touches the cleaners the page owns: it ends before they go.
    if (worker_.joinable()) worker_.join();
}

bool TfraBrowserCleaner::Create(HWND parent, int id, const RECT& bounds, int dpi) {
    dpi_ = dpi;
    if (!CreateChild(kClassName, parent, id, WS_CHILD | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, bounds)) return false;
    tabs_.Create(hwnd(), kTabsId, {}, TabLabels(page_), dpi);
    tabs_.LayOut(true);
    tabs_.onSelect = [this](int index) { ShowTab(index); };
    allList_.Create(hwnd(), kAllListId, {}, AllColumns(), *this, dpi);
    browserList_.Create(hwnd(), kBrowserListId, {}, BrowserColumns(), *this, dpi);
    for (ui::VirtualListView* list : {&allList_, &browserList_}) list->SetCheckBoxes(true);
    ::ShowWindow(browserList_.hwnd(), SW_HIDE);

    remove_.Create(hwnd(), kRemoveButtonId, {},
                   {.style = ui::ButtonStyle::Primary, .text = MainWindowText(L"PopMenu_Plugin_Remove", L"Remove")}, dpi);
    remove_.onClick = [this] { page_.RemoveChecked(); };
    restore_.Create(hwnd(), kRestoreButtonId, {}, {.style = ui::ButtonStyle::Secondary, .text = {}}, dpi);
    restore_.onClick = [this] { ShowRestoreBrowserDefaults(); };
    restore_.Show(false);
    for (ui::ImageButton* button : {&remove_, &restore_}) button->SetBackground(ui::palette::kToolbar);
    LayOut();
    return true;
}

void TfraBrowserCleaner::Prepare(const platform::SqliteLibrary* sqlite) {
    sqlite_ = sqlite;
    prepared_ = true;
    scoreDB_ = std::make_unique<online::TScoreDBHelper>();
    (void)scoreDB_->Load();
    scores_ = std::make_unique<online::ScoreDbSource>(*scoreDB_);
    auto cleaners = makeCleaners ? makeCleaners()
                                 : addons::MakeBrowserCleaners(addons::CleanerEnvironment::OfThisUser(sqlite));
    page_.Prepare(std::move(cleaners), scores_.get(), settings::IsWow64());
}

void TfraBrowserCleaner::Refresh() {
    if (prepared_ && !page_.Busy()) Prepare(sqlite_);
}

void TfraBrowserCleaner::Activate() {
    page_.Activate();
    if (!page_.Busy() && page_.CurrentTab() != 0) ShowTab(0);
    else if (!page_.Busy()) page_.ShowView(0);
    ShowLoading(!prepared_ || page_.Busy());
}

void TfraBrowserCleaner::ShowTab(int tab) {
    page_.ShowView(tab);
    if (clearSearchBox) clearSearchBox();
    page_.SetFilter({});
}

void TfraBrowserCleaner::OnSearchText(const std::wstring& trimmed) { page_.SetFilter(trimmed); }

void TfraBrowserCleaner::ReloadScores() {
    if (!scoreDB_) return;
    (void)scoreDB_->Load();
    page_.ReloadScores();
}

void TfraBrowserCleaner::Retranslate() {
    page_.Retranslate();
    const auto all = AllColumns();
    for (std::size_t i = 0; i < all.size(); ++i) allList_.SetColumnTitle(static_cast<int>(i), all[i].title);
    const auto one = BrowserColumns();
    for (std::size_t i = 0; i < one.size(); ++i) browserList_.SetColumnTitle(static_cast<int>(i), one[i].title);
    remove_.SetText(MainWindowText(L"PopMenu_Plugin_Remove", L"Remove"));
    LayOut();
}

void TfraBrowserCleaner::Focus() { CurrentList().Focus(); }

void TfraBrowserCleaner::Move(const RECT& bounds) {
    ::MoveWindow(hwnd(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void TfraBrowserCleaner::VoteForRow(int row) {
    addons::TPluginItem* item = page_.BeginVote(row);
    if (!item) return;
    TfrmPluginVote window(*item, page_.Aggregate(), settings::ReadServerAddresses(settings::TMainIni()).statistics);
    if (!window.Create(::GetAncestor(hwnd(), GA_ROOT))) return;
    window.ShowModal();
    if (window.Accepted()) page_.VoteRecorded();
}

void TfraBrowserCleaner::ShowRestoreBrowserDefaults() {
    const auto& tabs = page_.Tabs();
    if (page_.CurrentTab() <= 0 || page_.CurrentTab() >= static_cast<int>(tabs.size())) return;
    shell::ShowRestoreBrowserDefaults(::GetAncestor(hwnd(), GA_ROOT), tabs[static_cast<std::size_t>(page_.CurrentTab())].browser);
}

// ---- the worker ----------------------------------------------------------------------

void TfraBrowserCleaner::RunWorker(Work kind, std::function<void()> work) {
    if (worker_.joinable()) worker_.join();  // the previous one has posted its last message
    const HWND window = hwnd();
    worker_ = std::thread([window, kind, work = std::move(work)] {
        // TInitCleanerThread and the removal: the cleaners only, never a window.
        const platform::ComApartment com;
        if (kind == Work::Scan) (void)::PostMessageW(window, UM_SCANSTART, 0, 0);
        try {
            work();
        } catch (...) {
        }
        (void)::PostMessageW(window, kind == Work::Scan ? UM_SCANDONE : UM_REMOVEDONE, 0, 0);
    });
}

std::optional<LRESULT> TfraBrowserCleaner::OnMessage(UINT message, WPARAM, LPARAM) {
    switch (message) {
    case UM_SCANSTART: page_.OnScanStart(); return 0;
    case UM_SCANDONE:
        test_seam::Log(L"step: add-ons enumerated");
        page_.OnScanDone();
        return 0;
    case UM_REMOVEDONE: page_.OnRemoveDone(); return 0;
    default: return std::nullopt;
    }
}

// ---- what the page logic asks ----------------------------------------------------------

void TfraBrowserCleaner::RowsChanged() {
    const bool all = page_.AllBrowsersView();
    ::ShowWindow(allList_.hwnd(), all && !loading_ ? SW_SHOW : SW_HIDE);
    ::ShowWindow(browserList_.hwnd(), !all && !loading_ ? SW_SHOW : SW_HIDE);
    CurrentList().SetRowCount(page_.RowCount(), true);
    CurrentList().RedrawAll();
}

void TfraBrowserCleaner::TabsChanged() {
    tabs_.SetLabels(TabLabels(page_));
    tabs_.LayOut(false);
    (void)tabs_.Select(page_.CurrentTab());
    // Only for a browser whose home page and search the restore window knows.
    const std::wstring restoreText = page_.RestoreButtonText();
    bool restorable = false;
    if (page_.CurrentTab() > 0 && page_.CurrentTab() < static_cast<int>(page_.Tabs().size()))
        for (const auto kind : browserdefaults::kRestorableBrowsers)
            restorable = restorable || kind == page_.Tabs()[static_cast<std::size_t>(page_.CurrentTab())].browser;
    restore_.SetText(restoreText);
    restore_.Show(restorable && !restoreText.empty());
    LayOut();
}

void TfraBrowserCleaner::ShowLoading(bool shown) {
    loading_ = shown;
    RowsChanged();
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void TfraBrowserCleaner::Inform(const std::wstring& text) {
    test_seam::ShowMessageBox(::GetAncestor(hwnd(), GA_ROOT), text, Title(), MB_OK | MB_ICONINFORMATION);
}

void TfraBrowserCleaner::Warn(const std::wstring& text) {
    test_seam::ShowMessageBox(::GetAncestor(hwnd(), GA_ROOT), text, Title(), MB_OK | MB_ICONWARNING);
}

bool TfraBrowserCleaner::AskYesNo(const std::wstring& text) {
    const int answer = test_seam::ShowMessageBox(::GetAncestor(hwnd(), GA_ROOT), text, Title(), MB_YESNO | MB_ICONQUESTION);
    return answer == IDYES || answer == IDOK;
}

bool TfraBrowserCleaner::AskOkCancel(const std::wstring& text) {
    return test_seam::ShowMessageBox(::GetAncestor(hwnd(), GA_ROOT), text, Title(), MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

bool TfraBrowserCleaner::IsRunning(addons::BrowserKind kind) { return addons::IsBrowserRunning(kind); }

void TfraBrowserCleaner::Close(addons::BrowserKind kind) {
    (void)addons::CloseBrowser(kind);
    // The browser lets go of its profile files a moment after it ends.
    ::Sleep(500);
}

// ---- the lists -----------------------------------------------------------------------

void TfraBrowserCleaner::GetRow(int row, ui::ListRowData& data) {
    if (row < 0 || row >= page_.RowCount()) return;
    const addons::PageRow& shown = page_.Row(row);
    // A heading row says whether its group is open.
    data.caption = shown.header ? (page_.Groups()[static_cast<std::size_t>(shown.group)].expanded ? L"- " : L"+ ") + shown.line1
                                : shown.line1;
    data.detail = shown.line2;
    data.checked = shown.checked;
    data.noButton = shown.header;
    for (std::size_t i = 1; i < data.cells.size() && i < shown.cells.size(); ++i) data.cells[i] = shown.cells[i];
    if (!shown.cells.empty()) data.buttonText = shown.cells.back();
}

void TfraBrowserCleaner::OnActivate(int row) {
    if (row < 0 || row >= page_.RowCount()) return;
    if (page_.Row(row).header) page_.ToggleGroup(row);
    else if (page_.AllBrowsersView()) VoteForRow(row);
}

void TfraBrowserCleaner::OnRowButton(int row) { page_.ToggleTrust(row); }

void TfraBrowserCleaner::OnCheck(int row, bool checked) { page_.SetChecked(row, checked); }

void TfraBrowserCleaner::OnSort(int column, ui::SortOrder order) {
    page_.SortBy(column, order == ui::SortOrder::Descending);
}

void TfraBrowserCleaner::OnContextMenu(int row, POINT screen) {
    if (row >= 0) CurrentList().SelectRow(row);
    const ui::unique_hmenu menu(::CreatePopupMenu());
    const bool all = page_.AllBrowsersView();
    const bool voted = row >= 0 && row < page_.RowCount() && page_.Row(row).voted;
    const auto add = [&](UINT id, const wchar_t* control, const wchar_t* english, bool enabled) {
        ::AppendMenuW(menu.get(), MF_STRING | (enabled ? 0u : MF_GRAYED), id, MainWindowText(control, english).c_str());
    };
    const bool idle = !page_.Busy();
    add(kMenuRemove, L"PopMenu_Plugin_Remove", L"Remove", idle);
    if (all) add(kMenuVote, L"PopMenu_Plugin_Vote", L"Vote", idle && !voted);
    add(kMenuRefresh, L"PopMenu_Plugin_Refresh", L"Refresh", idle);
    ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    add(kMenuSelectAll, L"PopMenu_Plugin_SelectAll", L"Select All", idle && row >= 0);
    add(kMenuInvert, L"PopMenu_Plugin_InverseSelect", L"Inverse Select", idle && row >= 0);
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd(), nullptr));
    switch (command) {
    case kMenuRemove: page_.RemoveRow(row); break;
    case kMenuVote: VoteForRow(row); break;
    case kMenuRefresh: Refresh(); break;
    case kMenuSelectAll: page_.SelectAllInGroup(row); break;
    case kMenuInvert: page_.InvertGroup(row); break;
    default: break;
    }
}

// ---- layout and painting -------------------------------------------------------------

void TfraBrowserCleaner::LayOut() {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const int w = client.right, h = client.bottom;
    const int margin = S(16);
    const int barTop = S(6), barBottom = barTop + S(38);
    int tabsRight = w - margin;
    if (::IsWindowVisible(restore_.hwnd())) {
        const int width = std::min(S(220), restore_.PreferredWidth()) + S(24);
        restore_.Move({w - S(14) - width, barTop + S(4), w - S(14), barBottom - S(4)});
        tabsRight = w - S(14) - width - S(8);
    }
    tabs_.Move({margin, barTop, tabsRight, barBottom});
    const int footerHeight = S(58);
    footer_ = {0, h - footerHeight, w, h};
    const RECT list{margin, barBottom + S(10), w - margin, footer_.top - S(12)};
    allList_.Move(list);
    browserList_.Move(list);
    const int buttonHeight = S(32);
    const int buttonTop = footer_.top + (footerHeight - buttonHeight) / 2;
    const int removeWidth = std::max(S(130), remove_.PreferredWidth());
    remove_.Move({w - margin - removeWidth, buttonTop, w - margin, buttonTop + buttonHeight});
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void TfraBrowserCleaner::OnSize(UINT, int, int) { LayOut(); }

void TfraBrowserCleaner::OnPaint(HDC target) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    PaintPageBody(dc, client, footer_, dpi_);
    const RECT list = ChildBounds(hwnd(), allList_.hwnd());
    const int line = std::max(1, dpi_ / 96);
    if (loading_) {
        // The loading panel, centred over where the list goes.
        const int panelWidth = S(280), panelHeight = S(60);
        const int x = (list.left + list.right - panelWidth) / 2, y = (list.top + list.bottom - panelHeight) / 2;
        const RECT panel{x, y, x + panelWidth, y + panelHeight};
        ui::FillSolid(dc, panel, ui::palette::kToolbar);
        ui::FrameSolid(dc, panel, ui::palette::kBorder, line);
        ui::DrawTextLine(dc, language::GetText(L"SearchLoadingMsg", L"Searching for Plug-in ..."), panel,
                         ui::SharedFonts().Get(ui::FontRole::Body, dpi_), ui::palette::kText, DT_CENTER);
    }
    PaintListOutline(dc, list, dpi_);
}

void TfraBrowserCleaner::OnDestroy() {
    allList_.SetRowCount(0, false);
    browserList_.SetRowCount(0, false);
}

}  // namespace tarvo::shell
