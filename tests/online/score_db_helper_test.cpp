#include <gtest/gtest.h>

#include <windows.h>

#include "online/score_db_helper.h"

namespace tarvo::online {
namespace {

TEST(ScoreDbHelper, SplitsLikeThePlatformRoutine) {
    const std::vector<std::wstring> abc = {L"a", L"5", L"b", L"1"};
    EXPECT_EQ(SplitScoreTokens(L"a,5,b,1"), abc);
    EXPECT_EQ(SplitScoreTokens(L"a,5\r\nb,1"), abc);
    EXPECT_EQ(SplitScoreTokens(L"a,5,\r\nb,1,\r\n"), abc);
    EXPECT_EQ(SplitScoreTokens(L"  a ,,5\t,\n\n b,1"), abc);
    EXPECT_EQ(SplitScoreTokens(L"\"x,y\",3,'p\nq',4"), (std::vector<std::wstring>{L"\"x,y\"", L"3", L"'p\nq'", L"4"}));
    EXPECT_EQ(SplitScoreTokens(std::wstring(L"a,5\0b,1", 7)), (std::vector<std::wstring>{L"a", L"5"}));
}

TEST(ScoreDbHelper, LookupContract) {
    const struct {
        const char* text;
        const wchar_t* id;
        const wchar_t* kind;
        int score;
    } cases[] = {
        {"a,5,b,1", L"A", L"ID", 5}, {"a,5,b,1", L"b", L"ID", 1}, {"a,5,b,1", L"c", L"", 77},
        {"a,x", L"a", L"ID", 2},     {"a", L"a", L"ID", 0},       {"a,5,b,1", L"5", L"ID", 2},
        {"a,-7,a,9", L"a", L"ID", -7}, {"a,$1F", L"a", L"ID", 31}, {"a,99999999999", L"a", L"ID", 2},
    };
    for (const auto& c : cases) {
        TScoreDBHelper helper;
        helper.LoadText(c.text);
        TScore score{L"old", L"keep", 77, L"note"};
        helper.Lookup(c.id, score);
        EXPECT_EQ(score.Kind, c.kind) << c.text << " " << c.id;
        EXPECT_EQ(score.Score, c.score) << c.text << " " << c.id;
        EXPECT_EQ(score.Id, *c.kind ? std::wstring(c.id) : L"keep");
        EXPECT_EQ(score.Note, L"note");
    }
}

// The starter database the build packs beside the program (and so beside this test).
TEST(ScoreDbHelper, ShippedStarterDatabaseAnswers) {
    wchar_t exe[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder(exe, length);
    folder.erase(folder.find_last_of(L'\\') + 1);
    TScoreDBHelper helper(folder);
    ASSERT_TRUE(helper.Load());
    TScore score;
    helper.Lookup(L"adblock plus", score);
    EXPECT_EQ(score.Kind, L"ID");
    EXPECT_EQ(score.Score, 5);
    helper.Lookup(L"Ask Toolbar", score);
    EXPECT_EQ(score.Score, 1);
}

}  // namespace
}  // namespace tarvo::online
