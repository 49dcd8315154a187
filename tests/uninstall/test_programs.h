#pragma once
// Where the uninstall tests find their stand-in programs: beside the test executable.

#include <string>

#include "platform/folders.h"

namespace tarvo::test {

inline std::wstring BesideTests(const std::wstring& name) {
    std::wstring folder = platform::GetModuleFilePath();
    folder.resize(folder.rfind(L'\\') + 1);
    return folder + name;
}
inline std::wstring Quote(const std::wstring& text) { return L"\"" + text + L"\""; }
inline std::wstring FakeUninstaller() { return Quote(BesideTests(L"fake_uninstaller.exe")); }
inline std::wstring FakeFirefox() { return BesideTests(L"fake_browser\\firefox.exe"); }

}  // namespace tarvo::test
