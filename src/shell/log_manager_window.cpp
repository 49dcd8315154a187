#include "shell/log_manager_window.h"

#include <commctrl.h>

#include <algorithm>
#include <tuple>

#include "common/paths.h"
#include "language/language.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "shell/test_seam.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/modal_loop.h"
#include "ui/palette.h"
#include "ui/title_bar.h"
#include "ui/tool_hints.h"

namespace tarvo::shell {

namespace {

using leftovers::LogManagerView;
namespace palette = ui::palette;

constexpr wchar_t kFormSection[] = L"Uninstaller_frmLogManage";
constexpr int kDesignWidth = 560;
constexpr int kDesignHeight = 410;
constexpr int kBandHeight = 32;    // the blue band with the caption, the page switch and the close button
constexpr int kHeaderHeight = 96;  // band, heading and explanation: the part that drags
constexpr int kCornerRadius = 10;
constexpr int kMargin = 20;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;

std::wstring ApplicationTitle() { return language::GetText(L"Application_Title", L"Tarvo Uninstaller"); }

bool AskWithMessageBox(HWND owner, const std::wstring& question) {
    return test_seam::ShowMessageBox(owner, question, ApplicationTitle(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void InformWithMessageBox(HWND owner, const std::wstring& text) {
    (void)test_seam::ShowMessageBox(owner, text, ApplicationTitle(), MB_OK | MB_ICONINFORMATION);
}

std::wstring Title() { return LogManagerText(L"Caption", L"Uninstall Log manager"); }

std::wstring ParentOf(const std::wstring& folder) { return common::ParentKey(folder); }

void SetCell(HWND list, int row, int column, std::wstring text) {
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = text.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

std::wstring LogManagerText(const std::wstring& control, const wchar_t* english) {
    return language::AppLanguage().ReadText(kFormSection, control, english);
}

TfrmLogManage::TfrmLogManage(std::wstring logFolder, AskFn ask, std::wstring backupRoot, InformFn inform)
    : model_(logFolder),
      backups_(backupRoot.empty() ? leftovers::BackupRootOf(ParentOf(logFolder)) : std::move(backupRoot)),
      traces_(ParentOf(logFolder), &sqlite_),
      ask_(ask ? std::move(ask) : AskFn(&AskWithMessageBox)),
      inform_(inform ? std::move(inform) : InformFn(&InformWithMessageBox)) {
    const std::wstring exe = platform::GetModuleFilePath();
    (void)sqlite_.Load(exe.substr(0, exe.find_last_of(L'\\') + 1) + L"sqlite3.dll");
}

TfrmLogManage::~TfrmLogManage() { CloseDialog(); }

bool TfrmLogManage::Create(HWND owner) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    SetOwner(owner);
    SetFrameStyle({.cornerRadius = kCornerRadius, .bandHeight = kBandHeight, .moveHeight = kHeaderHeight});
    const RECT bounds = ui::CentredOn(owner, Scale(kDesignWidth), Scale(kDesignHeight));
    if (!CreateTopLevel(kClassName, Title(), WS_POPUP | WS_CLIPCHILDREN, 0, bounds, owner)) return false;
    CreateControls();
    FillList();
    FillBackups();
    ShowView(LogManagerView::DayLogs);
    ::ShowWindow(hwnd(), SW_SHOW);
    return true;
}

void TfrmLogManage::CreateControls() {
    const HFONT font = ui::SharedFonts().Get(ui::FontRole::Body, dpi());
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    auto button = [&](ui::ImageButton& b, int id, ui::ButtonStyle style, std::wstring text) {
        b.Create(hwnd(), id, RECT{0, 0, 1, 1}, {.style = style, .text = std::move(text)}, dpi());
    };
    auto list = [&](DWORD style, int id) {
        const HWND control = ::CreateWindowExW(
            WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_TABSTOP | LVS_SINGLESEL | LVS_SHOWSELALWAYS | style,
            Scale(kMargin), Scale(kHeaderHeight + 6), Scale(kDesignWidth - 2 * kMargin),
            Scale(kDesignHeight - kHeaderHeight - 6 - 56), hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
            instance, nullptr);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return control;
    };

    const int width = Scale(kDesignWidth);
    ui::CreateHeadingCloseButton(close_, hwnd(), kIdClose,
                                 RECT{width - ui::TitleButtonWidth(dpi()), 0, width, Scale(kBandHeight)}, dpi(),
                                 language::GetText(L"Close", L"Close"));
    button(logsPage_, kIdLogsPage, ui::ButtonStyle::Page, LogManagerText(L"RdImageButton_Logs.Caption", L"Day Logs"));
    button(backupsPage_, kIdBackupsPage, ui::ButtonStyle::Page,
           LogManagerText(L"RdImageButton_Backups.Caption", L"Backups"));
    button(tracesPage_, kIdTracesPage, ui::ButtonStyle::Page, language::GetText(L"Traces_Button_M", L"Traces"));
    for (ui::ImageButton* page : {&logsPage_, &backupsPage_, &tracesPage_}) page->SetBackground(palette::kTitleBar);

    list_ = list(LVS_ICON | LVS_AUTOARRANGE, kIdList);
    // Wide enough for a day file's whole name ("2013-05-12.log") under its icon.
    ::SendMessageW(list_, LVM_SETICONSPACING, 0, MAKELPARAM(Scale(112), Scale(78)));
    // The list view frees its normal image list when it is destroyed.
    const int iconSize = ::GetSystemMetrics(SM_CXICON);
    const HIMAGELIST images = ::ImageList_Create(iconSize, iconSize, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON icon = platform::LargeIconForExtension(L".log");
    ::ImageList_AddIcon(images, icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION));
    if (icon) ::DestroyIcon(icon);
    ::SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));

    backupList_ = list(LVS_REPORT, kIdBackupList);
    ::SendMessageW(backupList_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    int column = 0;
    for (const auto& [key, text, columnWidth, right] :
         {std::tuple{L"ListView_Column_Date", L"Date", 124, false},
          std::tuple{L"ListView_Column_Programs", L"Programs", 116, false},
          std::tuple{L"ListView_Column_Keys", L"Keys", 44, true}, std::tuple{L"ListView_Column_Values", L"Values", 48, true},
          std::tuple{L"ListView_Column_Files", L"Files", 44, true},
          std::tuple{L"ListView_Column_Folders", L"Folders", 52, true},
          std::tuple{L"ListView_Column_Restored", L"Restored", 80, false}}) {
        std::wstring caption = LogManagerText(key, text);
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = right ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = Scale(columnWidth);
        col.pszText = caption.data();
        ::SendMessageW(backupList_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column++), reinterpret_cast<LPARAM>(&col));
    }

    traceList_ = list(LVS_REPORT, kIdTraceList);
    ::SendMessageW(traceList_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    column = 0;
    for (const auto& [key, text, columnWidth, right] :
         {std::tuple{L"ListView_Column_Date", L"Date", 130, false}, std::tuple{L"ListView_Column_Setup", L"Setup", 130, false},
          std::tuple{L"ListView_Column_Programs", L"Programs", 150, false},
          std::tuple{L"ListView_Column_Items", L"Items", 96, true}}) {
        std::wstring caption = LogManagerText(key, text);
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = right ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = Scale(columnWidth);
        col.pszText = caption.data();
        ::SendMessageW(traceList_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column++), reinterpret_cast<LPARAM>(&col));
    }

    button(open_, kIdOpen, ui::ButtonStyle::Secondary, LogManagerText(L"RdImageButton_Open.Caption", L"Open"));
    button(delete_, kIdDelete, ui::ButtonStyle::Secondary, LogManagerText(L"RdImageButton_Delete.Caption", L"Delete"));
    button(deleteAll_, kIdDeleteAll, ui::ButtonStyle::Secondary,
           LogManagerText(L"RdImageButton_DeleteAll.Caption", L"Delete All"));
    button(restore_, kIdRestore, ui::ButtonStyle::Primary, LogManagerText(L"RdImageButton_Restore.Caption", L"Restore"));
    button(cancel_, kIdCancel, ui::ButtonStyle::Secondary, LogManagerText(L"RdImageButton_Cancel.Caption", L"Cancel"));
    LayOutButtons();
}

void TfrmLogManage::LayOutButtons() {
    // A language's longer captions widen the buttons instead of being cut.
    const int gap = Scale(8), height = Scale(kButtonHeight), top = Scale(kDesignHeight - 44);
    int right = Scale(kDesignWidth - kMargin);
    const auto place = [&](ui::ImageButton& b) {
        const int w = std::max(Scale(kButtonWidth), b.PreferredWidth());
        b.Move(RECT{right - w, top, right, top + height});
        right -= w + gap;
    };
    place(cancel_);
    // The backups view has Restore and Delete; the day logs Delete All, Delete and Open.
    if (view_ == LogManagerView::Backups) {
        place(restore_);
        place(delete_);
    } else {
        place(deleteAll_);
        place(delete_);
        place(open_);
    }

    // The page switch sits in the band, left of the close button.
    int pageRight = Scale(kDesignWidth) - ui::TitleButtonWidth(dpi()) - Scale(8);
    for (ui::ImageButton* page : {&tracesPage_, &backupsPage_, &logsPage_}) {
        const int w = std::max(Scale(80), page->PreferredWidth());
        page->Move(RECT{pageRight - w, 0, pageRight, Scale(kBandHeight)});
        pageRight -= w;
    }
}

void TfrmLogManage::ShowView(LogManagerView view) {
    view_ = view;
    ::ShowWindow(list_, view == LogManagerView::DayLogs ? SW_SHOW : SW_HIDE);
    ::ShowWindow(backupList_, view == LogManagerView::Backups ? SW_SHOW : SW_HIDE);
    ::ShowWindow(traceList_, view == LogManagerView::Traces ? SW_SHOW : SW_HIDE);
    logsPage_.SetChecked(view == LogManagerView::DayLogs);
    backupsPage_.SetChecked(view == LogManagerView::Backups);
    tracesPage_.SetChecked(view == LogManagerView::Traces);
    LayOutButtons();
    UpdateButtons();
    // The explanation under the heading speaks of the view that is shown.
    RECT header{0, Scale(kBandHeight), Scale(kDesignWidth), Scale(kHeaderHeight)};
    ::InvalidateRect(hwnd(), &header, FALSE);
}

void TfrmLogManage::FillList() {
    model_.Refresh();
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    int index = 0;
    for (const auto& item : model_.Items()) {
        std::wstring caption = item.name;
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_IMAGE;
        row.iItem = index++;
        row.iImage = 0;
        row.pszText = caption.data();
        ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    }
    UpdateButtons();
}

void TfrmLogManage::FillBackups() {
    const int selected = backups_.Selected();
    ::SendMessageW(backupList_, LVM_DELETEALLITEMS, 0, 0);
    int index = 0;
    for (const auto& record : backups_.Items()) {
        std::wstring when = record.when;
        LVITEMW row{};
        row.mask = LVIF_TEXT;
        row.iItem = index;
        row.pszText = when.data();
        const int at = static_cast<int>(::SendMessageW(backupList_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
        SetCell(backupList_, at, 1, leftovers::ProgramsText(record));
        int column = 2;
        for (const int count : {record.keys, record.values, record.files, record.folders})
            SetCell(backupList_, at, column++, std::to_wstring(count));
        // The day alone: the time is in the question before a delete.
        SetCell(backupList_, at, column, record.restored.substr(0, 10));
        ++index;
    }
    // Filling the list reports selection changes of its own: the model's choice stands.
    backups_.Select(selected);
    if (selected >= 0) {
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(backupList_, LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&state));
    }
    UpdateButtons();
}

void TfrmLogManage::FillTraces() {
    traces_.Refresh();
    ::SendMessageW(traceList_, LVM_DELETEALLITEMS, 0, 0);
    int index = 0;
    for (const auto& record : traces_.Items()) {
        std::wstring when = record.time;
        LVITEMW row{};
        row.mask = LVIF_TEXT;
        row.iItem = index++;
        row.pszText = when.data();
        const int at = static_cast<int>(::SendMessageW(traceList_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
        SetCell(traceList_, at, 1, record.setup);
        SetCell(traceList_, at, 2, record.programs);
        SetCell(traceList_, at, 3, std::to_wstring(record.items));
    }
    UpdateButtons();
}

void TfrmLogManage::DeleteTrace() {
    if (!traces_.CanDelete() || !ask_(hwnd(), traces_.DeleteQuestion())) return;
    (void)traces_.DeleteSelected();
    FillTraces();
}

void TfrmLogManage::UpdateButtons() {
    const leftovers::LogManagerButtons b =
        leftovers::ButtonsFor(view_, model_.CanOpen(), model_.CanDeleteAll(), backups_);
    for (ui::ImageButton* day : {&open_, &deleteAll_}) day->Show(b.dayLogButtonsShown);
    delete_.Show(b.dayLogButtonsShown || b.backupDeleteShown);
    restore_.Show(b.restoreShown);
    ::EnableWindow(open_.hwnd(), b.openEnabled);
    ::EnableWindow(delete_.hwnd(), view_ == LogManagerView::Backups ? b.backupDeleteEnabled : b.deleteEnabled);
    ::EnableWindow(deleteAll_.hwnd(), b.deleteAllEnabled);
    ::EnableWindow(restore_.hwnd(), b.restoreEnabled);
    if (view_ == LogManagerView::Traces) {
        delete_.Show(true);
        ::EnableWindow(delete_.hwnd(), traces_.CanDelete());
    }
}

void TfrmLogManage::SyncSelection() {
    model_.Select(static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
    backups_.Select(
        static_cast<int>(::SendMessageW(backupList_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
    traces_.Select(
        static_cast<int>(::SendMessageW(traceList_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
    UpdateButtons();
}

void TfrmLogManage::OpenSelected() {
    const std::wstring path = model_.OpenPath();
    if (!path.empty()) (void)platform::ShellOpen(L"notepad.exe", L"\"" + path + L"\"");
}

void TfrmLogManage::DeleteSelected() {
    if (view_ == LogManagerView::Backups) {
        DeleteBackup();
        return;
    }
    const int index = model_.Selected();
    if (index < 0 || !ask_(hwnd(), uninstall::TLogManager::DeleteQuestion())) return;
    (void)model_.DeleteSelected();
    ::SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    model_.Select(-1);
    UpdateButtons();
}

void TfrmLogManage::DeleteAll() {
    if (!model_.CanDeleteAll() || !ask_(hwnd(), uninstall::TLogManager::DeleteAllQuestion())) return;
    (void)model_.DeleteAll();
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    UpdateButtons();
}

void TfrmLogManage::RestoreSelected() {
    if (!backups_.CanRestore() || !ask_(hwnd(), backups_.RestoreQuestion())) return;
    const leftovers::TRestoreReport report = backups_.RestoreSelected();
    FillBackups();
    // A backup that came back whole holds nothing more: offer to have it gone with the report.
    const std::wstring offer = leftovers::BackupList::DeleteOfferText(report);
    if (offer.empty()) {
        inform_(hwnd(), leftovers::BackupList::OutcomeText(report));
        return;
    }
    if (!ask_(hwnd(), offer)) return;
    (void)backups_.DeleteSelected();
    FillBackups();
}

void TfrmLogManage::DeleteBackup() {
    if (!backups_.CanDelete() || !ask_(hwnd(), backups_.DeleteQuestion())) return;
    (void)backups_.DeleteSelected();
    FillBackups();
}

void TfrmLogManage::OnCommand(int id, int /*code*/) {
    switch (id) {
    case kIdOpen: OpenSelected(); break;
    case kIdDelete:
        if (view_ == LogManagerView::Traces) DeleteTrace();
        else DeleteSelected();
        break;
    case kIdDeleteAll: DeleteAll(); break;
    case kIdRestore: RestoreSelected(); break;
    case kIdLogsPage: ShowView(LogManagerView::DayLogs); break;
    case kIdBackupsPage:
        backups_.Refresh();
        FillBackups();
        ShowView(LogManagerView::Backups);
        break;
    case kIdTracesPage:
        FillTraces();
        ShowView(LogManagerView::Traces);
        break;
    case kIdCancel:
    case kIdClose:
    case IDCANCEL: CloseDialog(); break;
    default: break;
    }
}

LRESULT TfrmLogManage::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_ && header.hwndFrom != backupList_ && header.hwndFrom != traceList_) return 0;
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.uChanged & LVIF_STATE) SyncSelection();
    } else if (header.code == NM_DBLCLK && header.hwndFrom == list_) {
        const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
        if (activate.iItem >= 0) {
            model_.Select(activate.iItem);
            OpenSelected();
        }
    }
    return 0;
}

void TfrmLogManage::OnPaint(HDC target) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    RECT pages{};
    ::GetWindowRect(logsPage_.hwnd(), &pages);
    ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&pages), 2);
    PaintBodyAndHeading(dc, client, Title(), RECT{Scale(14), 0, pages.left - Scale(8), BandHeight()});
    PaintFrame(dc, client);
    ::SetBkMode(dc, TRANSPARENT);
    auto& fonts = ui::SharedFonts();
    auto text = [&](const std::wstring& s, RECT r, ui::FontRole role, COLORREF color, UINT format) {
        const ui::SelectedObject font(dc, fonts.Get(role, dpi()));
        ::SetTextColor(dc, color);
        ::DrawTextW(dc, s.c_str(), -1, &r, format | DT_LEFT | DT_NOPREFIX);
    };
    const UINT line = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    const int left = Scale(kMargin), right = client.right - Scale(kMargin);
    const bool backups = view_ == LogManagerView::Backups;
    const bool traced = view_ == LogManagerView::Traces;
    text(traced    ? LogManagerText(L"Label_TraceTitle.Caption", L"Traced Installations")
         : backups ? LogManagerText(L"Label_BackupTitle.Caption", L"Removal Backups")
                   : LogManagerText(L"Label_Title.Caption", L"Tarvo Uninstaller Log File List"),
         RECT{left, Scale(kBandHeight + 8), right, Scale(kBandHeight + 32)}, ui::FontRole::Heading, palette::kText, line);
    text(traced ? LogManagerText(L"Label_TraceDetail.Caption",
                                 L"What each traced setup created and changed; their removal takes exactly that. "
                                 L"Deleting a trace leaves the program installed.")
         : backups ? LogManagerText(L"Label_BackupDetail.Caption",
                                    L"Every removal keeps what it removes. Select one and restore it; nothing that is "
                                    L"back in its place is overwritten.")
                   : LogManagerText(L"Label_Detail.Caption", L"You can view all the uninstall log below."),
         RECT{left, Scale(kBandHeight + 34), right, Scale(kHeaderHeight)}, ui::FontRole::Body, palette::kTextSecondary,
         DT_WORDBREAK | DT_END_ELLIPSIS);
}


void ShowLogManager(HWND owner, const std::wstring& logFolder) {
    TfrmLogManage window(logFolder);
    if (window.Create(owner)) window.ShowModal();
}

}  // namespace tarvo::shell
