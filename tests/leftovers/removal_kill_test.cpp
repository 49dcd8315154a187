// A console removal of 10,000 items killed at several points loses nothing: every item is
// either still in its place or in the backup, `tarvo restore` takes the partial backup, and
// `tarvo unfinished --finish` removes the rest. The kill waits for the backup's manifest to
// reach a count of records, never for time.
#include <gtest/gtest.h>

#include <algorithm>

#include "leftovers/removal_backup.h"
#include "leftovers/removal_journal.h"
#include "platform/file_stream.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/text.h"
#include "settings/app_frame.h"
#include "support/scratch_folder.h"

namespace {

using tarvo::platform::unique_handle;

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 99;  // with the folders and the top one: 10,001 items

std::wstring TarvoExe() {
    std::wstring folder = tarvo::platform::GetModuleFilePath();
    folder.resize(folder.rfind(L'\\') + 1);
    return L"\"" + folder + L"tarvo.exe\"";
}

std::wstring FileOf(const std::wstring& program, int folder, int file) {
    return program + L"\\d" + std::to_wstring(folder) + L"\\f" + std::to_wstring(file) + L".dat";
}

std::string ContentOf(int folder, int file) { return std::to_string(folder) + "/" + std::to_string(file); }

// Files in their place with their own content.
int FilesInPlace(const std::wstring& program) {
    int count = 0;
    for (int d = 0; d < kFolders; ++d)
        for (int f = 0; f < kFilesPerFolder; ++f)
            count += tarvo::platform::ReadFileBytes(FileOf(program, d, f)).value_or("") == ContentOf(d, f);
    return count;
}

// Records in the manifest so far: each line ends in "\n" as UTF-16. Read sharing the writer.
int ManifestLines(const std::wstring& backup) {
    tarvo::platform::FileStream file;
    if (!file.OpenRead(backup + L"\\manifest.txt")) return 0;
    int lines = 0;
    char buffer[65536];
    std::size_t got;
    char previous = 1;
    bool odd = false;
    while ((got = file.ReadSome(buffer, sizeof buffer)) > 0) {
        for (std::size_t i = 0; i < got; ++i, odd = !odd) {
            if (odd && buffer[i] == 0 && previous == '\n') ++lines;
            previous = buffer[i];
        }
    }
    return lines;
}

std::vector<std::wstring> BackupFolders() {
    std::vector<std::wstring> names;
    const std::wstring root = tarvo::leftovers::BackupRootOf(tarvo::settings::DataFolder());
    tarvo::platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    if (!finder.FindFirst(root + L"\\*", data)) return names;
    do {
        if (!tarvo::platform::IsDotName(data.cFileName)) names.push_back(root + L"\\" + data.cFileName);
    } while (finder.FindNext(data));
    return names;
}

// Starts the console removal of the folder, waits until its backup holds `records` lines,
// and kills it there. The backup folder; empty when the run ended before that point.
std::wstring RemoveAndKillAt(const std::wstring& program, int records) {
    const auto before = BackupFolders();
    std::wstring command = TarvoExe() + L" scan --folder \"" + program + L"\" --delete";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &info))
        return {};
    const unique_handle process(info.hProcess);
    const unique_handle thread(info.hThread);
    std::wstring backup;
    // Each turn waits on the process itself: its end, or the next look at the manifest.
    while (::WaitForSingleObject(process.get(), 20) == WAIT_TIMEOUT) {
        if (backup.empty()) {
            for (const auto& folder : BackupFolders())
                if (std::find(before.begin(), before.end(), folder) == before.end()) backup = folder;
        }
        if (!backup.empty() && ManifestLines(backup) >= records) {
            (void)::TerminateProcess(process.get(), 9);
            (void)::WaitForSingleObject(process.get(), INFINITE);
            return backup;
        }
    }
    return {};
}

int Tarvo(const std::wstring& arguments) {
    const auto run = tarvo::platform::RunCaptured(TarvoExe() + L" " + arguments, 600000);
    return run ? static_cast<int>(run->exitCode) : -1;
}

}  // namespace

TEST(RemovalKill, EveryItemIsInPlaceOrRestorableAtEveryKillPoint) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Heavy Program");
    for (int d = 0; d < kFolders; ++d)
        for (int f = 0; f < kFilesPerFolder; ++f)
            (void)scratch.MakeFile(L"Heavy Program\\d" + std::to_wstring(d) + L"\\f" + std::to_wstring(f) + L".dat",
                                   ContentOf(d, f));
    const int total = kFolders * kFilesPerFolder;

    // Early, and twice in the first quarter; each undone, so the next starts whole. Later
    // points are not reliably seen: runs have ended before 9,000, 7,000 and 5,000 records.
    for (const int records : {20, 1000, 2500}) {
        const std::wstring backup = RemoveAndKillAt(program, records);
        ASSERT_FALSE(backup.empty()) << "the run ended before record " << records;
        EXPECT_TRUE(tarvo::leftovers::IsUnfinishedRemoval(backup)) << records;
        EXPECT_LT(FilesInPlace(program), total) << records;  // it did remove something
        EXPECT_EQ(Tarvo(L"restore \"" + backup + L"\""), 0) << records;
        EXPECT_EQ(FilesInPlace(program), total) << records;
        EXPECT_FALSE(tarvo::leftovers::IsUnfinishedRemoval(backup)) << records;
    }

    // Killed again, then finished: nothing is left, and the two backups hold all of it.
    const std::wstring killed = RemoveAndKillAt(program, 2500);
    ASSERT_FALSE(killed.empty());
    const auto before = BackupFolders();
    EXPECT_EQ(Tarvo(L"unfinished --finish \"" + killed + L"\""), 0);
    EXPECT_EQ(tarvo::platform::GetFileAttributesOf(program), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(tarvo::leftovers::IsUnfinishedRemoval(killed));
    // The killed run's last record may name the file it had in hand, which the finishing run
    // then backed up in its own backup: this restore reports it, the next one puts it back.
    (void)Tarvo(L"restore \"" + killed + L"\"");
    for (const auto& folder : BackupFolders()) {
        if (std::find(before.begin(), before.end(), folder) == before.end()) {
            EXPECT_EQ(Tarvo(L"restore \"" + folder + L"\""), 0);
        }
    }
    EXPECT_EQ(FilesInPlace(program), total);
}
