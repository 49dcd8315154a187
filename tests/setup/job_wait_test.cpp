#include "setup/job_wait.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "platform/messages.h"

using namespace tarvo::setup;

namespace {
std::atomic<int> g_ticks{0};
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }
}  // namespace

TEST(JobWait, MessagesKeepBeingHandledWhileTheJobRuns) {
    g_ticks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &CountTick);
    ASSERT_NE(timer, 0u);
    int ticksSeenByJob = -1;
    RunJobWhilePumping([&] {
        ::Sleep(300);
        ticksSeenByJob = g_ticks;
    });
    ::KillTimer(nullptr, timer);
    // Timer callbacks run only when this thread dispatches: they did, during the wait.
    EXPECT_GT(ticksSeenByJob, 2);
}

TEST(JobWait, AJobThatFailsStillEndsTheWait) {
    bool ran = false;
    RunJobWhilePumping([&] {
        ran = true;
        throw std::runtime_error("installation failed");
    });
    EXPECT_TRUE(ran);
}

TEST(JobWait, AQuitRequestMetDuringTheWaitIsKeptForTheMessageLoop) {
    ::PostQuitMessage(5);
    RunJobWhilePumping([] { ::Sleep(30); });
    MSG message{};
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 5u);
}
