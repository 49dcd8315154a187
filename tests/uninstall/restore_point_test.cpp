#include "uninstall/restore_point.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "platform/files.h"
#include "platform/folders.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

using namespace tarvo::uninstall;
using tarvo::platform::RegistryView;
using tarvo::test::ScratchFolder;
using tarvo::test::ScratchKey;

namespace {

std::wstring DoublePath() {
    std::wstring exe = tarvo::platform::GetModuleFilePath();
    return exe.substr(0, exe.find_last_of(L'\\')) + L"\\srclient_double.dll";
}

// Sets the double's environment for one test and clears it afterwards.
class DoubleSettings {
public:
    DoubleSettings(const std::wstring& recordPath, const wchar_t* answer) {
        ::SetEnvironmentVariableW(L"TARVO_SRCLIENT_RECORD", recordPath.c_str());
        ::SetEnvironmentVariableW(L"TARVO_SRCLIENT_ANSWER", answer);
    }
    ~DoubleSettings() {
        ::SetEnvironmentVariableW(L"TARVO_SRCLIENT_RECORD", nullptr);
        ::SetEnvironmentVariableW(L"TARVO_SRCLIENT_ANSWER", nullptr);
    }
};

// The record as the documented layout has it (packed): event type, restore-point type,
// 64-bit sequence number, 256 UTF-16 characters of description.
std::string ExpectedRecord() {
    std::string bytes(4 + 4 + 8 + 512, '\0');
    bytes[0] = 100;  // BEGIN_SYSTEM_CHANGE
    bytes[4] = 1;    // APPLICATION_UNINSTALL
    const std::wstring description = L"Tarvo Uninstaller restore point";
    for (std::size_t i = 0; i < description.size(); ++i) bytes[16 + 2 * i] = static_cast<char>(description[i]);
    return bytes;
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// Counts what reaches a window of this thread while a wait is under way.
struct MessageCounter {
    static inline int received = 0;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP + 7) ++received;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
};

}  // namespace

TEST(RestorePointRequest, RecordHasTheDocumentedLayout) {
    static_assert(sizeof(RESTOREPOINTINFOW) == 528);
    const RESTOREPOINTINFOW request = MakeRestorePointRequest();
    std::string bytes(sizeof request, '\0');
    std::memcpy(bytes.data(), &request, sizeof request);
    EXPECT_EQ(bytes, ExpectedRecord());
}

TEST(RestorePointRequest, ReachesTheLibraryOnAWorkerThreadAndReportsItsAnswer) {
    ScratchFolder scratch;
    const std::wstring record = scratch.PathOf(L"request.bin");
    {
        DoubleSettings settings(record, L"1");
        EXPECT_TRUE(CreateRestorePointAndWait(DoublePath()));
    }
    const auto bytes = tarvo::platform::ReadFileBytes(record);
    ASSERT_TRUE(bytes) << "the double was not called";
    ASSERT_EQ(bytes->size(), 528u + 4u);
    EXPECT_EQ(bytes->substr(0, 528), ExpectedRecord());
    DWORD thread = 0;
    std::memcpy(&thread, bytes->data() + 528, sizeof thread);
    EXPECT_NE(thread, ::GetCurrentThreadId());

    // Refused (System Restore switched off): the wait still ends, without success.
    DoubleSettings refusing(scratch.PathOf(L"refused.bin"), L"0");
    EXPECT_FALSE(CreateRestorePointAndWait(DoublePath()));
    EXPECT_TRUE(tarvo::platform::ReadFileBytes(scratch.PathOf(L"refused.bin")));
}

TEST(RestorePointRequest, WithoutTheLibraryTheWaitEndsQuicklyAndQuietly) {
    ScratchFolder scratch;
    for (const std::wstring& library : {scratch.PathOf(L"SrClient.dll"), DefaultSrClientPath()}) {
        const auto start = std::chrono::steady_clock::now();
        const bool made = CreateRestorePointAndWait(library);
        const auto elapsed = MillisecondsSince(start);
        if (library != DefaultSrClientPath()) {
            EXPECT_FALSE(made);
        }
        EXPECT_GE(elapsed, 90) << "the worker waits before it asks";
        EXPECT_LT(elapsed, 900) << "library " << std::string(library.begin(), library.end());
    }
    // A library without the entry point counts as missing.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(CreateRestorePointAndWait(tarvo::platform::GetSystemFolder() + L"\\kernel32.dll"));
    EXPECT_LT(MillisecondsSince(start), 900);
}

TEST(RestorePointRequest, KeepsThisThreadsWindowsServedWhileWaiting) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &MessageCounter::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TarvoRestoreWaitProbe";
    ::RegisterClassW(&wc);
    const HWND probe = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         wc.hInstance, nullptr);
    ASSERT_NE(probe, nullptr);
    MessageCounter::received = 0;
    ::PostMessageW(probe, WM_APP + 7, 0, 0);
    (void)CreateRestorePointAndWait(L"Z:\\nowhere\\SrClient.dll");
    EXPECT_EQ(MessageCounter::received, 1);
    ::DestroyWindow(probe);
}

TEST(RestoreFrequency, WritesZeroOnlyIntoAKeyThatExists) {
    for (const auto view : {RegistryView::Default, RegistryView::Wow64_64Key}) {
        ScratchKey scratch(HKEY_CURRENT_USER, L"Software", view);
        scratch.SetDword(L"SystemRestore", kRestoreFrequencyValue, 1440);
        EXPECT_TRUE(PrepareRestoreFrequencyAt(HKEY_CURRENT_USER, scratch.PathOf(L"SystemRestore"), view));
        EXPECT_EQ(scratch.Key(L"SystemRestore").QueryDword(kRestoreFrequencyValue), 0u);

        EXPECT_FALSE(PrepareRestoreFrequencyAt(HKEY_CURRENT_USER, scratch.PathOf(L"Missing"), view));
        EXPECT_FALSE(tarvo::platform::RegKeyExists(HKEY_CURRENT_USER, scratch.PathOf(L"Missing"), view));
    }
}

TEST(RestoreFrequency, UsesTheSystemsOwnViewOnTheMachineKey) {
    // The machine key lives in the 64-bit view on 64-bit Windows; the 32-bit view must not
    // gain a key of its own.
    const bool existed32 = tarvo::platform::RegKeyExists(HKEY_LOCAL_MACHINE, kSystemRestoreKey, RegistryView::Default);
    PrepareRestoreFrequency();
    EXPECT_EQ(tarvo::platform::RegKeyExists(HKEY_LOCAL_MACHINE, kSystemRestoreKey, RegistryView::Default), existed32);
    tarvo::platform::RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kSystemRestoreKey, KEY_READ, RegistryView::Wow64_64Key) == ERROR_SUCCESS) {
        EXPECT_EQ(key.QueryDword(kRestoreFrequencyValue), 0u);
    }
}
