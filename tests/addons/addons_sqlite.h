#pragma once
// The SQLite library the build puts beside the test executables, loaded once per test.

#include <string>

#include "platform/folders.h"
#include "platform/sqlite_library.h"

namespace tarvo::test {

inline bool LoadTestSqlite(platform::SqliteLibrary& sqlite) {
    std::wstring exe = platform::GetModuleFilePath();
    return sqlite.Load(exe.substr(0, exe.find_last_of(L'\\') + 1) + L"sqlite3.dll");
}

}  // namespace tarvo::test
