// The uninstall wait against real process trees: a grandchild outliving its parents, a
// browser left running at the end, a command that cannot start and one past the old
// 512-character limit.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/files.h"
#include "platform/processes.h"
#include "support/scratch_folder.h"
#include "test_programs.h"
#include "uninstall/run_and_wait.h"

using namespace tarvo::uninstall;
using tarvo::test::FakeUninstaller;
using tarvo::test::Quote;
using tarvo::test::ScratchFolder;

namespace {

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

RunOptions Quick(int* pumps = nullptr) {
    RunOptions options;
    options.startDelay = 0;
    options.pump = [pumps] {
        if (pumps) ++*pumps;
    };
    return options;
}

}  // namespace

TEST(LingeringProcesses, MatchWholeNamesWithoutCase) {
    const struct {
        const wchar_t* name;
        bool lingering;
    } cases[] = {
        {L"firefox.exe", true}, {L"FIREFOX.EXE", true}, {L"Explorer.exe", true}, {L"wmpnscfg.exe", true},
        {L"iexplore.exe", true}, {L"chrome.exe", true},  {L"opera.exe", true},    {L"safari.exe", true},
        {L"firefox", false},    {L"firefox.exe ", false}, {L"xfirefox.exe", false}, {L"", false},
        {L"msiexec.exe", false}, {L"Au_.exe", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsLingeringProcess(c.name), c.lingering) << c.name;
}

TEST(RunAndWait, WaitsForAGrandchildAfterItsParentsHaveEnded) {
    ScratchFolder scratch;
    const std::wstring marker = scratch.PathOf(L"grandchild.done");
    const auto start = std::chrono::steady_clock::now();
    int pumps = 0;
    const RunResult result =
        RunAndWaitDetailed(FakeUninstaller() + L" chain " + Quote(marker) + L" 2500", Quick(&pumps));
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.end, WaitEnd::JobEmpty);
    EXPECT_TRUE(tarvo::platform::FileExists(marker)) << "the wait ended before the grandchild";
    EXPECT_GE(MillisecondsSince(start), 2500);
    EXPECT_GT(result.polls, 10u);
    EXPECT_GE(pumps, static_cast<int>(result.polls) - 1) << "every poll pumps the message queue";
}

TEST(RunAndWait, EndsWhenOnlyABrowserIsLeftAndLeavesItRunning) {
    const auto start = std::chrono::steady_clock::now();
    const RunResult result = RunAndWaitDetailed(FakeUninstaller() + L" browser " + Quote(tarvo::test::FakeFirefox()),
                                                Quick());
    EXPECT_LT(MillisecondsSince(start), 30000) << "the browser kept the wait alive";
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(result.end, WaitEnd::OnlyLingering);
    ASSERT_EQ(result.lingeringIds.size(), 1u);
    EXPECT_EQ(tarvo::platform::ImageNameIn(tarvo::platform::SnapshotProcesses(), result.lingeringIds[0]),
              L"firefox.exe");
    const auto browser = tarvo::platform::OpenProcessOf(result.lingeringIds[0], PROCESS_TERMINATE | SYNCHRONIZE);
    ASSERT_TRUE(browser);
    EXPECT_EQ(::WaitForSingleObject(browser.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the browser ended too";
    EXPECT_TRUE(tarvo::platform::TerminateProcessOf(browser.get()));
    EXPECT_EQ(::WaitForSingleObject(browser.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(RunAndWait, CommandThatCannotStartReturnsMinusOneAfterTheUsualPause) {
    int pumps = 0;
    RunOptions options;
    options.pump = [&pumps] { ++pumps; };
    const auto start = std::chrono::steady_clock::now();
    const RunResult result = RunAndWaitDetailed(L"\"C:\\no such folder\\uninst.exe\" /x", options);
    EXPECT_EQ(result.code, -1);
    EXPECT_EQ(result.end, WaitEnd::NotStarted);
    EXPECT_NE(result.startError, 0u);
    EXPECT_EQ(pumps, 10) << "one second in ten pumped steps before the start";
    EXPECT_GE(MillisecondsSince(start), 900);
    EXPECT_EQ(RunAndWait(L""), -1);
}

TEST(RunAndWait, CommandLongerThanFiveHundredTwelveCharactersArrivesWhole) {
    ScratchFolder scratch;
    const std::wstring marker = scratch.PathOf(L"long.done");
    std::wstring command = FakeUninstaller() + L" last";
    while (command.size() < 700) command += L" padding";
    command += L" " + Quote(marker);
    const RunResult result = RunAndWaitDetailed(command, Quick());
    EXPECT_EQ(result.code, 0);
    EXPECT_TRUE(tarvo::platform::FileExists(marker));
}

TEST(PumpedPause, SleepsInPumpedSteps) {
    int pumps = 0;
    PumpedPause(220, 20, [&pumps] { ++pumps; });
    EXPECT_EQ(pumps, 11);
    PumpedPause(0, 20, [&pumps] { ++pumps; });
    EXPECT_EQ(pumps, 11);
}
