// The shared cleaner core driven through a browser of our own making.
#include "addons/all_browser_cleaner.h"

#include <gtest/gtest.h>

#include <map>

#include "addons/cleaner_store.h"
#include "addons_sqlite.h"
#include "support/scratch_folder.h"

namespace tarvo::addons {
namespace {

class FakeScores : public IScoreSource {
public:
    bool Loaded() const override { return true; }
    ScoreRecord Lookup(const std::wstring& id) const override {
        const auto found = scores.find(id);
        if (found == scores.end()) return {};
        return {L"ID", id, found->second, {}};
    }
    std::map<std::wstring, std::int32_t> scores;
};

class FakeCleaner : public TCustomBrowserCleaner {
public:
    FakeCleaner(const CleanerEnvironment& env, BrowserKind browser, std::vector<std::wstring>& log)
        : TCustomBrowserCleaner(env), browser_(browser), log_(log) {}

    FoundAddon Addon(const std::wstring& name, const std::wstring& path, std::uint8_t sysType = 0) const {
        return {browser_, AddonKind::Extension, L"ext-" + name, name, L"desc", path, L"", L"1,0", true, sysType, nullptr, {}};
    }
    void ScanItems() override {
        log_.push_back(L"scan");
        for (const auto& name : names) AddItem(Addon(name, L"C:\\" + name + L".dll"));
    }
    bool RemoveItem(TPluginItem& item) override {
        log_.push_back(L"remove " + item.Caption);
        return item.Caption != L"Stuck";
    }
    bool RestoreItem(TPluginItem&) override { return true; }
    void ReleaseItem(TPluginItem& item) override { log_.push_back(L"release " + item.Caption); }
    bool IsInstalled() override { return installed; }

    std::vector<std::wstring> names;
    bool installed = true;

private:
    BrowserKind browser_;
    std::vector<std::wstring>& log_;
};

class BrowserCleanerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::LoadTestSqlite(sqlite));
        env.sqlite = &sqlite;
        env.appDataFolder = scratch.path();
    }
    std::unique_ptr<FakeCleaner> Make(BrowserKind browser = BrowserKind::Chrome) {
        auto cleaner = std::make_unique<FakeCleaner>(env, browser, log);
        cleaner->ScoreDB = &scores;
        cleaner->OnScanBegin = [this](auto&) { log.push_back(L"begin"); };
        cleaner->OnScanEnd = [this](auto&) { log.push_back(L"end"); };
        cleaner->OnItemAdded = [this](auto&, TPluginItem& item) { log.push_back(L"added " + item.Caption); };
        cleaner->OnOperation = [this](auto&, TPluginItem* item, bool ok, std::int32_t op) {
            log.push_back(L"op" + std::to_wstring(op) + (ok ? L" ok " : L" failed ") + (item ? item->Caption : L"-"));
        };
        return cleaner;
    }

    platform::SqliteLibrary sqlite;
    test::ScratchFolder scratch;
    CleanerEnvironment env;
    FakeScores scores;
    std::vector<std::wstring> log;
};

TEST_F(BrowserCleanerTest, AddItemMergesEqualAddOnsOfOneSystemType) {
    auto cleaner = Make();
    ASSERT_TRUE(cleaner->StoreOpen());
    auto first = cleaner->Addon(L"&Tool", L"C:\\a.dll");
    first.publisher = L"";
    ASSERT_TRUE(cleaner->AddItem(std::move(first)));
    auto same = cleaner->Addon(L"tool ", L"C:\\b.dll");
    same.version = L"1.0";
    same.publisher = L"Maker";
    EXPECT_FALSE(cleaner->AddItem(std::move(same)));
    EXPECT_TRUE(cleaner->AddItem(cleaner->Addon(L"Tool", L"C:\\c.dll", 1)));
    auto absent = cleaner->Addon(L"Gone", L"C:\\g.dll");
    absent.present = false;
    EXPECT_FALSE(cleaner->AddItem(std::move(absent)));
    EXPECT_EQ(cleaner->AddItem(cleaner->Addon(L"  ", L"C:\\x\\blank.dll"))->Caption, L"blank.dll");

    const auto& items = cleaner->Items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->Caption, L"Tool");
    EXPECT_EQ(items[0]->Version, L"1.0");
    EXPECT_EQ(items[0]->Publisher, L"Maker");
    EXPECT_EQ(items[0]->Paths, (std::vector<std::wstring>{L"C:\\a.dll", L"C:\\b.dll"}));
    EXPECT_EQ(items[0]->Id.size(), 38u);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"added Tool", L"added Tool", L"added blank.dll"}));
}

TEST_F(BrowserCleanerTest, AddItemJoinsTheFirstEqualItemStillListed) {
    auto cleaner = Make();
    const auto add = [&](const std::wstring& name, const std::wstring& path) {
        return cleaner->AddItem(cleaner->Addon(name, path));
    };
    const TPluginItem* gone = add(L"Alpha", L"C:\\a1.dll");
    ASSERT_TRUE(gone);
    ASSERT_TRUE(add(L"", L"C:\\x\\Beta"));
    EXPECT_FALSE(add(L" BETA", L"C:\\b2.dll"));  // equal to the caption taken from the path
    ASSERT_TRUE(add(L"\u00e4rger", L"C:\\u1.dll"));
    EXPECT_FALSE(add(L"\u00c4RGER", L"C:\\u2.dll"));
    cleaner->Remove({gone->Id});
    ASSERT_TRUE(add(L"alpha", L"C:\\a2.dll"));
    EXPECT_FALSE(add(L"ALPHA", L"C:\\a3.dll"));

    std::vector<std::vector<std::wstring>> paths;
    for (const auto& item : cleaner->Items()) paths.push_back(item->Paths);
    EXPECT_EQ(paths, (std::vector<std::vector<std::wstring>>{{L"C:\\x\\Beta", L"C:\\b2.dll"},
                                                             {L"C:\\u1.dll", L"C:\\u2.dll"},
                                                             {L"C:\\a2.dll", L"C:\\a3.dll"}}));
}

TEST_F(BrowserCleanerTest, TrustFollowsStoredChoiceThenVoteThenScoreDatabase) {
    const struct {
        int trustedFlag;  // 0: no row
        int voteStars;    // 0: no row
        int dbScore;      // -1: unknown to the database
        int tableScore;   // 0: no row
        std::uint8_t trust;
        std::int32_t score;
        bool hasRating;
    } cases[] = {
        {0, 0, -1, 0, 1, 0, false}, {0, 0, 1, 0, 2, 1, true}, {0, 0, 2, 0, 1, 2, true},
        {0, 1, 5, 0, 2, 5, true},   {1, 1, 5, 0, 1, 5, true}, {2, 0, 5, 0, 2, 5, true},
        {0, 0, 1, 7, 2, 7, true},   {0, 3, -1, 7, 1, 7, false},
    };
    (void)Make();  // makes the data folder
    int row = 0;
    for (const auto& c : cases) {
        const std::wstring name = L"Addon" + std::to_wstring(row++);
        {
            CleanerStore store;
            ASSERT_TRUE(store.Open(&sqlite, scratch.path() + L"\\Tarvo\\Tarvo Uninstaller\\BCleanerdb"));
            const StoreKey key{L"ext-" + name, name, L"", L"", 0, L"1.0"};
            if (c.trustedFlag) {
                ASSERT_TRUE(store.WriteTrust(key, {L"C:\\" + name + L".dll"}, c.trustedFlag));
            }
            if (c.voteStars) {
                ASSERT_TRUE(store.WriteVote(key, {L"C:\\" + name + L".dll"}, c.voteStars, L"t"));
            }
        }
        if (c.tableScore) {
            platform::SqliteDatabase db;
            ASSERT_EQ(db.Open(sqlite, scratch.path() + L"\\Tarvo\\Tarvo Uninstaller\\BCleanerdb", false), 0);
            auto insert = db.Prepare("INSERT INTO pluginscore VALUES(?,?,'',?,?,0,?)");
            ASSERT_EQ(insert.BindText(1, L"ext-" + name) + insert.BindText(2, name) + insert.BindText(3, L"1.0") +
                          insert.BindText(4, L"C:\\" + name + L".dll") + insert.BindInt(5, c.tableScore), 0);
            ASSERT_EQ(insert.Step(), platform::SqliteLibrary::kDone);
        }
        if (c.dbScore >= 0) scores.scores[name] = c.dbScore;
        auto cleaner = Make();
        cleaner->names = {name};
        cleaner->Scan();
        ASSERT_EQ(cleaner->Items().size(), 1u);
        const TPluginItem& item = *cleaner->Items()[0];
        EXPECT_EQ(item.Trust, c.trust) << "row " << row - 1;
        EXPECT_EQ(item.Score, c.score) << "row " << row - 1;
        EXPECT_EQ(item.HasRating, c.hasRating) << "row " << row - 1;
        EXPECT_EQ(item.Voted, c.voteStars != 0) << "row " << row - 1;
        EXPECT_EQ(item.MyVote, c.voteStars) << "row " << row - 1;
    }
}

TEST_F(BrowserCleanerTest, SetTrustStoresChangesAndReportsEach) {
    auto cleaner = Make();
    cleaner->names = {L"Bob's bar"};
    cleaner->Scan();
    const std::wstring id = cleaner->Items()[0]->Id;
    log.clear();
    cleaner->SetTrust({id}, 1);  // already trusted: nothing happens
    cleaner->SetTrust({id}, 2);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"op3 ok Bob's bar"}));

    auto again = Make();
    again->names = {L"Bob's bar"};
    again->Scan();
    EXPECT_EQ(again->Items()[0]->Trust, 2);

    CleanerEnvironment noStore = env;
    noStore.appDataFolder.clear();
    FakeCleaner lost(noStore, BrowserKind::Chrome, log);
    lost.names = {L"Other"};
    lost.Scan();
    lost.OnOperation = cleaner->OnOperation;
    log.clear();
    lost.SetTrust({lost.Items()[0]->Id}, 2);
    EXPECT_EQ(lost.Items()[0]->Trust, 1);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"op3 failed Other"}));
}

TEST_F(BrowserCleanerTest, ScanOnceThenReplayAndRemoveInOrder) {
    auto cleaner = Make();
    cleaner->names = {L"A", L"Stuck", L"B"};
    cleaner->Scan();
    cleaner->Scan();
    EXPECT_EQ(log, (std::vector<std::wstring>{L"begin", L"scan", L"added A", L"added Stuck", L"added B", L"end",
                                              L"begin", L"added A", L"added Stuck", L"added B", L"end"}));
    log.clear();
    const auto& items = cleaner->Items();
    cleaner->Remove({items[1]->Id, items[0]->Id, L"unknown"});
    EXPECT_EQ(log, (std::vector<std::wstring>{L"remove A", L"op0 ok A", L"remove Stuck", L"op0 failed Stuck",
                                              L"release A", L"op1 ok -"}));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->Caption, L"Stuck");

    log.clear();
    cleaner->installed = false;
    cleaner->Remove({items[0]->Id});
    cleaner->Scan();
    EXPECT_TRUE(log.empty());
}

TEST_F(BrowserCleanerTest, TwinsAcrossBrowsersMergeAndGoTogether) {
    auto chrome = Make(BrowserKind::Chrome);
    auto firefox = Make(BrowserKind::Firefox);
    chrome->names = {L"Shared", L"OnlyChrome"};
    firefox->names = {L"SHARED", L"OnlyFirefox"};
    chrome->Scan();
    firefox->Scan();
    TAllBrowserCleaner all;
    all.AddCleaner(*chrome);
    all.AddCleaner(*firefox);
    all.BuildMergedList();

    ASSERT_EQ(all.MergedCount(), 3);
    TPluginItem* shared = all.MergedItem(0);
    EXPECT_EQ(shared->Browser, BrowserKind::Chrome);
    EXPECT_EQ(all.MergedItem(2)->Caption, L"OnlyFirefox");
    const std::wstring twin = firefox->Items()[0]->Id;
    EXPECT_EQ(all.TwinMap(), (std::vector<std::pair<std::wstring, std::wstring>>{{shared->Id, twin}, {twin, shared->Id}}));
    EXPECT_EQ(all.BrowsersOf(*firefox->Items()[0]), (std::set<BrowserKind>{BrowserKind::Chrome, BrowserKind::Firefox}));
    EXPECT_EQ(all.ExpandTwins({shared->Id}), (std::vector<std::wstring>{shared->Id, twin}));

    bool done = false;
    all.OnRemoveDone = [&](auto&) { done = true; };
    all.Remove({shared->Id});
    EXPECT_TRUE(done);
    EXPECT_EQ(chrome->Items().size(), 1u);
    EXPECT_EQ(firefox->Items().size(), 1u);
}

}  // namespace
}  // namespace tarvo::addons
