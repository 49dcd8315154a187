// Shared main of the test executables: COM for the shell APIs, then GoogleTest.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
