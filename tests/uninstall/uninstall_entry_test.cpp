// One entry's uninstall: which entries start a process, which only pause, and what becomes
// of a toolbar's manifest file.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/files.h"
#include "platform/registry.h"
#include "support/scratch_folder.h"
#include "uninstall/uninstall_entry.h"

using namespace tarvo::uninstall;
using tarvo::inventory::TSoftInfo;
using tarvo::test::ScratchFolder;

namespace {

struct Runner {
    std::vector<std::wstring> commands;
    int answer = 0;
    CommandRunner Fn() {
        return [this](const std::wstring& command) {
            commands.push_back(command);
            return answer;
        };
    }
};

TSoftInfo Entry(const std::wstring& name, const std::wstring& command) {
    TSoftInfo entry;
    entry.DisplayName = name;
    entry.UninstallString = command;
    return entry;
}

}  // namespace

TEST(UninstallEntry, MarkersPauseWithoutAProcessAndOthersRun) {
    const struct {
        const wchar_t* command;
        bool runs;
    } cases[] = {
        {L"_SPECIAL_TARVOTOOLBAR_", false},
        {L"_SPECIAL_TOOLBAR_", false},
        {L"{ABC}_SPECIAL_TOOLBAR_ff", false},
        {L"_special_toolbar_", true},        // the markers are case-sensitive
        {L"_SPECIAL_TARVOTOOLBAR_ x", true},  // only the exact text is the marker
        {L"\"C:\\Program Files\\A\\uninst.exe\" /x", true},
    };
    for (const auto& c : cases) {
        Runner runner;
        int pumps = 0;
        const auto start = std::chrono::steady_clock::now();
        const EntryOutcome outcome = UninstallEntryWith(Entry(L"Name", c.command), runner.Fn(), [&pumps] { ++pumps; });
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(outcome.name, L"Name");
        if (c.runs) {
            EXPECT_EQ(runner.commands, std::vector<std::wstring>{c.command});
            EXPECT_EQ(outcome.action, EntryAction::Ran);
        } else {
            EXPECT_TRUE(runner.commands.empty()) << c.command;
            EXPECT_EQ(outcome.action, EntryAction::ToolbarMarker);
            EXPECT_EQ(pumps, 11);
            EXPECT_GE(elapsed, std::chrono::milliseconds(200));
        }
    }
}

TEST(UninstallEntry, CommandsHaveTheirPathMacrosExpandedAndFailuresAreNoted) {
    Runner runner;
    runner.answer = -1;
    const EntryOutcome outcome =
        UninstallEntryWith(Entry(L"Macro", L"%WINDIR%\\missing-uninst.exe"), runner.Fn(), [] {});
    ASSERT_EQ(runner.commands.size(), 1u);
    EXPECT_EQ(runner.commands[0].find(L'%'), std::wstring::npos) << runner.commands[0];
    EXPECT_NE(runner.commands[0].find(L"\\missing-uninst.exe"), std::wstring::npos);
    EXPECT_EQ(outcome.action, EntryAction::NotStarted);
    EXPECT_EQ(outcome.name, L"Macro");
}

TEST(UninstallEntry, ToolbarManifestIsDeletedOrScheduledForRestart) {
    ScratchFolder scratch;
    Runner runner;

    TSoftInfo free = Entry(L"Toolbar free", L"\"C:\\x\\uninst.exe\"");
    free.IsToolbar = true;
    free.ToolbarFile = scratch.MakeFile(L"ext1\\Install.RDF", "<rdf/>");
    EXPECT_EQ(UninstallEntryWith(free, runner.Fn(), [] {}).action, EntryAction::ToolbarManifestDeleted);
    EXPECT_FALSE(tarvo::platform::FileExists(free.ToolbarFile));

    // Held open without sharing deletion, as a running browser holds it.
    TSoftInfo busy = Entry(L"Toolbar busy", L"\"C:\\x\\uninst.exe\"");
    busy.IsToolbar = true;
    busy.ToolbarFile = scratch.MakeFile(L"ext2\\install.rdf", "<rdf/>");
    {
        const auto held = tarvo::platform::CreateFileOf(busy.ToolbarFile, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        ASSERT_TRUE(held);
        const EntryOutcome outcome = UninstallEntryWith(busy, runner.Fn(), [] {});
        EXPECT_EQ(outcome.action, EntryAction::ToolbarManifestAtRestart);
        EXPECT_EQ(outcome.name, L"Toolbar busy");
    }
    tarvo::platform::RegistryKey sessionManager;
    ASSERT_EQ(sessionManager.Open(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager"),
              ERROR_SUCCESS);
    const auto pending = sessionManager.QueryValue(L"PendingFileRenameOperations");
    ASSERT_TRUE(pending);
    const std::wstring raw(reinterpret_cast<const wchar_t*>(pending->data.data()), pending->data.size() / sizeof(wchar_t));
    EXPECT_NE(raw.find(L"ext2\\install.rdf"), std::wstring::npos);
    EXPECT_TRUE(runner.commands.empty()) << "a toolbar entry starts no process";

    // A toolbar whose file is not a manifest runs its command like any entry.
    TSoftInfo other = Entry(L"Toolbar exe", L"\"C:\\x\\uninst.exe\"");
    other.IsToolbar = true;
    other.ToolbarFile = L"C:\\x\\toolbar.dll";
    EXPECT_EQ(UninstallEntryWith(other, runner.Fn(), [] {}).action, EntryAction::Ran);
    EXPECT_EQ(runner.commands.size(), 1u);
}
