#include "shell/startup_command_line.h"

#include <gtest/gtest.h>

using namespace tarvo::shell;

TEST(StartupCommandLine, InstallRunIsRecognisedOnlyExactly) {
    EXPECT_TRUE(IsInstallRun({L"/install"}));
    EXPECT_TRUE(IsInstallRun({L"/install", L"D:\\Apps"}));
    EXPECT_FALSE(IsInstallRun({L"/INSTALL"}));
    EXPECT_FALSE(IsInstallRun({L" /install"}));
    EXPECT_FALSE(IsInstallRun({}));
    EXPECT_EQ(InstallTargetArgument({L"/install", L"D:\\Apps"}), L"D:\\Apps");
    EXPECT_EQ(InstallTargetArgument({L"/install"}), L"");
}

TEST(StartupCommandLine, HandOffWordsIgnoreCaseAndBlanks) {
    EXPECT_EQ(ParseHandOffWord({L"ShellVerb"}), HandOffWord::ShellVerb);
    EXPECT_EQ(ParseHandOffWord({L"  SHELLVERB "}), HandOffWord::ShellVerb);
    EXPECT_EQ(ParseHandOffWord({L"Control_Statistics", L"x"}), HandOffWord::ControlStatistics);
    EXPECT_EQ(ParseHandOffWord({L"explorer_statistics"}), HandOffWord::ExplorerStatistics);
    EXPECT_EQ(ParseHandOffWord({L"control_statistic"}), HandOffWord::None);
    EXPECT_EQ(ParseHandOffWord({L"/install"}), HandOffWord::None);
    EXPECT_EQ(ParseHandOffWord({}), HandOffWord::None);
}

TEST(StartupCommandLine, SecondInstanceForwardsOnlyAControlPanelName) {
    const struct {
        Arguments arguments;
        std::optional<std::wstring> copyData;
    } cases[] = {
        {{}, std::nullopt},
        {{L"control_statistics", L"  Foo Bar 2.0  "}, L"Foo Bar 2.0"},
        {{L"CONTROL_STATISTICS", L"Foo"}, L"Foo"},
        {{L"control_statistics"}, std::nullopt},
        {{L"control_statistics", L"   "}, std::nullopt},
        {{L"explorer_statistics", L"Foo"}, std::nullopt},
        {{L"ShellVerb", L"Foo"}, std::nullopt},
    };
    for (const auto& c : cases) {
        const SecondInstanceNotice notice = SecondInstanceMessages(c.arguments);
        EXPECT_TRUE(notice.postActivate);
        EXPECT_EQ(notice.copyDataText, c.copyData);
    }
}

TEST(StartupCommandLine, CopyDataCarriesTheTextZeroTerminatedInTwiceItsLengthPlusEightBytes) {
    const std::vector<BYTE> bytes = CopyDataPayload(L"Ab\u00e9");
    ASSERT_EQ(bytes.size(), 2u * 3 + 8);
    const std::vector<BYTE> expected{'A', 0, 'b', 0, 0xE9, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(CopyDataPayload(L"").size(), 8u);

    EXPECT_EQ(TextFromCopyData(kCopyDataForcedUninstallTag, bytes.data(), static_cast<DWORD>(bytes.size())),
              L"Ab\u00e9");
}

TEST(StartupCommandLine, CopyDataIsReadSafely) {
    const wchar_t text[] = L"  Name  ";
    // Our tag only.
    EXPECT_EQ(TextFromCopyData(2025, text, sizeof text), std::nullopt);
    EXPECT_EQ(TextFromCopyData(kCopyDataForcedUninstallTag, text, sizeof text), L"Name");
    // No terminator within cbData: the text ends where the data ends, never beyond it.
    const wchar_t unterminated[] = {L'A', L'B', L'C', L'D'};
    EXPECT_EQ(TextFromCopyData(kCopyDataForcedUninstallTag, unterminated, 6), L"ABC");
    EXPECT_EQ(TextFromCopyData(kCopyDataForcedUninstallTag, unterminated, 7), L"ABC");  // odd byte dropped
    EXPECT_EQ(TextFromCopyData(kCopyDataForcedUninstallTag, nullptr, 40), L"");
    EXPECT_EQ(TextFromCopyData(kCopyDataForcedUninstallTag, unterminated, 0), L"");
}

TEST(StartupCommandLine, HandOffPlans) {
    const HandOffPlan none = PlanCommandLineHandOff({});
    EXPECT_EQ(none.word, HandOffWord::None);
    EXPECT_TRUE(none.statistics.empty());
    EXPECT_TRUE(none.removalHostArgument.empty());

    const HandOffPlan shellVerb = PlanCommandLineHandOff({L"ShellVerb"});
    EXPECT_EQ(shellVerb.statistics, (std::vector<StatisticEvent>{{L"1", {7, 0, 0, 0}}, {L"4", {0, 0, 0, 0}}}));
    EXPECT_TRUE(shellVerb.readShellVerbFile);
    EXPECT_FALSE(shellVerb.pendingForcedUninstallText);

    const HandOffPlan control = PlanCommandLineHandOff({L"control_statistics", L" Foo "});
    EXPECT_EQ(control.statistics, (std::vector<StatisticEvent>{{L"2", {7, 0, 0, 0}}, {L"5", {0, 0, 0, 0}}}));
    EXPECT_EQ(control.pendingForcedUninstallText, L"Foo");
    EXPECT_EQ(control.removalHostArgument, L"control_statistics");

    const HandOffPlan explorer = PlanCommandLineHandOff({L"Explorer_Statistics"});
    EXPECT_EQ(explorer.statistics, (std::vector<StatisticEvent>{{L"15", {7, 0, 0, 0}}, {L"16", {0, 0, 0, 0}}}));
    EXPECT_FALSE(explorer.pendingForcedUninstallText);
    EXPECT_EQ(explorer.removalHostArgument, L"Explorer_Statistics");
    EXPECT_FALSE(explorer.readShellVerbFile);
}
