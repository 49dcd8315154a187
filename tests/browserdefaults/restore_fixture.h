#pragma once
// A user of our own for the restore tests: roaming and local folders in a scratch folder,
// registry keys below a scratch key, and retries that record their waits instead of sleeping.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browserdefaults/explorer_set.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/sqlite_library.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

namespace tarvo::test {

// Golden files and fixtures the build copies beside the test executable.
inline std::wstring RestoreFixture(const std::wstring& name) {
    const std::wstring exe = platform::GetModuleFilePath();
    return exe.substr(0, exe.find_last_of(L'\\') + 1) + L"browserdefaults_fixtures\\" + name;
}

inline std::string FileText(const std::wstring& path) { return platform::ReadFileBytes(path).value_or("<missing>"); }

class RestoreTest : public ::testing::Test {
protected:
    RestoreTest() : registry(HKEY_CURRENT_USER, L"Software", platform::RegistryView::Default) {
        const std::wstring exe = platform::GetModuleFilePath();
        sqliteLoaded = sqlite.Load(exe.substr(0, exe.find_last_of(L'\\') + 1) + L"sqlite3.dll");
        env.appDataFolder = scratch.MakeFolder(L"Users\\Tester\\AppData\\Roaming");
        env.localAppDataFolder = scratch.MakeFolder(L"Users\\Tester\\AppData\\Local");
        env.dataFolder = scratch.MakeFolder(L"Users\\Tester\\AppData\\Roaming\\Tarvo\\Tarvo Uninstaller") + L"\\";
        env.windowsVersionCode = 61;
        env.userRoot = HKEY_CURRENT_USER;
        env.machineRoot = HKEY_CURRENT_USER;
        env.keyPrefix = registry.path() + L"\\User\\";
        env.machineKeyPrefix = registry.path() + L"\\Machine\\";
        env.sqlite = sqliteLoaded ? &sqlite : nullptr;
        env.retries.sleep = [this](DWORD milliseconds) { waits.push_back(milliseconds); };
        env.pluginRetries.sleep = env.retries.sleep;
    }

    // A file below the scratch folder with the bytes given.
    std::wstring Write(const std::wstring& relative, const std::string& bytes) const {
        return scratch.MakeFile(relative, bytes);
    }

    ScratchFolder scratch;
    ScratchKey registry;
    platform::SqliteLibrary sqlite;
    bool sqliteLoaded = false;
    browserdefaults::RestoreEnvironment env;
    std::vector<DWORD> waits;
};

// Holds a file open without sharing, as a running browser does.
class LockedFile {
public:
    explicit LockedFile(const std::wstring& path) : file_(platform::CreateFileOf(path, GENERIC_READ, 0, OPEN_EXISTING)) {}
    [[nodiscard]] bool locked() const noexcept { return file_.is_valid(); }

private:
    platform::unique_hfile file_;
};

}  // namespace tarvo::test
