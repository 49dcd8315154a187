#include "shell/power_scan_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "language/language.h"
#include "platform/messages.h"
#include "platform/shell.h"
#include "trace/traced_scan.h"
#include "settings/app_frame.h"
#include "settings/main_ini.h"
#include "shell/test_seam.h"
#include "ui/font_cache.h"
#include "ui/lent_font.h"
#include "ui/gdi.h"
#include "ui/modal_loop.h"
#include "ui/palette.h"
#include "ui/registry_icons.h"
#include "ui/title_bar.h"
#include "ui/tool_hints.h"
#include "ui/translate_window.h"
#include "uninstall/operation_log.h"

namespace tarvo::shell {

namespace {

using language::GetText;
using leftovers::TTreeNode;
namespace palette = ui::palette;

constexpr int kHeaderHeight = 40;
constexpr int kMargin = 12;
constexpr int kBottomHeight = 52;
constexpr int kGripSize = 16;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 28;
constexpr unsigned kCaptionButtons = ui::kTitleMaximize | ui::kTitleClose;

bool ConfirmWithMessageBox(HWND owner, const std::wstring& question) {
    wchar_t title[256] = {};
    ::GetWindowTextW(owner, title, 256);
    return test_seam::ShowMessageBox(owner, question, title, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The tree's images: the four fixed pictures, then what the scan appended.
HIMAGELIST TreeImageList(const leftovers::TIconList& icons) {
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    HIMAGELIST list = ::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, icons.Count(), 4);
    // The registry group and its keys show a key, values a value; the file group a folder.
    const auto key = ui::MakeRegistryIcon(ui::RegistryIcon::Key, size);
    const auto value = ui::MakeRegistryIcon(ui::RegistryIcon::Value, size);
    const auto folder = platform::GetFileIconOf(L"Files", true, FILE_ATTRIBUTE_DIRECTORY);
    const HICON fixed[leftovers::kFixedImageCount] = {key.get(), key.get(), value.get(), folder.get()};
    for (const HICON icon : fixed) ::ImageList_AddIcon(list, icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION));
    for (int i = leftovers::kFixedImageCount; i < icons.Count(); ++i) {
        HICON icon = icons.Icon(i);
        ::ImageList_AddIcon(list, icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION));
    }
    return list;
}

}  // namespace

TfrmPowerScan::TfrmPowerScan(leftovers::TResultTree& tree, const leftovers::TIconList& images,
                             leftovers::TRemovalActions actions, leftovers::TPowerScanSettings settings,
                             ConfirmFn confirm)
    : tree_(tree),
      images_(images),
      confirm_(confirm ? std::move(confirm) : ConfirmFn(&ConfirmWithMessageBox)),
      model_(tree, *this, std::move(actions), std::move(settings)) {}

TfrmPowerScan::~TfrmPowerScan() { CloseDialog(); }

bool TfrmPowerScan::Create(HWND owner) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_LINK_CLASS};
    ::InitCommonControlsEx(&controls);
    SetOwner(owner);
    SetFrameStyle({.bandHeight = kHeaderHeight, .resizable = true, .minimum = {kMinWidth, kMinHeight}});
    const RECT bounds = ui::CentredOn(owner, Scale(640), Scale(460));
    title_ = GetText(L"Powerful_Scan_M", L"Powerful Scan");
    if (!CreateTopLevel(kClassName, title_, WS_POPUP | WS_THICKFRAME | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, bounds,
                        owner))
        return false;
    CreateControls();
    AddTranslations();
    FillTree();
    Layout();
    return true;
}

void TfrmPowerScan::CreateControls() {
    const HFONT font = ui::SharedFonts().Get(ui::FontRole::Body, dpi());
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    auto child = [&](const wchar_t* cls, const std::wstring& text, DWORD style, int id) {
        const HWND control = ::CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, hwnd(),
                                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        ui::LendFont(control, font);
        return control;
    };
    view_.Create(hwnd(), kIdTree, RECT{0, 0, 10, 10}, dpi());
    // The tree keeps the compact message font it always had: with the 9 pt face of our
    // buttons, Wine draws item texts wider than the tree measured them at 96 DPI, and the
    // ends of long paths were cut off.
    treeFont_ = ui::CreateMessageFont(9, FW_NORMAL, dpi());
    ::SendMessageW(view_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(treeFont_ ? treeFont_.get() : font), FALSE);
    view_.SetImages(TreeImageList(images_));
    view_.onToggle = [this](LPARAM data) {
        if (auto* node = reinterpret_cast<TTreeNode*>(data)) model_.Toggle(*node);
    };
    link_ = child(WC_LINK, L"<a>Select All</a>", WS_TABSTOP, kIdLink);
    if (!link_) link_ = child(L"BUTTON", L"Select All", WS_TABSTOP | BS_PUSHBUTTON | BS_FLAT, kIdLink);
    shredder_ = child(L"BUTTON", L"File Shredder", WS_TABSTOP | BS_CHECKBOX, kIdShredder);
    progress_ = child(PROGRESS_CLASSW, L"", 0, kIdProgress);
    ::SendMessageW(progress_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::ShowWindow(progress_, SW_HIDE);
    current_ = child(L"STATIC", L"", SS_PATHELLIPSIS | SS_NOPREFIX, kIdCurrent);
    ::ShowWindow(current_, SW_HIDE);
    // Placed by Layout; made in tab order, which is creation order.
    const RECT unplaced{0, 0, 10, 10};
    delete_.Create(hwnd(), kIdDelete, unplaced, {.style = ui::ButtonStyle::Primary, .text = L"Delete"}, dpi());
    ::EnableWindow(delete_.hwnd(), FALSE);
    cancel_.Create(hwnd(), kIdCancel, unplaced, {.style = ui::ButtonStyle::Secondary, .text = L"Cancel"}, dpi());
    maximize_.Create(hwnd(), kIdMaximize, unplaced, {.style = ui::ButtonStyle::Caption, .glyph = ui::Glyph::Maximize, .text = {}}, dpi());
    close_.Create(hwnd(), kIdClose, unplaced, {.style = ui::ButtonStyle::CaptionClose, .glyph = ui::Glyph::Close, .text = {}}, dpi());
    for (ui::ImageButton* caption : {&maximize_, &close_}) {
        caption->SetBackground(palette::kTitleBar);
        // Reached with Escape and a double click on the band, not with Tab.
        ::SetWindowLongW(caption->hwnd(), GWL_STYLE, ::GetWindowLongW(caption->hwnd(), GWL_STYLE) & ~WS_TABSTOP);
    }
}

void TfrmPowerScan::AddTranslations() {
    warningLabel_ = L"Warning:";
    warningText_ = L"Multiple programs detected in the current directory.Please be careful when selecting items to delete.";
    texts_ = std::make_unique<language::TTranslatableWindow>(language::AppLanguage(), L"frmPowerScan");
    auto label = [this](const wchar_t* name, std::wstring& text) {
        texts_->Add(ui::TextTarget(
            name, language::TranslationKind::Caption, [&text] { return language::TextList{text}; },
            [&text](const language::TextList& t) { text = t.at(0); }));
    };
    label(L"Label_Title", title_);
    label(L"Label_Warning", warningLabel_);
    label(L"Label_WarningText", warningText_);
    texts_->Add(ui::CaptionTarget(L"RdImageButton_Delete", delete_.hwnd()));
    texts_->Add(ui::CaptionTarget(L"RdImageButton_Cancel", cancel_.hwnd()));
    texts_->Add(ui::CaptionTarget(L"CheckBox_Shredder", shredder_));
    texts_->Translate();
    ::SetWindowTextW(hwnd(), title_.c_str());
    closeHint_ = GetText(L"Close", L"Close");
    maxHint_ = GetText(L"WindowState_Max", L"Maximize");
    restoreHint_ = GetText(L"WindowState_Normor", L"Restore");
    hints_.Add(hwnd(), close_.hwnd(), closeHint_);
    hints_.Add(hwnd(), maximize_.hwnd(), maxHint_);
}

void TfrmPowerScan::FillTree() {
    std::map<const TTreeNode*, bool> expanded;
    for (const auto& [node, item] : handles_) expanded[node] = view_.IsExpanded(item);
    view_.SetRedraw(false);
    // Rebuilt from scratch: node records may be gone, so the old map is dropped unread.
    handles_.clear();
    view_.Clear();
    const auto add = [&](auto& self, TTreeNode& node, HTREEITEM parent) -> void {
        const HTREEITEM item = view_.Add(parent, node.Caption, node.Image, node.StateImage, reinterpret_cast<LPARAM>(&node));
        handles_[&node] = item;
        for (auto& childNode : node.Children) self(self, *childNode, item);
    };
    for (auto& program : tree_.Programs) add(add, *program, nullptr);
    for (const auto& [node, item] : handles_)
        if (expanded.count(node) && expanded[node]) view_.Expand(item);
    view_.SetRedraw(true);
}

void TfrmPowerScan::TreeChanged() {
    const auto flat = leftovers::FlattenTree(tree_);
    bool same = flat.size() == handles_.size();
    for (const auto& f : flat) same = same && handles_.count(f.node);
    if (!same) {
        FillTree();
        return;
    }
    for (const auto& f : flat) {
        const HTREEITEM item = handles_[f.node];
        view_.SetState(item, f.node->StateImage);
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = const_cast<wchar_t*>(f.node->Caption.c_str());
        ::SendMessageW(view_.hwnd(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    }
}

void TfrmPowerScan::ShowMultiProgramWarning(bool show) {
    warning_ = show;
    if (hwnd()) Layout();
}

void TfrmPowerScan::Layout() {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const int w = client.right, h = client.bottom;
    const int m = Scale(kMargin);
    const int header = BandHeight();
    const ui::TitleBarLayout band = ui::LayOutTitleBar(w, dpi(), kCaptionButtons, header);
    close_.Move(band.close);
    maximize_.Move(band.maximize);
    const int treeTop = header + WarningHeight() + Scale(4);
    const int bottom = h - Scale(kBottomHeight);
    ::MoveWindow(view_.hwnd(), m, treeTop, w - 2 * m, bottom - treeTop, TRUE);
    const int rowY = bottom + Scale(12);
    // A language's longer captions widen the pair instead of being cut.
    const int bw = std::max({Scale(kButtonWidth), delete_.PreferredWidth(), cancel_.PreferredWidth()});
    const int bh = Scale(kButtonHeight);
    const int buttonsRight = w - m - Scale(kGripSize);
    cancel_.Move(RECT{buttonsRight - bw, rowY, buttonsRight, rowY + bh});
    delete_.Move(RECT{buttonsRight - 2 * bw - Scale(8), rowY, buttonsRight - bw - Scale(8), rowY + bh});
    ::MoveWindow(link_, m, rowY + Scale(6), Scale(100), Scale(18), TRUE);
    ::MoveWindow(shredder_, m + Scale(110), rowY + Scale(4), Scale(160), Scale(22), TRUE);
    const int progressRight = w - m - Scale(kGripSize) - 2 * bw - Scale(24);
    // The final state's sentence may take two lines; a path during the run takes one.
    ::MoveWindow(current_, m, rowY - Scale(2), progressRight - m, Scale(finished_ ? 34 : 16), TRUE);
    ::MoveWindow(progress_, m, rowY + Scale(16), progressRight - m, Scale(12), TRUE);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void TfrmPowerScan::OnPaint(HDC target) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    const RECT header{0, 0, client.right, BandHeight()};
    const ui::TitleBarLayout band = ui::LayOutTitleBar(client.right, dpi(), kCaptionButtons, header.bottom);
    PaintBodyAndHeading(dc, client, title_, RECT{Scale(kMargin), 0, band.maximize.left - Scale(kMargin), header.bottom});
    ::SetBkMode(dc, TRANSPARENT);
    auto& fonts = ui::SharedFonts();
    if (warning_) {
        const RECT area{Scale(kMargin), header.bottom + Scale(2), client.right - Scale(kMargin),
                        header.bottom + WarningHeight()};
        ui::FillSolid(dc, area, palette::kWarningBand);
        RECT label = area;
        label.left += Scale(8);
        const HFONT emphasis = fonts.Get(ui::FontRole::Emphasis, dpi());
        ui::DrawTextLine(dc, warningLabel_, label, emphasis, palette::kWarningText);
        RECT text = area;
        text.left = label.left + ui::MeasureText(dc, warningLabel_, emphasis).cx + Scale(6);
        text.right -= Scale(8);
        ui::DrawTextLine(dc, warningText_, text, fonts.Get(ui::FontRole::Body, dpi()), palette::kText);
    }
    PaintFrame(dc, client);
}

void TfrmPowerScan::OnMaximizedChanged() {
    maximize_.SetGlyph(maximized() ? ui::Glyph::Restore : ui::Glyph::Maximize);
    hints_.Update(maximize_.hwnd(), maximized() ? restoreHint_ : maxHint_);
    Layout();
}

void TfrmPowerScan::OnCommand(int id, int code) {
    switch (id) {
    case kIdDelete:
        if (code == BN_CLICKED) model_.DeleteClicked();
        break;
    case kIdCancel:
    case kIdClose:
    case IDCANCEL:
        model_.CancelClicked();
        break;
    case kIdMaximize:
        ToggleMaximized();
        break;
    case kIdShredder:
        model_.ShredderClicked();
        break;
    case kIdLink:
        if (code == BN_CLICKED) model_.SelectLinkClicked();
        break;
    default:
        break;
    }
}

void TfrmPowerScan::OnClose() { model_.CancelClicked(); }

void TfrmPowerScan::OnSize(UINT /*type*/, int /*width*/, int /*height*/) {
    if (view_.hwnd()) Layout();
}

LRESULT TfrmPowerScan::OnNotify(const NMHDR& header) {
    LRESULT result = 0;
    if (view_.OnNotify(header, result)) return result;
    if (header.idFrom == kIdLink && (header.code == NM_CLICK || header.code == NM_RETURN)) model_.SelectLinkClicked();
    return 0;
}

std::optional<LRESULT> TfrmPowerScan::OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        // The link, the shredder box and the current item sit on the white window body.
        ::SetBkColor(reinterpret_cast<HDC>(wParam), palette::kWindow);
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    default:
        return std::nullopt;
    }
}

void TfrmPowerScan::OnModalStart() {
    // Showing: the last finding's program and group open, the first node selected.
    if (!tree_.Programs.empty()) {
        TTreeNode& last = *tree_.Programs.back();
        if (!last.Children.empty() && !last.Children.back()->Children.empty()) {
            view_.Expand(handles_[&last]);
            view_.Expand(handles_[last.Children.back().get()]);
        }
        view_.Select(handles_[tree_.Programs.front().get()]);
    }
    model_.Shown();
    ::ShowWindow(hwnd(), SW_SHOW);
    ::UpdateWindow(hwnd());
    ::SetFocus(view_.hwnd());
}

void TfrmPowerScan::OnEscape() { model_.CancelClicked(); }

void TfrmPowerScan::SetProgress(int percent) { ::SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(percent), 0); }

void TfrmPowerScan::ShowCurrentItem(const std::wstring& text) { ::SetWindowTextW(current_, text.c_str()); }

void TfrmPowerScan::Pump() { platform::PumpWaitingMessages(); }

bool TfrmPowerScan::Confirm(const std::wstring& question) { return confirm_(hwnd(), question); }

void TfrmPowerScan::SetRunning(bool running) {
    running_ = running;
    ::ShowWindow(progress_, running ? SW_SHOW : SW_HIDE);
    ::ShowWindow(current_, running ? SW_SHOW : SW_HIDE);
    ::ShowWindow(link_, running ? SW_HIDE : SW_SHOW);
    ::ShowWindow(shredder_, running ? SW_HIDE : SW_SHOW);
    view_.SetRedraw(!running);
    if (running) ::SetWindowTextW(current_, L"");
}

void TfrmPowerScan::Tell(const std::wstring& text) {
    wchar_t title[256] = {};
    ::GetWindowTextW(hwnd(), title, 256);
    ::MessageBoxW(hwnd(), text.c_str(), title, MB_OK | MB_ICONINFORMATION);
}

void TfrmPowerScan::ShowFinished(const std::wstring& text) {
    ::ShowWindow(link_, SW_HIDE);
    ::ShowWindow(shredder_, SW_HIDE);
    // The label showed paths while the run went on; a sentence wraps instead.
    finished_ = true;
    ::SetWindowLongW(current_, GWL_STYLE, ::GetWindowLongW(current_, GWL_STYLE) & ~SS_ELLIPSISMASK);
    ::SetWindowTextW(current_, text.c_str());
    RECT r{};
    ::GetWindowRect(current_, &r);
    ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    ::MoveWindow(current_, r.left, r.top, r.right - r.left, Scale(34), TRUE);
    ::ShowWindow(current_, SW_SHOW);
}

void TfrmPowerScan::SetDeleteEnabled(bool enabled) { ::EnableWindow(delete_.hwnd(), enabled ? TRUE : FALSE); }

void TfrmPowerScan::SetLinkText(const std::wstring& text) {
    wchar_t cls[32] = {};
    ::GetClassNameW(link_, cls, 32);
    const bool syslink = _wcsicmp(cls, WC_LINK) == 0;
    ::SetWindowTextW(link_, (syslink ? L"<a>" + text + L"</a>" : text).c_str());
}

void TfrmPowerScan::SetShredderTicked(bool ticked) {
    ::SendMessageW(shredder_, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TfrmPowerScan::CloseWindow() {
    ended_ = true;
    if (hwnd()) {
        ::ShowWindow(hwnd(), SW_HIDE);
        ::PostMessageW(hwnd(), WM_NULL, 0, 0);
    }
}

void ShowPowerScan(HWND owner, leftovers::TResultTree& tree, const leftovers::TIconList& images,
                   bool multiProgramWarning, std::function<void(const std::wstring&)> reportStatistic,
                   std::vector<trace::TraceItem> traced) {
    const std::wstring dataFolder = settings::DataFolder();
    const settings::TMainIni ini;
    leftovers::TPowerScanSettings s;
    s.readShredder = [path = ini.Path()] { return settings::TMainIni(path).FileShredder(); };
    s.writeShredder = [path = ini.Path()](bool on) { (void)settings::TMainIni(path).SetFileShredder(on); };
    s.backupRoot = leftovers::BackupRootOf(dataFolder);
    s.reportStatistic = std::move(reportStatistic);
    const leftovers::TRemovalActions actions = leftovers::DefaultRemovalActions(uninstall::MakeLogContext(dataFolder));
    if (!traced.empty()) {
        s.beforeRemoval = [&traced, &actions](leftovers::TRemovalBackup* backup) {
            const trace::PutBackOutcome outcome = trace::PutBackBeforeRemoval(traced, backup);
            if (actions.writeLog && !outcome.lines.empty()) actions.writeLog(outcome.lines);
        };
        s.afterRemoval = [&traced] { trace::AnnounceEnvironmentChange(traced); };
    }
    TfrmPowerScan window(tree, images, actions, std::move(s));
    if (!window.Create(owner)) return;
    window.ShowMultiProgramWarning(multiProgramWarning);
    window.ShowModal();
}

}  // namespace tarvo::shell
