#include "shell/log_manager_window.h"

#include <commctrl.h>

#include <tuple>

#include "language/language.h"
#include "platform/shell.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/modal_loop.h"
#include "ui/title_bar.h"

namespace tarvo::shell {

namespace {

using language::GetText;

constexpr int kDesignWidth = 540;
constexpr int kDesignHeight = 400;
constexpr int kHeaderHeight = 72;
constexpr int kCornerRadius = 12;
constexpr COLORREF kBorderColour = RGB(0x1f, 0x5f, 0xa8);

std::wstring ApplicationTitle() { return GetText(L"Application_Title", L"Tarvo Uninstaller"); }

bool AskWithMessageBox(HWND owner, const std::wstring& question) {
    return ::MessageBoxW(owner, question.c_str(), ApplicationTitle().c_str(),
                         MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

TfrmLogManage::TfrmLogManage(std::wstring logFolder, AskFn ask)
    : model_(std::move(logFolder)), ask_(ask ? std::move(ask) : AskFn(&AskWithMessageBox)) {}

TfrmLogManage::~TfrmLogManage() {
    if (hwnd()) ::DestroyWindow(hwnd());
}

bool TfrmLogManage::Create(HWND owner) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    SetOwner(owner);
    const RECT bounds = ui::CentredOn(owner, Scale(kDesignWidth), Scale(kDesignHeight));
    if (!CreateTopLevel(kClassName, GetText(L"frmLogManage_Caption", L"Uninstall Log manager"),
                        WS_POPUP | WS_CLIPCHILDREN, 0, bounds, owner))
        return false;
    // Borderless with rounded corners, like every secondary window of ours.
    ::SetWindowRgn(hwnd(),
                   ::CreateRoundRectRgn(0, 0, bounds.right - bounds.left + 1, bounds.bottom - bounds.top + 1,
                                        Scale(kCornerRadius), Scale(kCornerRadius)),
                   FALSE);
    CreateControls();
    FillList();
    ::ShowWindow(hwnd(), SW_SHOW);
    return true;
}

void TfrmLogManage::CreateControls() {
    font_ = ui::CreateMessageFont(9, FW_NORMAL, dpi());
    headingFont_ = ui::CreateMessageFont(12, FW_SEMIBOLD, dpi());
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    auto child = [&](const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y, int w, int h,
                     int id) {
        const HWND control = ::CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, Scale(x),
                                               Scale(y), Scale(w), Scale(h), hwnd(),
                                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        return control;
    };

    const HWND close = child(L"BUTTON", L"\u00D7", BS_PUSHBUTTON | BS_FLAT, kDesignWidth - 36, 8, 28, 24, kIdClose);
    const HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                       nullptr, instance, nullptr);
    std::wstring hint = GetText(L"Close", L"Close");
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(close);
    tool.lpszText = hint.data();
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

    list_ = child(WC_LISTVIEWW, L"", LVS_ICON | LVS_AUTOARRANGE | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                  20, kHeaderHeight + 8, kDesignWidth - 40, kDesignHeight - kHeaderHeight - 68, kIdList);
    ::SetWindowLongPtrW(list_, GWL_EXSTYLE, ::GetWindowLongPtrW(list_, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    ::SetWindowPos(list_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ::SendMessageW(list_, LVM_SETICONSPACING, 0, MAKELPARAM(Scale(86), Scale(78)));
    // The list view frees its normal image list when it is destroyed.
    const int iconSize = ::GetSystemMetrics(SM_CXICON);
    const HIMAGELIST images = ::ImageList_Create(iconSize, iconSize, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON icon = platform::LargeIconForExtension(L".log");
    ::ImageList_AddIcon(images, icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION));
    if (icon) ::DestroyIcon(icon);
    ::SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));

    const int buttonY = kDesignHeight - 48;
    int x = kDesignWidth - 20 - 4 * 96 - 3 * 8;
    for (const auto& [id, key, text] : {std::tuple{kIdOpen, L"Open", L"Open"},
                                        std::tuple{kIdDelete, L"Delete", L"Delete"},
                                        std::tuple{kIdDeleteAll, L"Delete_All", L"Delete All"},
                                        std::tuple{kIdCancel, L"Cancel", L"Cancel"}}) {
        child(L"BUTTON", GetText(key, text), BS_PUSHBUTTON | WS_TABSTOP, x, buttonY, 96, 28, id);
        x += 96 + 8;
    }
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

void TfrmLogManage::UpdateButtons() {
    ::EnableWindow(::GetDlgItem(hwnd(), kIdOpen), model_.CanOpen());
    ::EnableWindow(::GetDlgItem(hwnd(), kIdDelete), model_.CanDelete());
    ::EnableWindow(::GetDlgItem(hwnd(), kIdDeleteAll), model_.CanDeleteAll());
}

void TfrmLogManage::SyncSelection() {
    model_.Select(static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
    UpdateButtons();
}

void TfrmLogManage::OpenSelected() {
    const std::wstring path = model_.OpenPath();
    if (!path.empty()) (void)platform::ShellOpen(L"notepad.exe", L"\"" + path + L"\"");
}

void TfrmLogManage::DeleteSelected() {
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

void TfrmLogManage::Close() {
    // The owner comes back before we go, so activation returns to it and not elsewhere.
    if (owner()) ::EnableWindow(owner(), TRUE);
    ::DestroyWindow(hwnd());
}

void TfrmLogManage::OnCommand(int id, int /*code*/) {
    switch (id) {
    case kIdOpen: OpenSelected(); break;
    case kIdDelete: DeleteSelected(); break;
    case kIdDeleteAll: DeleteAll(); break;
    case kIdCancel:
    case kIdClose:
    case IDCANCEL: Close(); break;
    default: break;
    }
}

LRESULT TfrmLogManage::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_) return 0;
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.uChanged & LVIF_STATE) SyncSelection();
    } else if (header.code == NM_DBLCLK) {
        const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
        if (activate.iItem >= 0) {
            model_.Select(activate.iItem);
            OpenSelected();
        }
    }
    return 0;
}

void TfrmLogManage::OnPaint(HDC dc) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const ui::unique_hbrush border(::CreateSolidBrush(kBorderColour));
    const ui::unique_hrgn outline(::CreateRoundRectRgn(0, 0, client.right + 1, client.bottom + 1,
                                                       Scale(kCornerRadius), Scale(kCornerRadius)));
    ::FrameRgn(dc, outline.get(), border.get(), 1, 1);

    ::SetBkMode(dc, TRANSPARENT);
    {
        const ui::SelectedObject font(dc, headingFont_.get());
        ::SetTextColor(dc, kBorderColour);
        RECT heading{Scale(20), Scale(14), client.right - Scale(48), Scale(40)};
        const std::wstring headingText = GetText(L"frmLogManage_Heading", L"Tarvo Uninstaller Log File List");
        ::DrawTextW(dc, headingText.c_str(), -1, &heading, DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX);
    }
    const ui::SelectedObject font(dc, font_.get());
    ::SetTextColor(dc, RGB(0x40, 0x40, 0x40));
    RECT detail{Scale(20), Scale(42), client.right - Scale(20), Scale(kHeaderHeight)};
    const std::wstring detailText = GetText(L"frmLogManage_Detail", L"You can view all the uninstall log below.");
    ::DrawTextW(dc, detailText.c_str(), -1, &detail, DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX);
}

int TfrmLogManage::HeadingBandHeight() const { return Scale(kHeaderHeight); }

void TfrmLogManage::RunModal() {
    RunModalOverOwner({.window = [this] { return hwnd(); }, .onEscape = [this] { Close(); }});
}

void ShowLogManager(HWND owner, const std::wstring& logFolder) {
    TfrmLogManage window(logFolder);
    if (window.Create(owner)) window.RunModal();
}

}  // namespace tarvo::shell
