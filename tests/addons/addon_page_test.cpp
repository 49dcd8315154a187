// The add-on page's logic driven through a recording view and browsers of our own making.
#include "addons/addon_page.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "addons/browser_process.h"
#include "addons_sqlite.h"
#include "support/scratch_folder.h"

namespace tarvo::addons {
namespace {

struct Found {
    std::wstring name;
    AddonKind kind = AddonKind::Extension;
    std::uint8_t sysType = 0;
};

class PageCleaner : public TCustomBrowserCleaner {
public:
    PageCleaner(const CleanerEnvironment& env, BrowserKind browser, std::vector<Found> found, std::vector<std::wstring>& log)
        : TCustomBrowserCleaner(env), browser_(browser), found_(std::move(found)), log_(log) {}
    BrowserKind Browser() const noexcept override { return browser_; }
    void ScanItems() override {
        for (const auto& f : found_)
            AddItem({browser_, f.kind, f.name, f.name, L"", L"C:\\" + f.name + L".dll", L"Pub", L"1.0", true, f.sysType, nullptr, {}});
    }
    bool RemoveItem(TPluginItem& item) override {
        log_.push_back(BrowserName(browser_) + L" removes " + item.Caption);
        return item.Caption != L"Stuck";
    }
    bool RestoreItem(TPluginItem&) override { return true; }

private:
    BrowserKind browser_;
    std::vector<Found> found_;
    std::vector<std::wstring>& log_;
};

class Scores : public IScoreSource {
public:
    bool Loaded() const override { return true; }
    ScoreRecord Lookup(const std::wstring& id) const override {
        if (id.starts_with(L"Bad")) return {L"ID", id, 1, {}};
        return {};
    }
};

// Answers the page's questions from a script and holds worker jobs until the test runs them.
class RecordingView : public IAddonPageView, public IBrowserProcesses {
public:
    void RowsChanged() override {}
    void TabsChanged() override {}
    void ShowLoading(bool shown) override { loading = shown; }
    void Inform(const std::wstring& text) override { log.push_back(L"inform: " + text); }
    void Warn(const std::wstring& text) override { log.push_back(L"warn: " + text); }
    bool AskYesNo(const std::wstring&) override { return true; }
    bool AskOkCancel(const std::wstring& text) override {
        log.push_back(L"ask: " + text.substr(0, text.find(L'\r')));
        return closeBrowsers;
    }
    void RunWorker(Work kind, std::function<void()> work) override { jobs.emplace_back(kind, std::move(work)); }
    bool IsRunning(BrowserKind kind) override { return running.contains(kind); }
    void Close(BrowserKind kind) override {
        log.push_back(L"close " + BrowserName(kind));
        running.erase(kind);
    }

    // What the page window's worker and its messages do.
    void RunJobs(TAddonPage& page) {
        while (!jobs.empty()) {
            auto [kind, work] = std::move(jobs.front());
            jobs.pop_front();
            if (kind == Work::Scan) page.OnScanStart();
            work();
            kind == Work::Scan ? page.OnScanDone() : page.OnRemoveDone();
        }
    }

    std::vector<std::wstring> log;
    std::set<BrowserKind> running;
    bool closeBrowsers = true;
    bool loading = false;
    std::deque<std::pair<Work, std::function<void()>>> jobs;
};

class AddonPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::LoadTestSqlite(sqlite));
        env.sqlite = &sqlite;
        env.appDataFolder = scratch.path();
        env.is64 = true;
    }
    std::vector<std::unique_ptr<TCustomBrowserCleaner>> Cleaners(std::map<BrowserKind, std::vector<Found>> found) {
        std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners;
        for (auto& [kind, items] : found) cleaners.push_back(std::make_unique<PageCleaner>(env, kind, items, view.log));
        return cleaners;
    }
    void Start(std::map<BrowserKind, std::vector<Found>> found) {
        page.Prepare(Cleaners(std::move(found)), &scores, true);
        view.RunJobs(page);
        page.Activate();
    }
    int TabOf(BrowserKind kind) const {
        for (std::size_t i = 0; i < page.Tabs().size(); ++i)
            if (page.Tabs()[i].browser == kind) return static_cast<int>(i);
        return -1;
    }
    // "H:<title>" for a header, "<line1>[x]" for a row with its check.
    std::vector<std::wstring> Shown() const {
        std::vector<std::wstring> shown;
        for (int i = 0; i < page.RowCount(); ++i) {
            const PageRow& row = page.Row(i);
            shown.push_back(row.header ? L"H:" + row.line1 : row.line1 + (row.checked ? L"[x]" : L"[ ]"));
        }
        return shown;
    }
    int RowOf(const std::wstring& line1) const {
        for (int i = 0; i < page.RowCount(); ++i)
            if (page.Row(i).line1.starts_with(line1)) return i;
        return -1;
    }

    platform::SqliteLibrary sqlite;
    test::ScratchFolder scratch;
    CleanerEnvironment env;
    Scores scores;
    RecordingView view;
    TAddonPage page{view, view};
};

using V = std::vector<std::wstring>;

TEST_F(AddonPageTest, ViewsGroupByTrustOrKindAndTabsFollowTheCleaners) {
    Start({{BrowserKind::InternetExplorer, {{L"Bar", AddonKind::Toolbar, 1}, {L"Helper", AddonKind::BrowserHelperObject, 0}}},
           {BrowserKind::Chrome, {{L"BadExt"}, {L"GoodExt"}, {L"Flash", AddonKind::Plugin}}}});
    ASSERT_EQ(page.Tabs().size(), 3u);
    EXPECT_EQ(page.Tabs()[1].browser, BrowserKind::Chrome);  // Chrome's tab comes first
    EXPECT_FALSE(view.loading);
    EXPECT_EQ(Shown(), (V{L"H:Plug-ins recommended to remove (1)", L"BadExt (1.0)[x]", L"H:Trusted plug-ins (4)"}));

    page.ShowView(TabOf(BrowserKind::InternetExplorer));
    // The last group with rows opens; the bit suffix is the IE view's.
    EXPECT_EQ(Shown(), (V{L"H:Toolbar (1)", L"H:BHO (1)", L"Helper (1.0) (32 bit) [ ]", L"H:ActiveX (0)"}));
    page.ToggleGroup(0);
    EXPECT_EQ(Shown()[1], L"Bar (1.0) (64 bit) [ ]");

    page.ShowView(TabOf(BrowserKind::Chrome));
    EXPECT_EQ(Shown(), (V{L"H:Extensions (2)", L"H:Plugins (1)", L"Flash (1.0)[ ]"}));
    EXPECT_TRUE(page.RestoreButtonText().find(L"Chrome") != std::wstring::npos);
}

TEST_F(AddonPageTest, SearchFiltersAndKeepsTheUsersChecks) {
    Start({{BrowserKind::Chrome, {{L"BadOne"}, {L"BadTwo"}, {L"Good"}}}});
    page.SetChecked(RowOf(L"BadOne"), false);
    struct Case {
        std::wstring search;
        V shown;
    } cases[] = {
        {L"bad", {L"H:Plug-ins recommended to remove (2)", L"BadOne (1.0)[ ]", L"BadTwo (1.0)[x]", L"H:Trusted plug-ins (0)"}},
        {L"nothing", {L"H:Plug-ins recommended to remove (0)", L"H:Trusted plug-ins (0)"}},
        {L"", {L"H:Plug-ins recommended to remove (2)", L"BadOne (1.0)[ ]", L"BadTwo (1.0)[x]", L"H:Trusted plug-ins (1)"}},
    };
    for (const auto& c : cases) {
        page.SetFilter(c.search);
        EXPECT_EQ(Shown(), c.shown) << c.search;
    }
}

TEST_F(AddonPageTest, TrustToggleMovesTheRowAndResetsItsCheck) {
    Start({{BrowserKind::Chrome, {{L"BadOne"}, {L"Good"}}}});
    page.ToggleTrust(RowOf(L"BadOne"));
    EXPECT_EQ(Shown(), (V{L"H:Plug-ins recommended to remove (0)", L"H:Trusted plug-ins (2)", L"BadOne (1.0)[ ]", L"Good (1.0)[ ]"}));
    page.ToggleTrust(RowOf(L"Good"));
    EXPECT_EQ(Shown()[1], L"Good (1.0)[x]");
}

TEST_F(AddonPageTest, RemovingATwinRemovesItFromEveryBrowserOffTheUiThread) {
    Start({{BrowserKind::Chrome, {{L"BadShared"}, {L"Good"}}}, {BrowserKind::Firefox, {{L"BadShared"}}}});
    EXPECT_EQ(page.RowCount(), 3);  // the twins are one row
    page.RemoveChecked();
    EXPECT_TRUE(page.Busy());
    EXPECT_TRUE(view.log.empty());  // nothing happens before the worker runs
    view.RunJobs(page);
    EXPECT_EQ(view.log, (V{L"Chrome removes BadShared", L"Firefox removes BadShared", L"inform: Plugins removed successfully"}));
    EXPECT_EQ(Shown(), (V{L"H:Plug-ins recommended to remove (0)", L"H:Trusted plug-ins (1)", L"Good (1.0)[ ]"}));
}

TEST_F(AddonPageTest, RunningBrowsersAreClosedOnlyWhenTheUserAgrees) {
    struct Case {
        bool agree;
        V log;
        int rowsAfter;
    } cases[] = {
        {false, {L"ask: Chrome, Firefox are running"}, 3},
        {true, {L"ask: Chrome, Firefox are running", L"close Chrome", L"close Firefox", L"Chrome removes BadShared",
                L"Firefox removes BadShared", L"inform: Plugins removed successfully"}, 2},
    };
    for (const auto& c : cases) {
        Start({{BrowserKind::Chrome, {{L"BadShared"}}}, {BrowserKind::Firefox, {{L"BadShared"}}}});
        view.log.clear();
        view.running = {BrowserKind::Chrome, BrowserKind::Firefox};
        view.closeBrowsers = c.agree;
        page.RemoveRow(RowOf(L"BadShared"));
        view.RunJobs(page);
        EXPECT_EQ(view.log, c.log);
        EXPECT_EQ(page.RowCount(), c.rowsAfter);
        if (!c.agree) {
            EXPECT_TRUE(page.Row(1).checked);
        }
    }
}

TEST_F(AddonPageTest, FailedAndRefusedRemovalsAreNamedWithTheirBrowser) {
    Start({{BrowserKind::InternetExplorer, {{L"Stuck", AddonKind::ActiveX}, {L"Fine", AddonKind::ActiveX}}}});
    page.ShowView(TabOf(BrowserKind::InternetExplorer));
    page.SetChecked(RowOf(L"ActiveX"), true);  // the group header checks its rows
    page.RemoveChecked();
    view.RunJobs(page);
    ASSERT_FALSE(view.log.empty());
    EXPECT_EQ(view.log.back(),
              L"warn: Failed to remove following plugins:\r\rStuck\r\rPlease exit following browsers to remove the "
              L"plugins:\r\rIE\r\rPlease confirm that browsers are exited, and then try again.");
    EXPECT_EQ(Shown(), (V{L"H:Toolbar (0)", L"H:BHO (0)", L"H:ActiveX (1)", L"Stuck (1.0) (32 bit) [x]"}));
}

TEST_F(AddonPageTest, ARefreshDuringAScanWaitsForItAndThenScansAgain) {
    page.Prepare(Cleaners({{BrowserKind::Chrome, {{L"Old"}}}}), &scores, true);
    ASSERT_EQ(view.jobs.size(), 1u);
    page.Prepare(Cleaners({{BrowserKind::Chrome, {{L"New"}}}}), &scores, true);
    ASSERT_EQ(view.jobs.size(), 1u);  // the running scan keeps its cleaners
    view.RunJobs(page);                // ends the first, starts and ends the second
    EXPECT_FALSE(page.Busy());
    EXPECT_EQ(Shown(), (V{L"H:Plug-ins recommended to remove (0)", L"H:Trusted plug-ins (1)", L"New (1.0)[ ]"}));
}

}  // namespace
}  // namespace tarvo::addons
