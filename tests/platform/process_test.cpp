#include "platform/processes.h"

#include <gtest/gtest.h>

#include "platform/folders.h"

using namespace tarvo::platform;

TEST(Processes, StartedProcessReportsItsExitCode) {
    const auto cmd = GetSystemFolder() + L"\\cmd.exe";
    auto started = CreateProcessOf(L"\"" + cmd + L"\" /c exit 7", CREATE_NO_WINDOW, {}, SW_HIDE);
    ASSERT_TRUE(started);
    EXPECT_NE(started->processId, 0u);
    EXPECT_EQ(WaitForExitCode(started->process.get(), 30000), 7u);
}

TEST(Processes, MissingProgramIsNotStarted) {
    EXPECT_FALSE(CreateProcessOf(L"\"C:\\no\\such\\program.exe\" /x"));
}

TEST(Processes, CommandLinesLongerThanMaxPathAreHandedOverWhole) {
    const auto cmd = GetSystemFolder() + L"\\cmd.exe";
    const std::wstring padding(2000, L'x');
    auto started = CreateProcessOf(L"\"" + cmd + L"\" /c exit 3 & rem " + padding, CREATE_NO_WINDOW, {}, SW_HIDE);
    ASSERT_TRUE(started);
    EXPECT_EQ(WaitForExitCode(started->process.get(), 30000), 3u);
}
