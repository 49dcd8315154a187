// The vote's address, its window logic, and the request against the local web server.
#include "online/plugin_vote.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/files.h"

namespace tarvo::online {
namespace {

std::wstring Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::wstring(value, value + std::strlen(value)) : std::wstring();
}

TEST(PluginVote, AddressEncodesWhatWouldBreakTheQuery) {
    const struct {
        std::wstring caption;
        const wchar_t* expected;
    } cases[] = {
        {L"Flash", L"S/uninstall_v3_vote.php?name=Flash&score=4"},
        {L"A&B #1+%", L"S/uninstall_v3_vote.php?name=A%26B%20%231%2B%25&score=4"},
        {L"Caf\u00e9 \u65e5", L"S/uninstall_v3_vote.php?name=Caf%C3%A9%20%E6%97%A5&score=4"},
    };
    for (const auto& c : cases) EXPECT_EQ(VoteAddress(L"S", c.caption, 4), c.expected);
}

TEST(PluginVote, StarsFollowTheItemAndTheUser) {
    addons::TAllBrowserCleaner cleaner;
    addons::TPluginItem rated, voted, odd;
    rated.Score = 4;
    voted.Voted = true;
    voted.MyVote = 2;
    voted.Score = 5;
    odd.Score = 7;
    TPluginVote vote;

    vote.Prepare(rated);
    EXPECT_EQ(vote.LitStars(0), 4);
    EXPECT_EQ(vote.LitStars(2), 2);  // the mouse over star 2
    EXPECT_TRUE(vote.VoteEnabled());

    vote.Prepare(voted);
    EXPECT_EQ(vote.LitStars(5), 2);
    EXPECT_FALSE(vote.VoteEnabled());
    EXPECT_FALSE(vote.BeginSend(L"S"));

    vote.Prepare(odd);  // a score out of range lights nothing but is sent as five
    EXPECT_EQ(vote.LitStars(0), 0);
    EXPECT_TRUE(vote.VoteEnabled());
    EXPECT_EQ(*vote.BeginSend(L"S"), L"S/uninstall_v3_vote.php?name=&score=5");
    EXPECT_FALSE(vote.Finish({voteAnswered, "false"}, cleaner));
    EXPECT_FALSE(odd.Voted);
    EXPECT_TRUE(vote.Finish({voteAnswered, "TRUE\r\n"}, cleaner));
    EXPECT_TRUE(odd.Voted);
    EXPECT_EQ(odd.MyVote, 5);
}

// Against the web server the wrapper started.
TEST(PluginVote, RequestAgainstTheServer) {
    const std::wstring port = Env("TARVO_TEST_HTTP_PORT");
    const std::wstring www = Env("TARVO_TEST_HTTP_ROOT");
    if (port.empty()) {
        GTEST_SKIP() << "run through with_http_server.sh";
    }
    const std::wstring server = L"http://127.0.0.1:" + port;
    const struct {
        const char* name;
        const char* served;
        std::wstring prefix;
        int code;
        bool accepted;
    } cases[] = {
        {"true", "true", L"", voteAnswered, true},
        {"false", "false", L"", voteAnswered, false},
        {"empty", "", L"", voteAnswered, false},
        {"500", "true", L"/status500", voteNoBody, false},
        {"timeout", "true", L"/slow", voteTimedOut, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(platform::WriteFileBytes(www + L"\\uninstall_v3_vote.php", c.served));
        const VoteReply reply = SendVote(VoteAddress(server + c.prefix, L"Caf\u00e9", 3), 1000);
        EXPECT_EQ(reply.code, c.code) << c.name;
        EXPECT_EQ(VoteAccepted(reply), c.accepted) << c.name;
    }
}

}  // namespace
}  // namespace tarvo::online
