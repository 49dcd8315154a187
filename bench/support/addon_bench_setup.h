#pragma once
// What every add-on benchmark starts from: an application-data folder of its own, removed
// at the end, and sqlite3.dll from beside the benchmark, given to the cleaners as their
// environment.

#include <cstdio>
#include <string>

#include "addons/browser_cleaner.h"
#include "common/paths.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "platform/sqlite_library.h"

namespace tarvo::bench {

class AddonBenchSetup {
public:
    // `name` tells the folders of several benchmarks apart ("TarvoBenchAddons").
    explicit AddonBenchSetup(const std::wstring& name)
        : folder_(platform::GetTempFolder() + L"\\" + name + L"-" + platform::NewGuidText(false)) {
        (void)platform::CreateDirectoryOf(folder_);
        if (!sqlite_.Load(common::FolderPart(platform::GetModuleFilePath()) + L"sqlite3.dll"))
            std::printf("sqlite3.dll missing beside the benchmark\n");
        environment_.sqlite = &sqlite_;
        environment_.appDataFolder = folder_;
    }
    ~AddonBenchSetup() { (void)platform::ShellDeleteFolderTree(folder_); }
    AddonBenchSetup(const AddonBenchSetup&) = delete;
    AddonBenchSetup& operator=(const AddonBenchSetup&) = delete;

    [[nodiscard]] bool Ready() const noexcept { return sqlite_.IsLoaded(); }
    [[nodiscard]] platform::SqliteLibrary& Sqlite() noexcept { return sqlite_; }
    [[nodiscard]] const addons::CleanerEnvironment& Environment() const noexcept { return environment_; }

private:
    std::wstring folder_;
    platform::SqliteLibrary sqlite_;
    addons::CleanerEnvironment environment_;
};

}  // namespace tarvo::bench
