#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "online/last_news_check.h"
#include "online/news_version.h"
#include "platform/files.h"
#include "settings/safe_ini_file.h"
#include "support/scratch_folder.h"

namespace tarvo::online {
namespace {

TEST(NewsVersion, ComparesDottedVersionsAndReadsTheList) {
    const struct {
        const wchar_t *a, *b;
        bool greater;
    } versions[] = {
        {L"5.1.2.600", L"5.1.2.600", false}, {L"5.1.3", L"5.1.2.900", true},   {L"5.1.2.600.1", L"5.1.2.600", true},
        {L"5.1.2", L"5.1.2.1", false},       {L"10.0", L"9.9", true},           {L"", L"5.1", false},
        {L"5.1", L"", true},                 {L"", L"", true},                  {L"5.1", L"5.x", true},
        {L"5.x", L"5.1", false},             {L"5.x.9", L"5.0.1", true},        {L"Unknown", L"3.0.0.1", false},
        {L"3.0.0.1", L"Unknown", true},      {L"99999999999999999999", L"1", false},
    };
    for (const auto& v : versions) EXPECT_EQ(VersionGreater(v.a, v.b), v.greater) << v.a << " > " << v.b;

    EXPECT_TRUE(ServerNewerOrEmpty(L"", L"3.0.0.1"));
    EXPECT_FALSE(ServerNewerOrEmpty(L"3.0.0.1", L" 3.0.0.1 "));
    EXPECT_TRUE(ServerNewerOrEmpty(L"3.0.1", L"3.0.0.1"));
    EXPECT_FALSE(ServerNewerOrEmpty(L"3.0.0.0", L"3.0.0.1"));

    EXPECT_EQ(ServerVersionFromList(L"tu2=2.9|tu3=3.1.0.5|tu4=4.0", L"tu3"), L"3.1.0.5");
    EXPECT_EQ(ServerVersionFromList(L"tu3: 3.2 ", L"tu3"), L"3.2");
    EXPECT_EQ(ServerVersionFromList(L"abc=3.3|tu2=2.9", L"tu3"), L"3.3");  // read as if the code stood first
    EXPECT_EQ(ServerVersionFromList(L"tu3", L"tu3"), L"");
}

constexpr SYSTEMTIME kNow{2013, 3, 5, 8, 12, 0, 0, 0};  // Friday 8 March 2013, noon

TEST(NewsCheck, FetchIsDueAfter24WholeHoursOrAnUnreadableTime) {
    EXPECT_TRUE(NewsFetchDue(L"", kNow));
    EXPECT_FALSE(NewsFetchDue(L"03/07/2013 12:01:00", kNow));  // 23 h 59 min
    EXPECT_TRUE(NewsFetchDue(L"03/07/2013 12:00:00", kNow));
    EXPECT_TRUE(NewsFetchDue(L"03/09/2013 12:00:00", kNow));  // a clock set back
    EXPECT_TRUE(NewsFetchDue(L"yesterday", kNow));
}

TEST(NewsCheck, ReadsNewsFilesAndOpensOnlyWebLinks) {
    const auto values = ParseNewsFile("\xEF\xBB\xBFtitle= Gr\xC3\xBC\xC3\x9F" "e \r\nlink=http://a/?x=1\r\nnoise\r\n=x\r\ntitle=second\n");
    EXPECT_EQ(values.at(L"title"), L"Gr\u00FC\u00DFe");
    EXPECT_EQ(values.at(L"link"), L"http://a/?x=1");
    EXPECT_EQ(values.size(), 2u);

    // Whole answers only: one line that is not "name=value" refuses the lot.
    const std::pair<std::string, bool> answers[] = {
        {"", true},
        {"\xEF\xBB\xBFtitle=a\r\n\r\n  \r\nlink=http://a/?x=1\n", true},
        {"title=Gr\xC3\xBC\xC3\x9F" "e\tx", true},
        {"<html><body>Oops</body></html>", false},
        {"title=a\r\nnoise\r\n", false},
        {"=x", false},
        {"title=\xC3", false},             // a multi-byte character cut off
        {std::string("title=a\0b", 9), false},
        {"title=\xFF\xFE", false},
    };
    for (const auto& [answer, complete] : answers) EXPECT_EQ(NewsFileComplete(answer), complete) << answer;

    for (const wchar_t* link : {L"http://www.example.com/", L" HTTPS://example.com"}) EXPECT_TRUE(IsOpenableNewsLink(link)) << link;
    for (const wchar_t* link : {L"", L"http://", L"C:\\Windows\\system32\\cmd.exe", L"file:///C:/x.exe", L"javascript:x"})
        EXPECT_FALSE(IsOpenableNewsLink(link)) << link;
}

TEST(NewsStore, RotatesBetweenItemsAndSwitchesOncePerPendingClick) {
    const struct {
        const wchar_t* last;
        const wchar_t* titleB;
        const wchar_t* shown;
        const wchar_t* lastAfter;
    } cases[] = {
        {L"", L"B news", L"A news", L"1"},
        {L"2", L"B news", L"A news", L"1"},
        {L"junk", L"B news", L"A news", L"1"},
        {L"1", L"B news", L"B news", L"2"},
        {L"1", L"", L"A news", L"2"},
    };
    for (const auto& c : cases) {
        ::tarvo::test::ScratchFolder scratch;
        const TNewsStore store(scratch.path());
        store.Prepare();
        store.Write(L"title", L"A news");
        store.Write(L"title_B", c.titleB);
        store.Write(L"LastShowNews", c.last);
        EXPECT_EQ(store.Rotate().title, c.shown) << c.last << "/" << c.titleB;
        EXPECT_EQ(store.Read(L"LastShowNews"), c.lastAfter) << c.last << "/" << c.titleB;
    }

    // Text beyond the system code page survives the profile functions.
    ::tarvo::test::ScratchFolder scratch;
    const TNewsStore store(scratch.path());
    store.Prepare();
    store.Write(L"title", L"Neu: \u4E2D\u6587 \u00FC");
    store.Write(L"title_B", L"B");
    EXPECT_EQ(store.Item(false).title, L"Neu: \u4E2D\u6587 \u00FC");

    TNewsSwitch newsSwitch(scratch.path());
    EXPECT_TRUE(newsSwitch.Click());
    EXPECT_FALSE(newsSwitch.Click());  // a second click within the delay
    EXPECT_EQ(newsSwitch.Fire().item.title, L"Neu: \u4E2D\u6587 \u00FC");
    EXPECT_TRUE(newsSwitch.Click());
    EXPECT_EQ(newsSwitch.Fire().item.title, L"B");
}

class RecordingDisplay final : public INewsDisplay {
public:
    void Show(const NewsView& view) override { shown.push_back(view.offline ? L"(offline)" : view.item.title + L"|" + view.item.remark); }
    std::vector<std::wstring> shown;
};

std::wstring Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::wstring(value, value + std::strlen(value)) : std::wstring();
}

constexpr const char* kNews = "title=Spring cleaning\r\nremark=Five tips\r\nlink=http://news/1\r\nnday=3\r\n";
constexpr const char* kUpdate = "title=Version 3.1 is here\r\nremark=Update now\r\nlink=http://update\r\n";

// Against the web server the wrapper started: each case serves its files under a folder of
// its own, which is the case's download server, and runs the check on a fresh news folder.
TEST(NewsCheck, FetchesShowsAndStoresTheServersAnswerAndFailsQuietly) {
    const std::wstring port = Env("TARVO_TEST_HTTP_PORT");
    const std::wstring www = Env("TARVO_TEST_HTTP_ROOT");
    if (port.empty()) {
        GTEST_SKIP() << "run through with_http_server.sh";
    }
    const struct {
        const wchar_t* name;
        const char* versionList;  // nullptr: not served (an empty answer)
        const char* news;
        const char* update;
        const wchar_t* server;  // relative to the test server; nullptr: its own folder; "proxy": a
                                // host that resolves nowhere, reached through the test server
        const wchar_t* lastUpdate;
        const wchar_t* storedVersion;
        NewsOutcome outcome;
        std::vector<std::wstring> shown;
        const wchar_t* storedTitle;
        const wchar_t* storedServerVersion;
        const wchar_t* lastUpdateAfter;
    } cases[] = {
        {L"news", "tu2=9.0|tu3=3.0.0.1|", kNews, kUpdate, nullptr, L"", L"", NewsOutcome::Fetched,
         {L"Stored|Old", L"Spring cleaning|Five tips"}, L"Spring cleaning", L"", L"03/08/2013 12:00:00"},
        {L"newer", "tu3=3.1.0.0|tu2=9.0", kNews, kUpdate, nullptr, L"", L"", NewsOutcome::Fetched,
         {L"Stored|Old", L"Version 3.1 is here|Update now"}, L"Version 3.1 is here", L"3.1.0.0", L"03/08/2013 12:00:00"},
        {L"no news", nullptr, nullptr, nullptr, nullptr, L"", L"", NewsOutcome::Fetched,
         {L"Stored|Old"}, L"Stored", L"", L"03/08/2013 12:00:00"},
        // An error page is not news: the stored news stays, and the next start asks again.
        {L"garbage", "\x89PNG\r\n\x1a\n\xff\xfe", "<html><body>Oops</body></html>", kUpdate, nullptr, L"", L"",
         NewsOutcome::Rejected, {L"Stored|Old"}, L"Stored", L"", L""},
        {L"slow", "tu3=3.0.0.1", kNews, kUpdate, L"/slow", L"", L"", NewsOutcome::FetchFailed,
         {L"Stored|Old", L"(offline)"}, L"", L"", L""},
        {L"refused", nullptr, nullptr, nullptr, L"http://127.0.0.1:1", L"03/01/2013 12:00:00", L"",
         NewsOutcome::FetchFailed, {L"Stored|Old", L"(offline)"}, L"", L"", L"03/01/2013 12:00:00"},
        {L"through the proxy", "tu3=3.1.0.0", kNews, kUpdate, L"proxy", L"", L"", NewsOutcome::Fetched,
         {L"Stored|Old", L"Version 3.1 is here|Update now"}, L"Version 3.1 is here", L"3.1.0.0", L"03/08/2013 12:00:00"},
        {L"fresh: rotate, no request", nullptr, nullptr, nullptr, L"http://127.0.0.1:1", L"03/08/2013 01:00:00", L"",
         NewsOutcome::Rotated, {L"Stored|Old"}, L"Stored", L"", L"03/08/2013 01:00:00"},
        {L"fresh but updated since", "tu3=3.0.0.1", kNews, kUpdate, nullptr, L"03/08/2013 01:00:00", L"3.0.0.1",
         NewsOutcome::Fetched, {L"Stored|Old", L"Spring cleaning|Five tips"}, L"Spring cleaning", L"", L"03/08/2013 12:00:00"},
    };
    int index = 0;
    for (const auto& c : cases) {
        const std::wstring folder = L"case" + std::to_wstring(++index);
        const auto serve = [&](const wchar_t* path, const char* content) {
            if (!content) return;
            std::wstring file = www + L"\\" + folder + path;
            for (auto& ch : file) ch = ch == L'/' ? L'\\' : ch;
            ASSERT_TRUE(settings::EnsureFolderExists(file.substr(0, file.find_last_of(L'\\'))));
            ASSERT_TRUE(platform::WriteFileBytes(file, content));
        };
        serve(kVersionListPath, c.versionList);
        serve(kNewsPath, c.news);
        serve(kUpdateNewsPath, c.update);

        ::tarvo::test::ScratchFolder scratch;
        const TNewsStore store(scratch.path());
        store.Prepare();
        store.Write(L"title", L"Stored");
        store.Write(L"remark", L"Old");
        store.Write(L"ServerVersion", c.storedVersion);
        if (*c.lastUpdate) store.SetLastUpdate(c.lastUpdate);

        NewsCheckConfig config;
        config.baseFolder = scratch.path();
        const std::wstring base = L"http://127.0.0.1:" + port;
        const bool proxy = c.server && std::wstring(c.server) == L"proxy";
        config.server = !c.server ? base + L"/" + folder
                        : proxy             ? L"http://news.invalid/" + folder
                        : c.server[0] == L'/' ? base + c.server + L"/" + folder
                                              : std::wstring(c.server);
        if (proxy) config.http.proxy = {L"1", L"127.0.0.1", port, L"", L""};
        config.ownVersion = L"3.0.0.1";
        config.http.timeoutMs = 1000;
        config.now = kNow;
        auto display = std::make_shared<RecordingDisplay>();
        EXPECT_EQ(TLastNewsCheck(config, display).Execute(), c.outcome) << c.name;
        EXPECT_EQ(display->shown, c.shown) << c.name;
        EXPECT_EQ(store.Item(false).title, c.storedTitle) << c.name;
        EXPECT_EQ(store.ServerVersion(), c.storedServerVersion) << c.name;
        EXPECT_EQ(store.LastUpdate(), c.lastUpdateAfter) << c.name;
    }
}

}  // namespace
}  // namespace tarvo::online
