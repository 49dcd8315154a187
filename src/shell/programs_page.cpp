#include "shell/programs_page.h"

#include <algorithm>
#include <utility>

#include "language/language.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "settings/main_ini.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"
#include "shell/page_frame.h"

namespace tarvo::shell {

namespace {

using inventory::TCategory;
using inventory::TViewStyle;

// The analysis thread's steps arrive as this message, sent from the worker.
constexpr UINT kSyncMessage = WM_APP + 40;

constexpr wchar_t kFormSection[] = L"Uninstaller_frmTarvoUninstall";

const wchar_t* const kCategoryControls[] = {L"Label_AllPrograms", L"Label_RecentlyInstalled", L"Label_LargePrograms",
                                            L"Label_InfrequentlyUsed", L"Label_WindowsUpdates"};
const wchar_t* const kCategoryEnglish[] = {L"All Programs", L"Recently Installed", L"Large Programs",
                                           L"Infrequently Used", L"Windows Updates"};

ui::SortOrder OrderOfState(int state) noexcept {
    return state == 2 ? ui::SortOrder::Descending : ui::SortOrder::Ascending;
}

}  // namespace

std::wstring MainWindowText(const std::wstring& control, const wchar_t* english) {
    return language::AppLanguage().ReadText(kFormSection, control + L".Caption", english);
}

TFrame_Software::TFrame_Software() : page_(std::make_unique<inventory::TSoftwarePage>(noEntries_)) {}

TFrame_Software::~TFrame_Software() = default;

bool TFrame_Software::Create(HWND parent, int id, const RECT& bounds, int dpi) {
    dpi_ = dpi;
    if (!CreateChild(kClassName, parent, id, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, bounds))
        return false;
    syncTarget_.store(hwnd());
    // Sort, view style and batch mode are read once, here; the catalogue's page takes them
    // over, so that the first rows are sorted as saved and not sorted a second time.
    const settings::TMainIni ini;
    page_->LoadViewSettings(ini);
    page_->LoadSortSettings(ini);

    std::vector<std::wstring> labels;
    for (int i = 0; i < inventory::kCategoryCount; ++i) labels.push_back(MainWindowText(kCategoryControls[i], kCategoryEnglish[i]));
    categories_.Create(hwnd(), kCategoryBarId, {}, std::move(labels), dpi);
    categories_.LayOut(true);
    categories_.onSelect = [this](int index) { SelectCategory(index); };

    CreateImageLists();
    std::vector<ui::ListColumn> columns(4);
    columns[0] = {language::SharedTexts().ListviewHeader_Software, 380, ui::ColumnKind::Caption, true, false, {}};
    columns[1] = {MainWindowText(L"ListView_Column_Operate", L"Operate"), 110, ui::ColumnKind::Button, false, false,
                  MainWindowText(L"PopMenu_List_Uninstall", L"Uninstall")};
    columns[2] = {MainWindowText(L"ListView_Column_Size", L"Size"), 100, ui::ColumnKind::Text, true, true, {}};
    columns[3] = {MainWindowText(L"ListView_Column_InstallDate", L"Install Date"), 110, ui::ColumnKind::Text, true, false, {}};
    list_.Create(hwnd(), kListId, {}, std::move(columns), *this, dpi);
    list_.SetImageLists(rowIcons_.get(), largeIcons_.get());

    ui::ButtonFace face;
    face.text = MainWindowText(L"RdImageButton_BatchUninstall", L"Batch Uninstall");
    batch_.Create(hwnd(), kBatchButtonId, {}, face, dpi);
    batch_.onClick = [this] { ToggleBatch(); };
    face.text = MainWindowText(L"PopMenu_List_ViewStyle", L"View Style");
    face.glyph = ui::Glyph::ChevronDown;
    view_.Create(hwnd(), kViewButtonId, {}, face, dpi);
    view_.onClick = [this] {
        RECT r{};
        ::GetWindowRect(view_.hwnd(), &r);
        OnContextMenu(-2, POINT{r.left, r.bottom});
    };
    ui::ButtonFace primary;
    primary.style = ui::ButtonStyle::Primary;
    primary.text = MainWindowText(L"PopMenu_List_Uninstall", L"Uninstall");
    uninstall_.Create(hwnd(), kUninstallButtonId, {}, primary, dpi);
    uninstall_.onClick = [this] { UninstallSelected(false); };
    for (ui::ImageButton* button : {&batch_, &view_, &uninstall_}) button->SetBackground(ui::palette::kToolbar);

    ApplyViewStyle();
    list_.SetCheckBoxes(page_->BatchMode());
    batch_.SetChecked(page_->BatchMode());
    LayOut();
    return true;
}

void TFrame_Software::LayOutCategoryBar(bool markCurrent) {
    std::vector<std::wstring> labels;
    for (int i = 0; i < inventory::kCategoryCount; ++i)
        labels.push_back(MainWindowText(kCategoryControls[i], kCategoryEnglish[i]));
    categories_.SetLabels(std::move(labels));
    categories_.LayOut(markCurrent);
    list_.SetColumnTitle(0, language::SharedTexts().ListviewHeader_Software);
    list_.SetColumnTitle(1, MainWindowText(L"ListView_Column_Operate", L"Operate"));
    list_.SetColumnTitle(2, MainWindowText(L"ListView_Column_Size", L"Size"));
    list_.SetColumnTitle(3, MainWindowText(L"ListView_Column_InstallDate", L"Install Date"));
    list_.SetButtonText(1, MainWindowText(L"PopMenu_List_Uninstall", L"Uninstall"));
    batch_.SetText(MainWindowText(L"RdImageButton_BatchUninstall", L"Batch Uninstall"));
    view_.SetText(MainWindowText(L"PopMenu_List_ViewStyle", L"View Style"));
    uninstall_.SetText(MainWindowText(L"PopMenu_List_Uninstall", L"Uninstall"));
    LayOut();
}

void TFrame_Software::CreateImageLists() {
    // Index 0 is the generic program icon: every entry starts with it until the analysis
    // finds its own.
    const int rowSize = S(32);
    const int largeSize = S(48);
    rowIcons_.reset(::ImageList_Create(rowSize, rowSize, ILC_COLOR32 | ILC_MASK, 64, 64));
    largeIcons_.reset(::ImageList_Create(largeSize, largeSize, ILC_COLOR32 | ILC_MASK, 64, 64));
    const platform::IconPair generic =
        platform::ExtractIconPairOf(platform::GetSystemFolder() + L"\\shell32.dll", 2);
    const HICON icon = generic.large ? generic.large.get() : ::LoadIconW(nullptr, IDI_APPLICATION);
    ::ImageList_AddIcon(rowIcons_.get(), icon);
    ::ImageList_AddIcon(largeIcons_.get(), icon);
}

void TFrame_Software::BuildCatalogue(inventory::TSoftwareInfo::Options options) {
    // The worker's steps must still run while the catalogue waits for it to stop; only sent
    // messages are served then, nothing the user does.
    options.analysis.pumpMessages = [] {
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    };
    inventory::IAnalysisSink* sink = this;
    catalogue_ = std::make_unique<inventory::TSoftwareInfo>(sink, std::move(options));
    auto page = std::make_unique<inventory::TSoftwarePage>(catalogue_->Entries());
    // The settings were read when the page was created; the list already shows them.
    page->TakeSettingsOf(*page_);
    page_ = std::move(page);
}

void TFrame_Software::SelectAllPrograms() {
    page_->Show();
    ShowRows(false);
}

void TFrame_Software::RestoreSort() {
    const int column = page_->SortColumn();
    const int state = page_->SortState();
    page_->LoadSortSettings(settings::TMainIni());
    list_.SetSort(page_->SortColumn(), OrderOfState(page_->SortState()));
    // The rows shown already follow the saved sort unless Main.ini changed in between.
    if (page_->SortColumn() == column && page_->SortState() == state) return;
    page_->Show();
    ShowRows(false);
}

void TFrame_Software::SaveSettings() const { page_->SaveSortSettings(settings::TMainIni()); }

void TFrame_Software::SelectCategory(int index) {
    if (index < 0 || index >= inventory::kCategoryCount) return;
    // Redrawing is held while the rows change, so the list never shows a half-filled state.
    ::SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
    if (clearSearchBox) clearSearchBox();
    const bool changed = page_->SelectCategory(static_cast<TCategory>(index));
    categories_.Select(index);
    ::SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    if (changed) {
        list_.SetSort(page_->SortColumn(), OrderOfState(page_->SortState()));
        ShowRows(false);
    }
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
    list_.Focus();
}

void TFrame_Software::OnSearchText(const std::wstring& trimmed) {
    page_->SetSearch(trimmed);
    ShowRows(false);
}

void TFrame_Software::Refresh(bool fromMenu) {
    if (!catalogue_ || catalogue_->Refreshing()) return;
    if (!catalogue_->Refresh()) return;
    if (fromMenu) {
        if (clearSearchBox) clearSearchBox();
        page_->SetSearch({});
    } else {
        page_->SortKeysChanged();
        page_->Show();
    }
    ShowRows(true);
}

void TFrame_Software::ShowRows(bool keepPosition) {
    list_.SetRowCount(page_->RowCount(), keepPosition);
    list_.RedrawAll();
    UpdateFooter();
}

void TFrame_Software::SetViewStyle(TViewStyle style) {
    page_->SetViewStyle(style, settings::TMainIni());
    ApplyViewStyle();
    page_->Show();
    ShowRows(true);
}

void TFrame_Software::ApplyViewStyle() {
    list_.SetViewStyle(page_->ViewStyle() == TViewStyle::LargeIcons ? ui::ListViewStyle::LargeIcons
                                                                    : ui::ListViewStyle::Details);
}

void TFrame_Software::ToggleBatch() {
    page_->ToggleBatch(settings::TMainIni());
    list_.SetCheckBoxes(page_->BatchMode());
    batch_.SetChecked(page_->BatchMode());
    UpdateFooter();
}

void TFrame_Software::UninstallSelected(bool single, std::vector<StatisticEvent> statistics) {
    UninstallRequest request;
    request.batch = page_->BatchMode() && !single;
    request.statistics = std::move(statistics);
    request.entries = page_->UninstallTargets(list_.SelectedRow(), single);
    if (openUninstallDialog && openUninstallDialog(::GetAncestor(hwnd(), GA_ROOT), request)) Refresh(false);
}

void TFrame_Software::Focus() { list_.Focus(); }

void TFrame_Software::GetRow(int row, ui::ListRowData& data) {
    const inventory::TSoftInfo* entry = page_->EntryOfRow(row);
    if (!entry) return;
    data.caption = inventory::RowCaption(*entry);
    if (page_->ViewStyle() == TViewStyle::Details) data.detail = entry->Publisher;
    else data.detail.clear();
    data.icon = entry->ImageIndex;
    data.checked = page_->IsChecked(page_->EntryIndexOfRow(row));
    if (data.cells.size() > 3) {
        data.cells[2] = entry->SizeText;
        data.cells[3] = entry->InstallDateText;
    }
}

void TFrame_Software::OnActivate(int row) {
    if (page_->BatchMode() || !page_->EntryOfRow(row)) return;
    UninstallSelected(true);
}

void TFrame_Software::OnRowButton(int row) {
    list_.SelectRow(row);
    UninstallSelected(true, {{L"6", {7, 0, 0, 0}}, {L"7", {0, 0, 0, 0}}});
}

void TFrame_Software::OnCheck(int row, bool checked) {
    page_->SetChecked(page_->EntryIndexOfRow(row), checked);
    list_.RedrawRow(row);
    UpdateFooter();
}

void TFrame_Software::OnSort(int column, ui::SortOrder order) {
    const int state = order == ui::SortOrder::Descending ? 2 : 1;
    if (!page_->ClickHeader(column, state)) {
        list_.SetSort(page_->SortColumn(), OrderOfState(page_->SortState()));
        return;
    }
    ShowRows(true);
}

void TFrame_Software::Synchronize(const std::function<void()>& step) {
    // A window that is gone answers 0 at once: the step is dropped, as the thread allows.
    const HWND target = syncTarget_.load();
    if (target) ::SendMessageW(target, kSyncMessage, 0, reinterpret_cast<LPARAM>(&step));
}

int TFrame_Software::AddIcons(HICON small, HICON large) {
    // The larger icon serves both lists: a 16-pixel icon stretched to a row looks blurred.
    const HICON source = large ? large : small;
    if (!source) return 0;
    const int index = ::ImageList_AddIcon(rowIcons_.get(), source);
    if (index < 0) return 0;
    if (::ImageList_AddIcon(largeIcons_.get(), source) < 0) {
        ::ImageList_Remove(rowIcons_.get(), index);
        return 0;
    }
    return ::ImageList_GetImageCount(rowIcons_.get()) - 1;
}

void TFrame_Software::UpdateRows(std::size_t index, const inventory::TSoftInfo&) {
    // The rows read the entry when painted; the order is kept until the rows are rebuilt.
    page_->SortKeysChanged();
    const int row = page_->RowOfEntry(index);
    if (row >= 0) list_.RedrawRow(row);
}

void TFrame_Software::UpdateFooter() {
    ::InvalidateRect(hwnd(), &footer_, FALSE);
}

void TFrame_Software::Move(const RECT& bounds) {
    ::MoveWindow(hwnd(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void TFrame_Software::LayOut() {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const int w = client.right;
    const int h = client.bottom;
    const int margin = S(16);
    const int barTop = S(6);
    const int barBottom = barTop + S(38);
    categories_.Move({margin, barTop, w - margin, barBottom});
    const int footerHeight = S(58);
    footer_ = {0, h - footerHeight, w, h};
    list_.Move({margin, barBottom + S(10), w - margin, footer_.top - S(12)});

    const int buttonHeight = S(32);
    const int buttonTop = footer_.top + (footerHeight - buttonHeight) / 2;
    int x = margin;
    for (ui::ImageButton* button : {&batch_, &view_}) {
        const int width = std::max(S(110), button->PreferredWidth());
        button->Move({x, buttonTop, x + width, buttonTop + buttonHeight});
        x += width + S(8);
    }
    const int uninstallWidth = std::max(S(130), uninstall_.PreferredWidth());
    uninstall_.Move({w - margin - uninstallWidth, buttonTop, w - margin, buttonTop + buttonHeight});
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void TFrame_Software::Paint(HDC target) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    PaintPageBody(dc, client, footer_, dpi_);
    PaintListOutline(dc, ChildBounds(hwnd(), list_.hwnd()), dpi_);
}

std::optional<LRESULT> TFrame_Software::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    if (message != kSyncMessage) return std::nullopt;
    if (lParam) (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
}

void TFrame_Software::OnSize(UINT /*type*/, int /*width*/, int /*height*/) { LayOut(); }

void TFrame_Software::OnPaint(HDC dc) { Paint(dc); }

void TFrame_Software::OnDestroy() {
    // The analysis stops while the list it reports to still exists.
    syncTarget_.store(nullptr);
    list_.SetRowCount(0, false);
    page_ = std::make_unique<inventory::TSoftwarePage>(noEntries_);
    catalogue_.reset();
}

}  // namespace tarvo::shell
