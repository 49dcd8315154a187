#include "shell/about_window.h"

#include <algorithm>

#include "language/language.h"
#include "setup/startup_folders.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"
#include "ui/title_bar.h"

namespace tarvo::shell {

namespace {

namespace palette = ui::palette;

constexpr wchar_t kFormSection[] = L"Uninstaller_frmAbout";
constexpr int kDesignWidth = 420;
constexpr int kDesignHeight = 290;
constexpr int kMargin = 20;
constexpr int kIconSize = 48;

std::wstring Title() { return AboutText(L"Caption", L"About"); }

// "%s" of the version line becomes the version; a translation without it shows the version after it.
std::wstring VersionLine(const std::wstring& version) {
    std::wstring line = AboutText(L"Label_Version.Caption", L"Version %s");
    const auto at = line.find(L"%s");
    if (at == std::wstring::npos) return line + L' ' + version;
    return line.replace(at, 2, version);
}

}  // namespace

std::wstring AboutText(const std::wstring& control, const wchar_t* english) {
    return language::AppLanguage().ReadText(kFormSection, control, english);
}

TfrmAbout::~TfrmAbout() { CloseDialog(); }

bool TfrmAbout::Create(HWND owner) {
    SetOwner(owner);
    const RECT bounds = ui::CentredOn(owner, Scale(kDesignWidth), Scale(kDesignHeight));
    if (!CreateTopLevel(kClassName, Title(), WS_POPUP | WS_CLIPCHILDREN, 0, bounds, owner)) return false;
    icon_ = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                            Scale(kIconSize), Scale(kIconSize), LR_SHARED));
    if (!icon_) icon_ = ::LoadIconW(nullptr, IDI_APPLICATION);

    const int width = Scale(kDesignWidth);
    ui::CreateHeadingCloseButton(close_, hwnd(), kIdClose,
                                 RECT{width - ui::TitleButtonWidth(dpi()), 0, width, BandHeight()}, dpi(),
                                 language::GetText(L"Close", L"Close"));
    ok_.Create(hwnd(), kIdOk, RECT{0, 0, 1, 1},
               {.style = ui::ButtonStyle::Primary, .text = AboutText(L"RdImageButton_OK.Caption", L"OK")}, dpi());
    const int w = std::max(Scale(88), ok_.PreferredWidth());
    const int right = width - Scale(kMargin), top = Scale(kDesignHeight - 44);
    ok_.Move(RECT{right - w, top, right, top + Scale(28)});
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetFocus(ok_.hwnd());
    return true;
}

void TfrmAbout::OnCommand(int id, int /*code*/) {
    if (id == kIdClose || id == kIdOk || id == IDCANCEL || id == IDOK) CloseDialog();
}

void TfrmAbout::OnPaint(HDC target) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    PaintBodyAndHeading(dc, client, Title());
    auto& fonts = ui::SharedFonts();

    const int left = Scale(kMargin), right = client.right - Scale(kMargin);
    const int iconTop = BandHeight() + Scale(20);
    if (icon_) ::DrawIconEx(dc, left, iconTop, icon_, Scale(kIconSize), Scale(kIconSize), 0, nullptr, DI_NORMAL);
    const int textLeft = left + Scale(kIconSize + 16);
    ui::DrawTextLine(dc, AboutText(L"Label_Title.Caption", L"Tarvo Uninstaller"),
                     RECT{textLeft, iconTop, right, iconTop + Scale(26)}, fonts.Get(ui::FontRole::Heading, dpi()),
                     palette::kText);
    const HFONT body = fonts.Get(ui::FontRole::Body, dpi());
    ui::DrawTextLine(dc, VersionLine(version_), RECT{textLeft, iconTop + Scale(26), right, iconTop + Scale(46)}, body,
                     palette::kTextSecondary);
    {
        // The description may take several lines.
        const std::wstring description =
            AboutText(L"Label_Description.Caption",
                      L"Removes programs with their own uninstaller, then finds and removes what they left behind "
                      L"in the registry and on disk.");
        RECT box{textLeft, iconTop + Scale(54), right, iconTop + Scale(130)};
        const ui::SelectedObject font(dc, body);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, palette::kText);
        ::DrawTextW(dc, description.c_str(), -1, &box, DT_LEFT | DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    ui::DrawTextLine(dc, AboutText(L"Label_Copyright.Caption", L"Copyright \u00A9 Tarvo Software. All rights reserved."),
                     RECT{left, Scale(kDesignHeight - 80), right, Scale(kDesignHeight - 56)},
                     fonts.Get(ui::FontRole::Small, dpi()), palette::kTextSecondary);
    PaintFrame(dc, client);
}

void ShowAbout(HWND owner) {
    TfrmAbout window(setup::OwnFileVersionText());
    if (window.Create(owner)) window.ShowModal();
}

}  // namespace tarvo::shell
