#include "uninstall/log_manager.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/registry.h"
#include "support/scratch_folder.h"

using namespace tarvo::uninstall;
using tarvo::test::ScratchFolder;

namespace {

std::vector<std::wstring> Names(const std::vector<LogFileRecord>& records) {
    std::vector<std::wstring> names;
    for (const auto& record : records) names.push_back(record.name);
    std::sort(names.begin(), names.end());
    return names;
}

constexpr wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

// The pending rename list as one string per entry (source, then target, each zero-ended).
std::vector<std::wstring> PendingRenames() {
    tarvo::platform::RegistryKey key;
    std::vector<std::wstring> entries;
    if (key.Open(HKEY_LOCAL_MACHINE, kSessionManager, KEY_READ) != ERROR_SUCCESS) return entries;
    const auto value = key.QueryValue(kPendingRenames);
    if (!value) return entries;
    const auto* text = reinterpret_cast<const wchar_t*>(value->data.data());
    const std::size_t count = value->data.size() / sizeof(wchar_t);
    std::size_t start = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (text[i] == L'\0') {
            entries.emplace_back(text + start, text + i);
            start = i + 1;
        }
    return entries;
}

// Takes our entries back out so a test run does not leave work for the next boot.
void ForgetPendingDeletes(const std::wstring& fragment) {
    auto entries = PendingRenames();
    std::vector<std::wstring> kept;
    for (std::size_t i = 0; i + 1 < entries.size(); i += 2)
        if (entries[i].find(fragment) == std::wstring::npos) {
            kept.push_back(entries[i]);
            kept.push_back(entries[i + 1]);
        }
    tarvo::platform::RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kSessionManager, KEY_READ | KEY_WRITE) != ERROR_SUCCESS) return;
    if (kept.empty()) {
        (void)key.DeleteValue(kPendingRenames);
        return;
    }
    std::wstring multi;
    for (const auto& entry : kept) multi += entry + L'\0';
    multi += L'\0';
    (void)key.SetValue(kPendingRenames, REG_MULTI_SZ, multi.data(), static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
}

bool IsPendingDelete(const std::wstring& path) {
    const auto entries = PendingRenames();
    for (std::size_t i = 0; i + 1 < entries.size(); i += 2)
        if (entries[i].find(path.substr(2)) != std::wstring::npos && entries[i + 1].empty()) return true;
    return false;
}

}  // namespace

TEST(LogListing, ListsFilesWithLogAnywhereInTheNameButNoFolders) {
    ScratchFolder scratch;
    scratch.MakeFile(L"2013-05-12.log", "abc");
    scratch.MakeFile(L"notes.LOG.txt");
    scratch.MakeFile(L"Setup.Log");
    scratch.MakeFile(L"readme.txt");
    scratch.MakeFile(L"catalog");      // "log" without the dot
    scratch.MakeFile(L"~2013-05-12.tmp");
    scratch.MakeFolder(L"x.log");

    const auto records = ListLogFiles(scratch.path());
    EXPECT_EQ(Names(records), (std::vector<std::wstring>{L"2013-05-12.log", L"Setup.Log", L"notes.LOG.txt"}));
    for (const auto& record : records) EXPECT_EQ(record.path, scratch.PathOf(record.name));
    const auto day = std::find_if(records.begin(), records.end(), [](const auto& r) { return r.name == L"2013-05-12.log"; });
    ASSERT_NE(day, records.end());
    EXPECT_EQ(day->size, 3u);

    EXPECT_TRUE(ListLogFiles(scratch.PathOf(L"missing")).empty());
}

TEST(LogListing, ConsoleLinesAlignNameSizeAndDate) {
    FILETIME when{};
    SYSTEMTIME utc{2013, 5, 0, 12, 12, 0, 0, 0};
    ASSERT_TRUE(::SystemTimeToFileTime(&utc, &when));
    const std::vector<LogFileRecord> records = {{L"2013-05-12.log", L"", 1234567, when},
                                                {L"a.log", L"", 5, when}};
    const auto lines = FormatLogListing(records);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 33), L"2013-05-12.log  1 234 567 bytes  ");
    EXPECT_EQ(lines[1].substr(0, 33), L"a.log                   5 bytes  ");
    EXPECT_EQ(lines[0].size(), lines[1].size());
    EXPECT_EQ(lines[0].substr(33, 8), L"2013-05-");
    EXPECT_EQ(FormatLogListing({}), std::vector<std::wstring>{L"No log files."});
}

TEST(LogManagerModel, ButtonsFollowTheListAndTheSelection) {
    ScratchFolder scratch;
    TLogManager empty(scratch.PathOf(L"missing"));
    empty.Refresh();
    EXPECT_FALSE(empty.CanOpen());
    EXPECT_FALSE(empty.CanDelete());
    EXPECT_FALSE(empty.CanDeleteAll());

    scratch.MakeFile(L"a.log", "a");
    scratch.MakeFile(L"b.log", "b");
    TLogManager manager(scratch.path());
    manager.Refresh();
    ASSERT_EQ(manager.Items().size(), 2u);
    EXPECT_FALSE(manager.CanOpen());
    EXPECT_FALSE(manager.CanDelete());
    EXPECT_TRUE(manager.CanDeleteAll());

    manager.Select(1);
    EXPECT_TRUE(manager.CanOpen());
    EXPECT_TRUE(manager.CanDelete());
    EXPECT_EQ(manager.OpenPath(), manager.Items()[1].path);
    for (int outside : {-1, 2, 99}) {
        manager.Select(outside);
        EXPECT_FALSE(manager.CanOpen()) << outside;
        EXPECT_EQ(manager.OpenPath(), L"") << outside;
    }
    EXPECT_EQ(manager.DeleteSelected(), DeleteOutcome::Failed);  // nothing selected
    EXPECT_EQ(manager.Items().size(), 2u);
}

TEST(LogManagerModel, DeletesOneThenAll) {
    ScratchFolder scratch;
    for (const wchar_t* name : {L"a.log", L"b.log", L"c.log"}) scratch.MakeFile(name, "x");
    TLogManager manager(scratch.path());
    manager.Refresh();
    manager.Select(0);
    const std::wstring first = manager.Items()[0].path;
    EXPECT_EQ(manager.DeleteSelected(), DeleteOutcome::Deleted);
    EXPECT_FALSE(tarvo::platform::FileExists(first));
    EXPECT_EQ(manager.Items().size(), 2u);
    EXPECT_FALSE(manager.CanDelete());
    EXPECT_TRUE(manager.CanDeleteAll());

    EXPECT_EQ(manager.DeleteAll(), (std::vector<DeleteOutcome>{DeleteOutcome::Deleted, DeleteOutcome::Deleted}));
    EXPECT_TRUE(manager.Items().empty());
    EXPECT_FALSE(manager.CanDeleteAll());
    EXPECT_TRUE(ListLogFiles(scratch.path()).empty());
}

TEST(LogManagerModel, AFileInUseIsDeletedAtRestartAndLeavesTheList) {
    ScratchFolder scratch;
    const auto held = scratch.MakeFile(L"held.log", "in use");
    scratch.MakeFile(L"free.log", "x");
    TLogManager manager(scratch.path());
    manager.Refresh();
    {
        // Held open without delete sharing, as an editor or a scanner might.
        auto handle = tarvo::platform::CreateFileOf(held, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        ASSERT_TRUE(handle);
        const auto outcomes = manager.DeleteAll();
        ASSERT_EQ(outcomes.size(), 2u);
        EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), DeleteOutcome::ScheduledAtRestart), 1);
        EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), DeleteOutcome::Deleted), 1);
    }
    EXPECT_TRUE(manager.Items().empty());
    EXPECT_TRUE(tarvo::platform::FileExists(held));
    EXPECT_TRUE(IsPendingDelete(held));
    ForgetPendingDeletes(held.substr(2));
    EXPECT_FALSE(IsPendingDelete(held));
}
