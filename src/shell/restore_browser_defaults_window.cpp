#include "shell/restore_browser_defaults_window.h"

#include <algorithm>

#include "common/paths.h"
#include "language/language.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "platform/sqlite_library.h"
#include "shell/test_seam.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/modal_loop.h"
#include "ui/palette.h"
#include "ui/title_bar.h"

namespace tarvo::shell {

namespace {

using browserdefaults::BrowserKind;
namespace palette = ui::palette;

constexpr wchar_t kFormSection[] = L"Uninstaller_frmRestBrowserDefault";
constexpr int kDesignWidth = 400;
constexpr int kDesignHeight = 240;
constexpr int kBandHeight = 32;
constexpr int kCornerRadius = 6;  // the window's corner ellipse is 6 x 6
constexpr int kMargin = 20;
constexpr int kBarTop = 196;  // the button bar
constexpr int kButtonHeight = 28;

// The widths each text is fitted to, in 96-DPI pixels.
constexpr int kConfirmWidth = 370, kLabelWidth = 320, kButtonTextWidth = 128;

std::wstring ApplicationTitle() { return language::GetText(L"Application_Title", L"Tarvo Uninstaller"); }

int MessageBoxOf(HWND owner, const std::wstring& text, UINT type) {
    return test_seam::ShowMessageBox(owner, text, ApplicationTitle(), type);
}

ui::FontRole RoleOf(int role) { return static_cast<ui::FontRole>(role); }

std::wstring ConfirmText() {
    return RestoreDefaultsText(L"Label_Confirm.Caption", L"Restore this browser's home page and search engine?");
}
std::wstring HomeCaption() { return RestoreDefaultsText(L"Label_HomePage.Caption", L"Current home page:"); }
std::wstring SearchCaption() { return RestoreDefaultsText(L"Label_Search.Caption", L"Current search engine:"); }
std::wstring FirefoxNote() {
    return RestoreDefaultsText(L"Label_FirefoxNote.Caption",
                               L"Firefox falls back to its own search engine; the other engines you added are kept.");
}

}  // namespace

std::wstring RestoreDefaultsText(const std::wstring& control, const wchar_t* english) {
    return language::AppLanguage().ReadText(kFormSection, control, english);
}

TfrmRestBrowserDefault::TfrmRestBrowserDefault(BrowserKind kind, const browserdefaults::RestoreEnvironment& environment,
                                               browserdefaults::RestoreActions actions, MessageFn message)
    : model_(kind, environment, std::move(actions)), message_(message ? std::move(message) : MessageFn(&MessageBoxOf)) {}

TfrmRestBrowserDefault::~TfrmRestBrowserDefault() { CloseDialog(); }

bool TfrmRestBrowserDefault::Create(HWND owner) {
    if (!model_.Prepared()) return false;
    SetOwner(owner);
    SetFrameStyle({.cornerRadius = kCornerRadius, .bandHeight = kBandHeight});
    const RECT bounds = ui::CentredOn(owner, Scale(kDesignWidth), Scale(kDesignHeight));
    if (!CreateTopLevel(kClassName, model_.Title(), WS_POPUP | WS_CLIPCHILDREN, 0, bounds, owner)) return false;
    CreateControls();
    ::ShowWindow(hwnd(), SW_SHOW);
    return true;
}

std::wstring TfrmRestBrowserDefault::Fit(const std::wstring& text, int limit, int role) const {
    const HDC dc = ::GetDC(hwnd());
    std::wstring fitted;
    {
        const ui::SelectedObject font(dc, ui::SharedFonts().Get(RoleOf(role), dpi()));
        fitted = browserdefaults::FitText(text, Scale(limit), [dc](const std::wstring& s) {
            SIZE size{};
            ::GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
            return static_cast<int>(size.cx);
        });
    }
    ::ReleaseDC(hwnd(), dc);
    return fitted;
}

void TfrmRestBrowserDefault::CreateControls() {
    const int width = Scale(kDesignWidth);
    ui::CreateHeadingCloseButton(close_, hwnd(), kIdClose,
                                 RECT{width - ui::TitleButtonWidth(dpi()), 0, width, Scale(kBandHeight)}, dpi(),
                                 language::GetText(L"Close", L"Close"));
    const int body = static_cast<int>(ui::FontRole::Body);
    const std::wstring okText = Fit(RestoreDefaultsText(L"RdImageButton_OK.Caption", L"OK"), kButtonTextWidth, body);
    const std::wstring cancelText =
        Fit(RestoreDefaultsText(L"RdImageButton_Cancel.Caption", L"Cancel"), kButtonTextWidth, body);
    ok_.Create(hwnd(), kIdOk, RECT{0, 0, 1, 1}, {.style = ui::ButtonStyle::Primary, .text = okText}, dpi());
    cancel_.Create(hwnd(), kIdCancel, RECT{0, 0, 1, 1}, {.style = ui::ButtonStyle::Secondary, .text = cancelText}, dpi());
    for (ui::ImageButton* button : {&ok_, &cancel_}) button->SetBackground(palette::kToolbar);

    // A caption's own width plus padding, never narrower than a plain OK button.
    const auto buttonWidth = [&](const std::wstring& caption) {
        const HDC dc = ::GetDC(hwnd());
        SIZE size{};
        {
            const ui::SelectedObject font(dc, ui::SharedFonts().Get(ui::FontRole::Body, dpi()));
            ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        }
        ::ReleaseDC(hwnd(), dc);
        return size.cx >= Scale(57) ? static_cast<int>(size.cx) + Scale(32) : Scale(89);
    };
    const int top = Scale(kBarTop) + (Scale(kDesignHeight - kBarTop) - Scale(kButtonHeight)) / 2;
    const int cancelRight = width - Scale(10);
    const int cancelLeft = cancelRight - buttonWidth(cancelText);
    cancel_.Move(RECT{cancelLeft, top, cancelRight, top + Scale(kButtonHeight)});
    const int okRight = cancelLeft - Scale(2);
    ok_.Move(RECT{okRight - buttonWidth(okText), top, okRight, top + Scale(kButtonHeight)});
}

void TfrmRestBrowserDefault::OnPaint(HDC target) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    PaintBodyAndHeading(dc, client, model_.Title());
    ui::FillSolid(dc, RECT{0, Scale(kBarTop), client.right, client.bottom}, palette::kToolbar);
    ::SetBkMode(dc, TRANSPARENT);
    auto& fonts = ui::SharedFonts();
    const auto text = [&](const std::wstring& s, int limit, ui::FontRole role, COLORREF color, int top, int height) {
        const std::wstring fitted = Fit(s, limit, static_cast<int>(role));
        const ui::SelectedObject font(dc, fonts.Get(role, dpi()));
        ::SetTextColor(dc, color);
        RECT r{Scale(kMargin), Scale(top), client.right - Scale(kMargin) / 2, Scale(top + height)};
        ::DrawTextW(dc, fitted.c_str(), -1, &r, DT_LEFT | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
    };
    text(ConfirmText(), kConfirmWidth, ui::FontRole::Body, palette::kText, 44, 24);
    text(HomeCaption(), kLabelWidth, ui::FontRole::Body, palette::kTextSecondary, 76, 20);
    text(model_.Homepage(), kLabelWidth, ui::FontRole::Emphasis, palette::kText, 96, 20);
    text(SearchCaption(), kLabelWidth, ui::FontRole::Body, palette::kTextSecondary, 124, 20);
    text(model_.SearchEngine(), kLabelWidth, ui::FontRole::Emphasis, palette::kText, 144, 20);
    if (model_.Kind() == BrowserKind::Firefox) {
        const ui::SelectedObject font(dc, fonts.Get(ui::FontRole::Small, dpi()));
        ::SetTextColor(dc, palette::kTextSecondary);
        RECT r{Scale(kMargin), Scale(166), client.right - Scale(kMargin), Scale(kBarTop - 2)};
        const std::wstring note = FirefoxNote();
        ::DrawTextW(dc, note.c_str(), -1, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DT_END_ELLIPSIS);
    }
    PaintFrame(dc, client);
}

void TfrmRestBrowserDefault::OnCommand(int id, int /*code*/) {
    switch (id) {
    case kIdOk: (void)model_.RunRestore(*this); break;
    case kIdCancel:
    case kIdClose:
    case IDCANCEL: CloseDialog(); break;
    default: break;
    }
}

void TfrmRestBrowserDefault::EnableButtons(bool enabled) {
    for (ui::ImageButton* button : {&ok_, &cancel_})
        if (button->hwnd()) ::EnableWindow(button->hwnd(), enabled ? TRUE : FALSE);
}

bool TfrmRestBrowserDefault::ConfirmClose(const std::wstring& text) {
    return message_(hwnd(), text, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

void TfrmRestBrowserDefault::ShowSuccess(const std::wstring& text) { (void)message_(hwnd(), text, MB_OK | MB_ICONINFORMATION); }

void TfrmRestBrowserDefault::ShowFailure(const std::wstring& text) { (void)message_(hwnd(), text, MB_OK | MB_ICONWARNING); }

void ShowRestoreBrowserDefaults(HWND owner, BrowserKind kind) {
    platform::SqliteLibrary sqlite;
    const std::wstring exe = platform::GetModuleFilePath();
    (void)sqlite.Load(common::FolderPart(exe) + L"sqlite3.dll");
    auto env = browserdefaults::RestoreEnvironment::ForThisProgram(sqlite.IsLoaded() ? &sqlite : nullptr);
    // Lets the window repaint between the long steps of a restore.
    env.pumpMessages = [] { platform::PumpWaitingMessages(); };
    TfrmRestBrowserDefault window(kind, env, browserdefaults::RealRestoreActions());
    if (window.Create(owner)) window.ShowModal();
}

}  // namespace tarvo::shell
