#pragma once
// Where the build puts the add-on tests' files: beside the test executable.

#include <string>

#include "platform/folders.h"

namespace tarvo::test {

inline std::wstring AddonFixture(const std::wstring& name) {
    std::wstring exe = platform::GetModuleFilePath();
    return exe.substr(0, exe.find_last_of(L'\\') + 1) + L"addons_fixtures\\" + name;
}

}  // namespace tarvo::test
