#include <gtest/gtest.h>

#include "common/paths.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/library.h"
#include "platform/registry.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"
#include "setup/install_files.h"
#include "setup/start_menu_pin.h"

namespace tarvo::setup {
namespace {

// One pin-list record as Explorer stores it: a byte, a 16-bit length L, L + 2 data bytes.
std::string Record(const std::string& text) {
    std::string record(1, '\x01');
    const std::size_t length = text.size() - 1;
    record += static_cast<char>(length & 0xFF);
    record += static_cast<char>(length >> 8);
    return record + text + std::string(1, '\0');
}

TEST(PinListTest, RemovesAndMovesMatchingRecordsKeepingTheRest) {
    const std::string uninstall = Record("C:\\x\\Uninstall Programs.lnk");
    const std::string other = Record("C:\\x\\Paint.lnk");
    const std::string tail = "\x07\x08";
    const std::string overlong("\x01\xFF\x00" "abcd", 7);
    struct Case {
        const char* what;
        std::string blob;
        std::string without;
        std::string matchingFirst;
        bool matches;
    } cases[] = {
        {"no records", "", "", "", false},
        {"shorter than a record is tail", "\x01\x02\x03", "\x01\x02\x03", "\x01\x02\x03", false},
        {"match after another", other + uninstall + tail, other + tail, uninstall + other + tail, true},
        {"no match", other + tail, other + tail, other + tail, false},
        // A record claiming more bytes than are left is kept as tail, never cut.
        {"overlong record", other + overlong, other + overlong, other + overlong, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PinList list = ParsePinList(c.blob);
        bool removed = false, moved = false;
        EXPECT_EQ(PinListWithout(list, L"uninstall programs", removed), c.without);
        EXPECT_EQ(PinListMatchingFirst(list, L"uninstall programs", moved), c.matchingFirst);
        EXPECT_EQ(removed, c.matches);
        EXPECT_EQ(moved, c.matches);
    }
    // Bytes outside the printable range do not take part in the match.
    EXPECT_TRUE(PinRecordMatches(ParsePinList(Record("Un\x01install Programs")).records.at(0), L"UNINSTALL"));
}

TEST(PinListTest, InstallerLikeNames) {
    for (const auto* name : {L"Uninstall Programs", L"setup", L"Remove it", L"Installer"})
        EXPECT_TRUE(LooksLikeInstallerName(name)) << name;
    EXPECT_FALSE(LooksLikeInstallerName(L"Tarvo Uninstaler"));
    EXPECT_FALSE(LooksLikeInstallerName(L""));
}

TEST(RetireFileTest, FreeNamesAndFilesInUse) {
    const test::ScratchFolder scratch;
    const std::wstring folder = scratch.path() + L"\\";
    scratch.MakeFile(L"Host_1.exe");
    scratch.MakeFile(L"Host_2.exe");
    EXPECT_EQ(FreeFileName(folder, L"Host", L".exe"), L"Host_3");
    EXPECT_EQ(FreeFileName(folder, L"Other", L".dll"), L"Other_1");

    // A free file is simply deleted; a missing one is no error.
    scratch.MakeFile(L"free.dat", "x");
    RetireFile(folder, L"free.dat", false);
    RetireFile(folder, L"missing.dat", false);
    EXPECT_FALSE(platform::FileExists(folder + L"free.dat"));
    EXPECT_FALSE(platform::FileExists(folder + L"free_1.dat"));

    // A library in use cannot be deleted: it moves to the first free "_n" name, and its own
    // name is free for the new file at once.
    const std::wstring library = folder + L"held.dll";
    ASSERT_TRUE(platform::CopyFileOf(common::FolderPart(platform::GetModuleFilePath()) + L"sqlite3.dll", library));
    scratch.MakeFile(L"held_1.dll");
    {
        const platform::unique_hmodule held = platform::LoadLibraryOf(library);
        ASSERT_TRUE(held);
        RetireFile(folder, L"held.dll", false);
        EXPECT_FALSE(platform::FileExists(library));
        EXPECT_TRUE(platform::FileExists(folder + L"held_2.dll"));
    }
}

TEST(RegistryKeysTest, TakesAwayOnlyTheKeysItCreated) {
    const test::ScratchKey scratch(HKEY_CURRENT_USER, L"Software", platform::RegistryView::Default);
    (void)scratch.Key(L"Existing");
    std::vector<std::wstring> created;
    ASSERT_EQ(platform::CreateKeyNotingNew(HKEY_CURRENT_USER, scratch.PathOf(L"Existing\\New\\Leaf"),
                                           platform::RegistryView::Default, created),
              ERROR_SUCCESS);
    ASSERT_EQ(created, (std::vector<std::wstring>{scratch.PathOf(L"Existing\\New"),
                                                  scratch.PathOf(L"Existing\\New\\Leaf")}));
    // Someone else came to use "New" meanwhile: it stays, with what they put there.
    scratch.SetString(L"Existing\\New", L"theirs", L"1");
    platform::DeleteKeysLeftEmpty(HKEY_CURRENT_USER, created, platform::RegistryView::Default);
    EXPECT_FALSE(platform::RegKeyExists(HKEY_CURRENT_USER, created[1], platform::RegistryView::Default));
    EXPECT_TRUE(platform::RegKeyExists(HKEY_CURRENT_USER, created[0], platform::RegistryView::Default));
    EXPECT_TRUE(platform::RegKeyExists(HKEY_CURRENT_USER, scratch.PathOf(L"Existing"), platform::RegistryView::Default));
}

}  // namespace
}  // namespace tarvo::setup
