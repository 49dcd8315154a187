#include "platform/unique_handle.h"

#include <gtest/gtest.h>

using namespace tarvo::platform;

namespace {
bool IsOpenHandle(HANDLE h) {
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}
}  // namespace

TEST(UniqueHandle, ClosesOnResetAndDestructionAndMovesOwnership) {
    HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(raw);
    {
        unique_handle first(raw);
        unique_handle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), raw);
        EXPECT_TRUE(IsOpenHandle(raw));
    }
    EXPECT_FALSE(IsOpenHandle(raw));

    unique_handle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE old = event.get();
    event.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(IsOpenHandle(old));
    HANDLE released = event.release();
    EXPECT_FALSE(event);
    EXPECT_TRUE(IsOpenHandle(released));
    ::CloseHandle(released);
}

TEST(UniqueHandle, InvalidValueDiffersByHandleKind) {
    unique_hfile file;
    EXPECT_EQ(file.get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(file);
    unique_handle plain;
    EXPECT_EQ(plain.get(), nullptr);
    unique_hkey key;
    EXPECT_EQ(key.get(), nullptr);
    // put() closes what is held before handing out the address.
    HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    plain.reset(raw);
    *plain.put() = nullptr;
    EXPECT_FALSE(IsOpenHandle(raw));
}
