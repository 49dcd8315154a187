// addon_page_shots_driver: the browser plug-ins page on made-up add-ons of every browser, or
// the vote window, kept open until closed from outside so a script can take its picture.
//   addon_page_shots_driver all     the all-browsers view
//   addon_page_shots_driver ie      Internet Explorer's view, every group open
//   addon_page_shots_driver chrome  Chrome's view
//   addon_page_shots_driver vote    the vote window for an add-on rated four stars
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "shell/browser_cleaner_page.h"
#include "shell/plugin_vote_window.h"
#include "ui/window_base.h"

namespace {

using namespace tarvo::addons;

struct Made {
    const wchar_t* name;
    AddonKind kind;
    const wchar_t* description;
    const wchar_t* publisher;
    const wchar_t* version;
    std::int32_t score;  // 0: no rating; 1: recommended to remove
    std::uint8_t sysType = 0;
};

class MadeUpCleaner final : public TCustomBrowserCleaner {
public:
    MadeUpCleaner(BrowserKind kind, std::vector<Made> made) : TCustomBrowserCleaner(Environment()), kind_(kind), made_(std::move(made)) {}
    BrowserKind Browser() const noexcept override { return kind_; }
    void ScanItems() override {
        for (const Made& m : made_) {
            TPluginItem* item = AddItem({kind_, m.kind, m.name, m.name, m.description, std::wstring(L"C:\\Addons\\") + m.name,
                                         m.publisher, m.version, true, m.sysType, nullptr, {}});
            if (!item || m.score == 0) continue;
            item->HasRating = true;
            item->Score = m.score;
            item->Trust = m.score >= 2 ? kTrusted : kRecommendRemove;
        }
    }
    bool RemoveItem(TPluginItem&) override { return true; }
    bool RestoreItem(TPluginItem&) override { return true; }

private:
    static CleanerEnvironment Environment() {
        CleanerEnvironment env;
        env.is64 = true;
        return env;
    }
    BrowserKind kind_;
    std::vector<Made> made_;
};

std::vector<std::unique_ptr<TCustomBrowserCleaner>> MadeUpBrowsers() {
    std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners;
    cleaners.push_back(std::make_unique<MadeUpCleaner>(BrowserKind::InternetExplorer, std::vector<Made>{
        {L"Northwind Search Toolbar", AddonKind::Toolbar, L"Search from the toolbar", L"Northwind Traders", L"3.1", 1, 1},
        {L"Contoso Link Helper", AddonKind::BrowserHelperObject, L"Opens links in Contoso apps", L"Contoso Ltd.", L"1.2", 4},
        {L"Fabrikam Viewer Control", AddonKind::ActiveX, L"Shows Fabrikam documents", L"Fabrikam, Inc.", L"7.0", 0},
        {L"Shockwave Flash Object", AddonKind::ActiveX, L"Adobe Flash Player", L"Adobe Systems", L"11.5", 3}}));
    cleaners.push_back(std::make_unique<MadeUpCleaner>(BrowserKind::Chrome, std::vector<Made>{
        {L"Coupon Finder Pro", AddonKind::Extension, L"Shows coupons on every page", L"DealsNow", L"0.9", 1},
        {L"Password Keeper", AddonKind::Extension, L"Fills passwords", L"Keeper Labs", L"4.2", 5},
        {L"Shockwave Flash", AddonKind::Plugin, L"Shockwave Flash 11.5", L"Adobe Systems", L"11.5", 3}}));
    cleaners.push_back(std::make_unique<MadeUpCleaner>(BrowserKind::Firefox, std::vector<Made>{
        {L"Coupon Finder Pro", AddonKind::Extension, L"Shows coupons on every page", L"DealsNow", L"0.9", 1},
        {L"Tab Groups", AddonKind::Extension, L"Groups your tabs", L"Mozilla", L"2.0", 4}}));
    cleaners.push_back(std::make_unique<MadeUpCleaner>(BrowserKind::Opera, std::vector<Made>{
        {L"Opera Mail Notifier", AddonKind::Extension, L"", L"Opera Software", L"1.0", 0}}));
    return cleaners;
}

class Host final : public tarvo::ui::WindowBase {
public:
    bool Create(int dpi) {
        // Small enough for the test screen at 150 %.
        const RECT bounds{0, 0, tarvo::ui::ScaleForDpi(800, dpi), tarvo::ui::ScaleForDpi(500, dpi)};
        if (!CreateTopLevel(L"TarvoAddonPageHost", L"Add-ons", WS_POPUP | WS_CLIPCHILDREN, 0, bounds)) return false;
        page.makeCleaners = MadeUpBrowsers;
        RECT client{};
        ::GetClientRect(hwnd(), &client);
        return page.Create(hwnd(), 1, client, dpi);
    }
    tarvo::shell::TfraBrowserCleaner page;

private:
    void OnDestroy() override { ::PostQuitMessage(0); }
};

void RunUntilQuit() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    const std::wstring mode = argv[1];
    if (mode == L"vote") {
        TPluginItem item;
        item.Caption = item.Name = L"Shockwave Flash Object (32 bit) ";
        item.Score = 4;
        TAllBrowserCleaner none;
        tarvo::shell::TfrmPluginVote window(item, none, L"http://127.0.0.1:9");
        if (!window.Create(nullptr)) return 1;
        window.ShowModal();
        return 0;
    }
    Host host;
    if (!host.Create(tarvo::ui::ScreenDpi())) return 1;
    ::ShowWindow(host.page.hwnd(), SW_SHOW);
    host.page.Prepare(nullptr);
    host.page.Activate();
    // The enumeration reports by message; the view is chosen once it is done.
    while (host.page.Page().Busy()) {
        MSG message;
        if (::GetMessageW(&message, nullptr, 0, 0) <= 0) return 1;
        ::DispatchMessageW(&message);
    }
    host.page.Activate();
    const BrowserKind wanted = mode == L"ie" ? BrowserKind::InternetExplorer : mode == L"chrome" ? BrowserKind::Chrome : BrowserKind::All;
    const auto& tabs = host.page.Page().Tabs();
    for (std::size_t i = 0; i < tabs.size(); ++i)
        if (tabs[i].browser == wanted && wanted != BrowserKind::All) host.page.ShowTab(static_cast<int>(i));
    if (mode == L"ie") {
        // Every group open, so the picture shows all three.
        TAddonPage& page = host.page.Page();
        for (int row = page.RowCount() - 1; row >= 0; --row)
            if (page.Row(row).header && !page.Groups()[static_cast<std::size_t>(page.Row(row).group)].expanded) page.ToggleGroup(row);
    }
    // Shown only now, so that a window on the screen is a finished page.
    ::ShowWindow(host.hwnd(), SW_SHOW);
    RunUntilQuit();
    return 0;
}
