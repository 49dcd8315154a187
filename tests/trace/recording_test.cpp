// The recording's comparison on real keys and files, and the trace store's round trip.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"
#include "trace/trace_recorder.h"
#include "trace/trace_store.h"

namespace tarvo::trace {
namespace {

using platform::RegistryView;

std::vector<std::wstring> Lines(const std::vector<TraceItem>& items, const std::wstring& cut) {
    std::vector<std::wstring> lines;
    for (const auto& item : items) {
        std::wstring path = item.path;
        if (const auto at = path.find(cut); at != std::wstring::npos) path = path.substr(at + cut.size());
        lines.push_back(std::wstring(KindName(item.kind)) + L" " + path +
                        (item.valueName.empty() && item.kind != TraceItemKind::ValueChanged &&
                                 item.kind != TraceItemKind::ValueCreated
                             ? L""
                             : L"|" + item.valueName));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(Recording, FindsWhatWasCreatedAndChangedAndNothingElse) {
    const test::ScratchKey key(HKEY_CURRENT_USER, L"Software", RegistryView::Wow64_64Key);
    const test::ScratchFolder folder;
    key.SetString(L"Old", L"Kept", L"same");
    key.SetString(L"Old", L"Changed", L"before");
    key.SetString(L"Old\\Deep\\Deeper", L"Untouched", L"x");
    folder.MakeFile(L"old\\kept.txt", "same");
    folder.MakeFile(L"old\\changed.txt", "before");
    folder.MakeFile(L"old\\deep\\deeper\\untouched.txt", "x");

    RecordingPlan plan;
    plan.keys = {{HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", key.path(), true}};
    plan.drives = {folder.path()};
    plan.filter.AddFolder(folder.PathOf(L"noise"));
    plan.filter.AddKey(L"HKEY_CURRENT_USER\\" + key.PathOf(L"Noise"));
    plan.spillPath = folder.PathOf(L"noise\\spill.tmp");
    folder.MakeFolder(L"noise");
    TraceRecorder recorder(plan);
    ASSERT_TRUE(recorder.Begin());
    EXPECT_GE(recorder.WatchedCount(), 10u);

    key.SetString(L"Old", L"Changed", L"after");
    key.SetDword(L"Old", L"Added", 7);
    key.SetString(L"Old\\Deep\\Deeper\\New\\Inner", L"", L"default");
    key.SetString(L"Noise", L"Ignored", L"x");
    folder.MakeFile(L"old\\changed.txt", "after, longer");
    folder.MakeFile(L"old\\deep\\deeper\\new\\inner\\file.bin", "made");
    folder.MakeFile(L"old\\added.txt", "made");
    folder.MakeFile(L"noise\\ignored.log", "x");
    const std::vector<TraceItem> items = recorder.End();

    const std::vector<std::wstring> expected = {
        L"file " + folder.PathOf(L"old\\added.txt"),
        L"file " + folder.PathOf(L"old\\deep\\deeper\\new\\inner\\file.bin"),
        L"file-changed " + folder.PathOf(L"old\\changed.txt"),
        L"folder " + folder.PathOf(L"old\\deep\\deeper\\new"),
        L"folder " + folder.PathOf(L"old\\deep\\deeper\\new\\inner"),
        L"key \\Old\\Deep\\Deeper\\New",
        L"key \\Old\\Deep\\Deeper\\New\\Inner",
        L"value \\Old\\Deep\\Deeper\\New\\Inner|",
        L"value \\Old|Added",
        L"value-changed \\Old|Changed",
    };
    EXPECT_EQ(Lines(items, key.path()), expected);
    const auto changed = std::find_if(items.begin(), items.end(),
                                      [](const TraceItem& i) { return i.kind == TraceItemKind::ValueChanged; });
    ASSERT_NE(changed, items.end());
    EXPECT_EQ(platform::RegistryValue({changed->typeBefore, changed->before}).AsString(), L"before");
    EXPECT_EQ(platform::RegistryValue({changed->typeAfter, changed->after}).AsString(), L"after");

    // A folder is reported before its content, a key before its values.
    const auto at = [&](TraceItemKind kind, const std::wstring& path) {
        return std::find_if(items.begin(), items.end(), [&](const TraceItem& i) { return i.kind == kind && i.path == path; }) -
               items.begin();
    };
    EXPECT_LT(at(TraceItemKind::FolderCreated, folder.PathOf(L"old\\deep\\deeper\\new")),
              at(TraceItemKind::FileCreated, folder.PathOf(L"old\\deep\\deeper\\new\\inner\\file.bin")));

    // A second recording over an unchanged world finds nothing.
    plan.spillPath = folder.PathOf(L"noise\\again.tmp");
    TraceRecorder again(plan);
    ASSERT_TRUE(again.Begin());
    EXPECT_TRUE(again.End().empty());
}

TEST(TraceStore, KeepsTracesWithBinaryDataFindsThemByEntryAndForgetsThem) {
    const test::ScratchFolder folder;
    platform::SqliteLibrary sqlite;
    const std::wstring exe = platform::GetModuleFilePath();
    ASSERT_TRUE(sqlite.Load(exe.substr(0, exe.find_last_of(L'\\') + 1) + L"sqlite3.dll"));
    TraceStore store;
    ASSERT_TRUE(store.Open(sqlite, folder.PathOf(L"Traces.db")));

    Trace trace;
    trace.setup = L"C:\\setup\\tw.exe";
    trace.time = L"2026-12-11 10:00:00";
    trace.entries = {{L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TW", L"TW"}};
    TraceItem changed;
    changed.kind = TraceItemKind::ValueChanged;
    changed.root = L"HKEY_CURRENT_USER";
    changed.path = L"Environment";
    changed.valueName = L"Path";
    changed.typeBefore = REG_EXPAND_SZ;
    changed.before = {0, 1, 0xfe, 0xff};
    changed.typeAfter = REG_BINARY;
    TraceItem file;
    file.path = L"C:\\ProgramData\\{guid}\\x.bin";
    trace.items = {changed, file};
    const std::int64_t first = store.Add(trace);
    const std::int64_t second = store.Add(trace);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first);

    const auto found = store.ForEntry(L"hkey_local_machine\\software\\microsoft\\windows\\currentversion\\uninstall\\tw");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->id, second);  // the newest trace of the entry
    ASSERT_EQ(found->items.size(), 2u);
    EXPECT_EQ(found->items[0].before, changed.before);
    EXPECT_EQ(found->items[0].typeAfter, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(found->items[1].kind, TraceItemKind::FileCreated);
    EXPECT_EQ(found->items[1].path, file.path);

    std::vector<std::int64_t> counts;
    EXPECT_EQ(store.List(&counts).size(), 2u);
    EXPECT_EQ(counts, (std::vector<std::int64_t>{2, 2}));
    EXPECT_TRUE(store.Delete(second));
    EXPECT_EQ(store.ForEntry(trace.entries[0].key)->id, first);
    EXPECT_FALSE(store.Load(second));
}

TEST(Recording, WritesTheRealSystemFolderAsA32BitProcessReachesIt) {
    EXPECT_EQ(ReachablePath(L"C:\\windows\\system32\\Tasks\\T", L"C:\\windows", true), L"C:\\windows\\Sysnative\\Tasks\\T");
    EXPECT_EQ(ReachablePath(L"C:\\windows\\system32\\Tasks\\T", L"C:\\windows", false), L"C:\\windows\\system32\\Tasks\\T");
    EXPECT_EQ(ReachablePath(L"C:\\windows\\system32x\\T", L"C:\\windows", true), L"C:\\windows\\system32x\\T");
    EXPECT_EQ(ReachablePath(L"C:\\windows\\syswow64\\T", L"C:\\windows", true), L"C:\\windows\\syswow64\\T");
}

}  // namespace
}  // namespace tarvo::trace
