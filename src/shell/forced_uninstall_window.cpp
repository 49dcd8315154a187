#include "shell/forced_uninstall_window.h"

#include <shlobj.h>

#include <algorithm>
#include <tuple>

#include "inventory/software_info.h"
#include "language/language.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "platform/shell.h"
#include "settings/registry_editor.h"
#include "settings/web_address.h"
#include "shell/test_seam.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/modal_loop.h"
#include "ui/palette.h"
#include "ui/title_bar.h"
#include "ui/tool_hints.h"

namespace tarvo::shell {

namespace {

constexpr wchar_t kFormSection[] = L"Uninstaller_frmForcedUninstall";
namespace palette = ui::palette;

constexpr int kDesignWidth = 560;
constexpr int kDesignHeight = 410;
constexpr int kBandHeight = 32;     // the blue band with the caption and the close button
constexpr int kHeaderHeight = 112;  // band, heading and explanation: the part that drags
constexpr int kMargin = 20;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 28;

enum ListMenuCommand : UINT { kMenuUninstall = 1, kMenuOpenFolder, kMenuViewEntry, kMenuSearchOnline };

std::wstring Title() { return ForcedUninstallText(L"Caption", L"Forced Uninstall"); }

}  // namespace

std::wstring ForcedUninstallText(const std::wstring& control, const wchar_t* english) {
    return language::AppLanguage().ReadText(kFormSection, control, english);
}

TfrmForcedUninstall::TfrmForcedUninstall(const inventory::TSoftwareInfo* catalogue, HIMAGELIST smallIcons,
                                         OpenUninstallFn openUninstall)
    : model_(catalogue, *this), smallIcons_(smallIcons), openUninstall_(std::move(openUninstall)) {}

TfrmForcedUninstall::~TfrmForcedUninstall() { CloseDialog(); }

bool TfrmForcedUninstall::Create(HWND owner) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    SetOwner(owner);
    SetFrameStyle({.bandHeight = kBandHeight, .moveHeight = kHeaderHeight});
    const RECT bounds = ui::CentredOn(owner, Scale(kDesignWidth), Scale(kDesignHeight));
    if (!CreateTopLevel(kClassName, Title(), WS_POPUP | WS_CLIPCHILDREN, WS_EX_ACCEPTFILES, bounds, owner))
        return false;
    // Explorer runs with less integrity than an elevated uninstaller: let its drops through.
    for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, platform::kCopyGlobalDataMessage})
        (void)platform::AllowMessageFromLowerIntegrity(message);
    platform::AcceptDroppedFiles(hwnd(), true);
    CreateControls();
    ShowPage(uninstall::TForcedPage::Tip);
    EnableNext(false);
    test_seam::Log(L"forced window: open");
    return true;
}

void TfrmForcedUninstall::CreateControls() {
    const HFONT font = ui::SharedFonts().Get(ui::FontRole::Body, dpi());
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    auto child = [&](const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle, int x, int y, int w,
                     int h, int id) {
        const HWND control =
            ::CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, Scale(x), Scale(y), Scale(w),
                              Scale(h), hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return control;
    };
    // Our buttons are placed by LayOutButtons once their captions are known. Tab follows the
    // order in which the controls are made.
    auto button = [&](ui::ImageButton& b, int id, ui::ButtonStyle style, std::wstring text) {
        b.Create(hwnd(), id, RECT{0, 0, 1, 1}, {.style = style, .text = std::move(text)}, dpi());
    };

    const int width = Scale(kDesignWidth);
    ui::CreateHeadingCloseButton(close_, hwnd(), kIdClose,
                                 RECT{width - ui::TitleButtonWidth(dpi()), 0, width, Scale(kBandHeight)}, dpi(),
                                 language::GetText(L"Close", L"Close"));

    // A click in the path box opens the file dialog, as the button does.
    pathBox_ = child(L"STATIC", L"", SS_NOTIFY | SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS | SS_CENTERIMAGE, WS_EX_CLIENTEDGE,
                     kMargin, kHeaderHeight + 6, kDesignWidth - 2 * kMargin - kButtonWidth - 8, 26, kIdPathBox);
    button(browse_, kIdBrowse, ui::ButtonStyle::Secondary,
           ForcedUninstallText(L"RdImageButton_Browser.Caption", L"Browser..."));

    const int pageTop = kHeaderHeight + 44;
    const int pageHeight = kDesignHeight - pageTop - 56;
    tip_ = child(L"STATIC",
                 ForcedUninstallText(L"Label_Tip1.Caption",
                                     L"You can browse or drag and drop a file here to delete a file or uninstall the "
                                     L"file related program. ") +
                     L"\r\n\r\n" +
                     ForcedUninstallText(L"Label_Tip2.Caption",
                                         L"After you press the \"Next\" button, Tarvo Uninstaller will do the forced "
                                         L"uninstall thoroughly."),
                 SS_LEFT | SS_NOPREFIX, 0, kMargin, pageTop + 12, kDesignWidth - 2 * kMargin, pageHeight - 12, kIdTip);

    list_ = child(WC_LISTVIEWW, L"", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP,
                  WS_EX_CLIENTEDGE, kMargin, pageTop, kDesignWidth - 2 * kMargin, pageHeight, kIdList);
    ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    if (smallIcons_) ::SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallIcons_));
    int column = 0;
    for (const auto& [key, text, columnWidth] : {std::tuple{L"ListView_Column_DisplayName", L"Display Name", 300},
                                                 std::tuple{L"ListView_Column_Size", L"Size", 90},
                                                 std::tuple{L"ListView_Column_InstallDate", L"Install Date", 110}}) {
        std::wstring caption = ForcedUninstallText(key, text);
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = Scale(columnWidth);
        col.pszText = caption.data();
        ::SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column++), reinterpret_cast<LPARAM>(&col));
    }

    button(next_, kIdNext, ui::ButtonStyle::Primary, ForcedUninstallText(L"RdImageButton_Next.Caption", L"Next"));
    button(cancel_, kIdCancel, ui::ButtonStyle::Secondary,
           ForcedUninstallText(L"RdImageButton_Cancel.Caption", L"Cancel"));
    LayOutButtons();
}

void TfrmForcedUninstall::LayOutButtons() {
    // A language's longer captions widen the buttons instead of being cut; the pair at the
    // bottom stays one width so that it reads as a pair.
    const int right = Scale(kDesignWidth - kMargin);
    const int height = Scale(kButtonHeight);
    const int browseTop = Scale(kHeaderHeight + 5);
    const int browseWidth = std::max(Scale(kButtonWidth), browse_.PreferredWidth());
    browse_.Move(RECT{right - browseWidth, browseTop, right, browseTop + height});
    if (browseWidth > Scale(kButtonWidth))
        ::MoveWindow(pathBox_, Scale(kMargin), Scale(kHeaderHeight + 6), right - browseWidth - Scale(8 + kMargin),
                     Scale(26), FALSE);
    const int pairWidth = std::max({Scale(kButtonWidth), next_.PreferredWidth(), cancel_.PreferredWidth()});
    const int top = Scale(kDesignHeight - 44);
    cancel_.Move(RECT{right - pairWidth, top, right, top + height});
    const int nextRight = right - pairWidth - Scale(8);
    next_.Move(RECT{nextRight - pairWidth, top, nextRight, top + height});
}

void TfrmForcedUninstall::ShowPathText(const std::wstring& text) {
    if (pathBox_) ::SetWindowTextW(pathBox_, text.c_str());
}

void TfrmForcedUninstall::ShowRows(const std::vector<const inventory::TSoftInfo*>& rows) {
    if (!list_) return;
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    int index = 0;
    for (const inventory::TSoftInfo* entry : rows) {
        std::wstring caption = uninstall::TForcedUninstall::RowCaption(*entry);
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_IMAGE;
        row.iItem = index;
        row.iImage = entry->ImageIndex;
        row.pszText = caption.data();
        const auto at = static_cast<int>(::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
        int sub = 1;
        for (std::wstring text : {entry->SizeText, entry->InstallDateText}) {
            LVITEMW cell{};
            cell.iSubItem = sub++;
            cell.pszText = text.data();
            ::SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&cell));
        }
        ++index;
    }
}

void TfrmForcedUninstall::SelectRow(int row) {
    if (!list_) return;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

void TfrmForcedUninstall::ShowPage(uninstall::TForcedPage page) {
    if (!list_ || !tip_) return;
    const bool listed = page == uninstall::TForcedPage::ListView;
    ::ShowWindow(list_, listed ? SW_SHOW : SW_HIDE);
    ::ShowWindow(tip_, listed ? SW_HIDE : SW_SHOW);
}

void TfrmForcedUninstall::EnableNext(bool enabled) {
    if (next_.hwnd()) ::EnableWindow(next_.hwnd(), enabled ? TRUE : FALSE);
}

void TfrmForcedUninstall::ShowInvalidPath() {
    test_seam::ShowMessageBox(hwnd(), language::SharedTexts().ForcedUninstall_Browser_Tip, Title(), MB_OK);
}

void TfrmForcedUninstall::BringForward() {
    if (!hwnd() || !::IsWindowVisible(hwnd())) return;
    ::BringWindowToTop(hwnd());
    ::SetForegroundWindow(hwnd());
}

void TfrmForcedUninstall::HandOffName(const std::wstring& name) {
    test_seam::Log(L"forced window: name " + name);
    model_.HandOffName(name);
}

void TfrmForcedUninstall::HandOffPath(const std::wstring& rawPath, const std::wstring& target) {
    test_seam::Log(L"forced window: path " + target);
    model_.HandOffPath(rawPath, target);
}

void TfrmForcedUninstall::Browse() {
    const std::wstring desktop = platform::GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY);
    const auto choice = platform::AskOpenFileName(hwnd(), desktop, L"*.exe|*.exe|*.lnk|*.lnk|*.*|*.*", 3);
    if (choice) (void)model_.Browsed(*choice);
}

void TfrmForcedUninstall::RunNext() {
    const uninstall::TForcedNext next = model_.Next();
    if (next.opening.kind == uninstall::TForcedOpening::None) return;
    test_seam::Log(next.entry ? L"forced window: next " + next.entry->DisplayName : L"forced window: next, no entry");
    ::ShowWindow(hwnd(), SW_HIDE);
    if (openUninstall_) openUninstall_(next);
    CloseDialog();
}

void TfrmForcedUninstall::ShowListMenu() {
    const inventory::TSoftInfo* entry = model_.SelectedEntry();
    if (!entry) return;
    const ui::unique_hmenu owned(::CreatePopupMenu());
    const HMENU menu = owned.get();
    if (!menu) return;
    ::AppendMenuW(menu, MF_STRING, kMenuUninstall, ForcedUninstallText(L"PopMenu_Uninstall.Caption", L"Uninstall").c_str());
    ::AppendMenuW(menu, MF_STRING, kMenuOpenFolder,
                  ForcedUninstallText(L"PopMenu_OpenFolder.Caption", L"Open File Folder").c_str());
    ::AppendMenuW(menu, MF_STRING, kMenuViewEntry, ForcedUninstallText(L"PopMenu_ViewEntry.Caption", L"View Entry").c_str());
    ::AppendMenuW(menu, MF_STRING, kMenuSearchOnline,
                  ForcedUninstallText(L"PopMenu_SearchOnline.Caption", L"Search Online").c_str());
    POINT at{};
    ::GetCursorPos(&at);
    const auto command = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, at.x, at.y, 0, hwnd(), nullptr));
    switch (command) {
    case kMenuUninstall: RunNext(); break;
    case kMenuOpenFolder:
        if (platform::FolderExists(entry->InstallLocation)) (void)platform::ShellOpen(entry->InstallLocation);
        break;
    case kMenuViewEntry:
        (void)settings::OpenRegistryEditorAt(entry->RootKeyName + entry->KeyPath, L"DisplayName", entry->View64);
        break;
    case kMenuSearchOnline: (void)settings::OpenWebAddress(settings::SearchOnlineAddress(entry->DisplayName)); break;
    default: break;
    }
}

void TfrmForcedUninstall::OnCommand(int id, int code) {
    switch (id) {
    case kIdPathBox:
        if (code == STN_CLICKED) Browse();
        break;
    case kIdBrowse: Browse(); break;
    case kIdNext: RunNext(); break;
    case kIdCancel:
    case kIdClose:
    case IDCANCEL: CloseDialog(); break;
    default: break;
    }
}

LRESULT TfrmForcedUninstall::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_) return 0;
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.uChanged & LVIF_STATE)
            model_.RowSelected(
                static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
    } else if (header.code == NM_RCLICK) {
        ShowListMenu();
    }
    return 0;
}

void TfrmForcedUninstall::OnPaint(HDC target) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    PaintBodyAndHeading(dc, client, Title());
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
    text(ForcedUninstallText(L"Label_Title.Caption", L"Tarvo Forced Uninstaller"),
         RECT{left, Scale(kBandHeight + 8), right, Scale(kBandHeight + 32)}, ui::FontRole::Heading, palette::kText, line);
    text(ForcedUninstallText(
             L"Label_Detail.Caption",
             L"Forced Uninstall enable you to uninstall a program and clean its leftover items thoroughly by its name and "
             L"its installation folder. But please remember to enter the exact name and the install location of the "
             L"program you want to uninstall. "),
         RECT{left, Scale(kBandHeight + 34), right, Scale(kHeaderHeight)}, ui::FontRole::Body, palette::kTextSecondary,
         DT_WORDBREAK | DT_END_ELLIPSIS);
}


std::optional<LRESULT> TfrmForcedUninstall::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DROPFILES: {
        const std::wstring path = platform::TakeFirstDroppedFile(reinterpret_cast<HDROP>(wParam));
        test_seam::Log(L"forced window: dropped " + path);
        if (!path.empty()) (void)model_.Dropped(path);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        // The labels sit on the white page; the path box keeps its own face.
        if (reinterpret_cast<HWND>(lParam) == tip_) {
            ::SetBkColor(reinterpret_cast<HDC>(wParam), palette::kWindow);
            return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
        }
        return std::nullopt;
    case DM_GETDEFID:
        // Enter anywhere but on another button means "Next"; dialog key handling asks here
        // and leaves it alone while the button is disabled.
        return MAKELRESULT(kIdNext, DC_HASDEFID);
    default:
        return std::nullopt;
    }
}

void TfrmForcedUninstall::OnModalStart() {
    ::ShowWindow(hwnd(), SW_SHOW);
    ::BringWindowToTop(hwnd());
    ::SetForegroundWindow(hwnd());
}

}  // namespace tarvo::shell
