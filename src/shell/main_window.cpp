#include "shell/main_window.h"

#include <shellapi.h>

#include <algorithm>

#include "language/language.h"
#include "settings/app_frame.h"
#include "shell/uninstall_dialog.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"

namespace tarvo::shell {

RECT CenteredOnWorkArea(int width, int height) noexcept {
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // The design size at 150 % is larger than a small laptop's screen: never past its edges.
    width = std::min(width, static_cast<int>(work.right - work.left));
    height = std::min(height, static_cast<int>(work.bottom - work.top));
    const int left = work.left + ((work.right - work.left) - width) / 2;
    const int top = work.top + ((work.bottom - work.top) - height) / 2;
    return RECT{left, top, left + width, top + height};
}

RECT WorkAreaNear(HWND window) noexcept {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (window && ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

void ForwardRefreshKey(const MSG& message) {
    if (message.message != WM_KEYUP || message.wParam != VK_F5 || !message.hwnd) return;
    const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    if (!root || root == message.hwnd) return;
    wchar_t className[64] = {};
    ::GetClassNameW(root, className, 64);
    if (std::wstring_view(className) == TfrmTarvoUninstall::kClassName)
        ::SendMessageW(root, WM_KEYUP, message.wParam, message.lParam);
}

bool TfrmTarvoUninstall::Create() {
    dpi_ = ui::ScreenDpi();
    const RECT bounds = CenteredOnWorkArea(S(kDesignWidth), S(kDesignHeight));
    // Borderless: the window draws its own title bar and clips itself to rounded corners.
    if (!CreateTopLevel(kClassName, kCaption, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                        WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, bounds))
        return false;
    FormCreate();
    return true;
}

void TfrmTarvoUninstall::CreatePageFrames() {
    title_.onClose = [this] { ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); };
    title_.onMinimize = [this] { ::ShowWindow(hwnd(), SW_MINIMIZE); };
    title_.onMaximize = [this] { ToggleMaximized(); };
    title_.onMenu = [this] { ShowMoreSettingsMenu(); };
    title_.Create(hwnd(), ui::kTitleAll, dpi_, kTitleButtonsId);
    title_.SetHeight(kTitleHeight);
    title_.SetCaption(kApplicationTitle);
    HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, S(16),
                                                 S(16), LR_SHARED));
    if (!icon) icon = static_cast<HICON>(::LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, S(16), S(16), LR_SHARED));
    title_.SetIcon(icon);
    title_.SetMaximized(maximized_);

    ui::ButtonFace page;
    page.style = ui::ButtonStyle::Page;
    pageSoftware_.Create(hwnd(), kSoftwarePageId, {}, page, dpi_);
    pagePlugins_.Create(hwnd(), kPluginsPageId, {}, page, dpi_);
    pageSoftware_.SetChecked(true);
    // The page buttons report their clicks as commands (OnCommand), so the switch can be driven
    // from outside the window like the menu's items.
    for (ui::ImageButton* b : {&pageSoftware_, &pagePlugins_}) b->SetBackground(ui::palette::kTitleBar);

    CreateTitleLinks();
    search_.Create(hwnd(), kSearchBoxId, {}, language::SharedTexts().Edit_Search_Tip, dpi_);
    search_.onChange = [this](const std::wstring& trimmed) {
        if (addonPageShown_) plugins_.OnSearchText(trimmed);
        else software_.OnSearchText(trimmed);
    };

    software_.clearSearchBox = [this] { search_.ClearSilently(); };
    software_.openUninstallDialog = [this](HWND owner, const UninstallRequest& request) {
        for (const auto& event : request.statistics) ReportStatistic(event);
        UninstallDialogOptions options;
        options.statistics = &state_.statistics;
        options.catalogue = software_.Catalogue();
        options.catalogueIcons = software_.RowIcons();
        return OpenUninstallDialog(owner, request.entries, request.batch, options);
    };
    software_.Create(hwnd(), kSoftwareFrameId, {}, dpi_);
    plugins_.clearSearchBox = [this] { search_.ClearSilently(); };
    plugins_.Create(hwnd(), kPluginsFrameId, {}, dpi_);
}

void TfrmTarvoUninstall::ShowAddonPage(bool shown) {
    pageSoftware_.SetChecked(!shown);
    pagePlugins_.SetChecked(shown);
    if (shown == addonPageShown_) return;
    addonPageShown_ = shown;
    floating_.SetPage(shown ? ButtonPage::Addons : ButtonPage::Programs);
    // Each page filters by its own search; a switch starts the other page unfiltered.
    search_.ClearSilently();
    search_.SetCue(SearchCue());
    if (shown) {
        software_.OnSearchText({});
        ::ShowWindow(plugins_.hwnd(), SW_SHOW);
        ::ShowWindow(software_.hwnd(), SW_HIDE);
        plugins_.Activate();
        plugins_.Focus();
    } else {
        plugins_.OnSearchText({});
        ::ShowWindow(software_.hwnd(), SW_SHOW);
        ::ShowWindow(plugins_.hwnd(), SW_HIDE);
        software_.Focus();
    }
}

// The box searches the page that is shown, and its hint says which.
std::wstring TfrmTarvoUninstall::SearchCue() const {
    if (addonPageShown_) return MainWindowText(L"Edit_SearchPlugins", L"Search plug-ins");
    return language::SharedTexts().Edit_Search_Tip;
}

void TfrmTarvoUninstall::FitCaptionsAndCategoryBar() {
    pageSoftware_.SetText(MainWindowText(L"RdImageButton_Software", L"Software"));
    pagePlugins_.SetText(MainWindowText(L"RdImageButton_Plugins", L"Browser plug-ins"));
    search_.SetCue(SearchCue());
    CaptionTitleLinks();
    const language::TSharedTexts& texts = language::SharedTexts();
    title_.SetHints({texts.MoreMenu_Setting, texts.WindowState_Min, texts.WindowState_Max, texts.WindowState_Normor,
                     texts.Close});
    news_.SetInvitation(MainWindowText(
        L"Label_ShareNews", L"Share this software with your families and friends. They will be happy to use Uninstaller!"));
    software_.LayOutCategoryBar(false);
    plugins_.Retranslate();
    LayOut();
}

void TfrmTarvoUninstall::BuildProgramCatalogue() { software_.BuildCatalogue(); }
void TfrmTarvoUninstall::SelectAllProgramsCategory() { software_.SelectAllPrograms(); }
void TfrmTarvoUninstall::SortProgramList() { software_.RestoreSort(); }

void TfrmTarvoUninstall::OnRefreshKey() {
    const bool modifier = (::GetKeyState(VK_CONTROL) | ::GetKeyState(VK_SHIFT) | ::GetKeyState(VK_MENU)) & 0x8000;
    if (modifier) return;
    if (addonPageShown_) plugins_.Refresh();
    else if (state_.catalogueReady) software_.Refresh(false);
}

void TfrmTarvoUninstall::LayOut() {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const int w = client.right;
    const int h = client.bottom;
    title_.LayOut(w);
    const int titleHeight = title_.layout().bar.bottom;

    // The page buttons stand on the title area's bottom edge, after the caption.
    const int pageHeight = S(34);
    const int pageTop = titleHeight - pageHeight;
    const int pagesLeft = S(200);
    const int softwareWidth = pageSoftware_.PreferredWidth() + S(24);
    const int pluginsWidth = pagePlugins_.PreferredWidth() + S(24);
    pageSoftware_.Move({pagesLeft, pageTop, pagesLeft + softwareWidth, titleHeight});
    const int pluginsLeft = pagesLeft + softwareWidth + S(4);
    pagePlugins_.Move({pluginsLeft, pageTop, pluginsLeft + pluginsWidth, titleHeight});

    // The search box sits in the title area, left of the caption buttons. It keeps room for
    // its whole cue, which a translation may make longer: the link steps aside first.
    const int searchWanted = std::clamp(search_.PreferredWidth(), S(100), S(240));
    const int searchRight = LayOutTitleLinks(title_.layout().menu.left - S(10), titleHeight / 2 - S(14), S(28),
                                             pluginsLeft + pluginsWidth + S(8) + searchWanted + S(6)) -
                            S(6);
    const int searchWidth = std::clamp(searchRight - (pluginsLeft + pluginsWidth + S(8)), searchWanted, S(240));
    const int searchHeight = S(28);
    const int searchTop = (titleHeight - searchHeight) / 2;
    search_.Move({searchRight - searchWidth, searchTop, searchRight, searchTop + searchHeight});

    const int frame = std::max(1, dpi_ / 96);
    const int newsHeight = NewsFooterHeight();
    software_.Move({frame, titleHeight, w - frame, h - frame - newsHeight});
    plugins_.Move({frame, titleHeight, w - frame, h - frame - newsHeight});
    if (news_.hwnd()) {
        news_.Move({frame, h - frame - newsHeight, w - frame, h - frame});
        // The round button's colour ring, centred on the window, hangs over the strip.
        const TUninstallButtonModel button(dpi_);
        const RECT ring = button.Ring();
        const int half = (ring.right - ring.left) / 2;
        news_.KeepClear(w / 2 - frame - half, w / 2 - frame + half);
    }
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void TfrmTarvoUninstall::Paint(HDC target) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    ui::FillSolid(dc, client, ui::palette::kWindow);
    title_.Paint(dc);
    ui::PaintRoundedFrame(dc, client, kCornerRadius, dpi_, maximized_, ui::palette::kWindowFrame);
}

void TfrmTarvoUninstall::OnPaint(HDC dc) { Paint(dc); }

void TfrmTarvoUninstall::OnSize(UINT type, int /*width*/, int /*height*/) {
    if (type == SIZE_MINIMIZED) return;
    LayOut();
    ApplyWindowRegion();
}

void TfrmTarvoUninstall::OnTimer(UINT_PTR id) {
    if (id == kTimerGetSoftware) Timer_GetSoftwareTimer();
    else if (id == kTimerCheckInstall) Timer_CheckInstallTimer();
    else if (id == kTimerNewsSwitch) Timer_NewsSwitchTimer();
}

void TfrmTarvoUninstall::OnClose() {
    SavePlacementAtClose();
    software_.SaveSettings();
    ::DestroyWindow(hwnd());
}

void TfrmTarvoUninstall::OnDestroy() {
    ::DragAcceptFiles(hwnd(), FALSE);
    ::PostQuitMessage(0);
}

std::optional<LRESULT> TfrmTarvoUninstall::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return title_.HitTest(lParam, !maximized_);
    case WM_NCLBUTTONDBLCLK:
        if (wParam != HTCAPTION) return std::nullopt;
        ToggleMaximized();
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {S(kDesignWidth) / 2, S(kDesignHeight) / 2};
        return 0;
    case WM_WINDOWPOSCHANGING:
        if (lParam) (void)OnPositionChanging(*reinterpret_cast<WINDOWPOS*>(lParam));
        return std::nullopt;
    case WM_WINDOWPOSCHANGED:
        OnPositionChanged();
        return std::nullopt;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) FormActivate();
        return std::nullopt;
    case WM_KEYUP:
        if (wParam == VK_F5) OnRefreshKey();
        return 0;
    case UM_ACTIVATE:
        OnActivateRequest();
        return 0;
    case UM_FORCEDUNINSTALL:
        OnForcedUninstallRequest();
        return 0;
    case UM_SHELLVERB:
        OnShellVerb();
        return 0;
    case UM_SCOREDBDONE:
        OnScoreDatabaseDownloaded();
        return 0;
    case UM_NEWS:
        OnNewsPosted();
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_COPYDATA:
        return lParam && OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam)) ? TRUE : FALSE;
    default:
        return std::nullopt;
    }
}

}  // namespace tarvo::shell
