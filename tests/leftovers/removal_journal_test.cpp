// The journal's reading side: what a run that died leaves is read back safely.
#include <gtest/gtest.h>

#include "leftovers/removal_backup.h"
#include "leftovers/removal_journal.h"
#include "platform/files.h"
#include "removal_fixture.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

using namespace tarvo::leftovers;

namespace {

std::string Utf16(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

}  // namespace

TEST(RemovalJournal, ACutOffRunReadsBackOnlyWhatWasWhollyWritten) {
    tarvo::test::ScratchFolder scratch;
    // A manifest whose last line lost its end: that line could name a path cut short.
    const std::wstring folder = scratch.MakeFolder(L"run");
    (void)scratch.MakeFile(L"run\\manifest.txt",
                           Utf16(std::wstring(kManifestHeader) + L"\r\nfolder\t\tC:\\A\r\nfile\tfiles\\1\tC:\\A\\lon"));
    EXPECT_EQ(ReadManifest(folder), std::vector<std::wstring>{L"folder\t\tC:\\A"});

    // The marker of a process that is gone makes the run unfinished; our own does not.
    (void)scratch.MakeFile(L"run\\" + std::wstring(kUnfinishedMarker), Utf16(L"4000000000\r\n"));
    EXPECT_TRUE(IsUnfinishedRemoval(folder));
    EXPECT_EQ(FindUnfinishedRemovals(scratch.path()), std::vector<std::wstring>{folder});
    (void)scratch.MakeFile(L"run\\" + std::wstring(kUnfinishedMarker),
                           Utf16(std::to_wstring(::GetCurrentProcessId()) + L"\r\n"));
    EXPECT_FALSE(IsUnfinishedRemoval(folder));
    // Nor is an unfinished run pruned with the old backups.
    PruneBackups(scratch.path(), 0);
    EXPECT_NE(tarvo::platform::GetFileAttributesOf(folder), INVALID_FILE_ATTRIBUTES);
}

TEST(RemovalJournal, ThePlanComesBackAsTheItemsStillThereWhateverTheirNames) {
    tarvo::test::ScratchFolder scratch;
    const tarvo::test::ScratchKey key(HKEY_CURRENT_USER, L"Software", tarvo::platform::RegistryView::Default);
    // A tab and a line break in a key name must not split it into another key's name.
    key.SetString(L"odd\tname\r\n%09", L"v", L"1");
    const std::wstring kept = scratch.MakeFile(L"kept.txt", "x");
    TResultTree tree;
    auto& program = tarvo::test::AddProgram(tree, L"Prog");
    auto& registry = tarvo::test::AddGroup(program, true);
    auto& files = tarvo::test::AddGroup(program, false);
    tarvo::test::AddKeyItem(registry, HKEY_CURRENT_USER, key.PathOf(L"odd\tname\r\n%09"), L"v");
    tarvo::test::AddKeyItem(registry, HKEY_CURRENT_USER, key.PathOf(L"gone"));
    tarvo::test::AddFileItem(files, kept);
    tarvo::test::AddFileItem(files, scratch.PathOf(L"gone.txt"));
    tree.KeepFolders.push_back(L"C:\\Keep");
    for (auto* node : {program.Children[0].get(), program.Children[1].get()})
        for (auto& item : node->Children) item->StateImage = kStateTicked;
    program.StateImage = kStatePartlyTicked;

    TRemovalJournal journal;
    const std::wstring folder = scratch.MakeFolder(L"run");
    ASSERT_TRUE(journal.Start(folder, kManifestHeader));
    ASSERT_TRUE(journal.RecordPlan(PlanOf(tree)));
    const TResultTree rest = TreeOfRemainingPlan(folder);
    ASSERT_EQ(rest.Programs.size(), 1u);
    EXPECT_EQ(rest.KeepFolders, std::vector<std::wstring>{L"C:\\Keep"});
    const auto& groups = rest.Programs[0]->Children;
    ASSERT_EQ(groups.size(), 2u);
    ASSERT_EQ(groups[0]->Children.size(), 1u);
    EXPECT_EQ(groups[0]->Children[0]->Data.KeyPath, key.PathOf(L"odd\tname\r\n%09"));
    EXPECT_EQ(groups[0]->Children[0]->Data.ValueName, L"v");
    ASSERT_EQ(groups[1]->Children.size(), 1u);
    EXPECT_EQ(groups[1]->Children[0]->Data.FilePath, kept);
    journal.Close();
    EXPECT_FALSE(IsUnfinishedRemoval(folder));
}
