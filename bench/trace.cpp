// A traced installation's costs on a world of its own (a registry tree below HKCU and a folder
// tree in the temporary folder): the recording (snapshot before + comparison after) and a
// second comparison that finds nothing, each against one plain walk of the same keys and
// folders measured in the same run; the memory a watched item costs; and a removal by trace
// of 10,000 files and folders against deleting the same items plainly.

#include <cstdio>
#include <string>
#include <vector>

#include "leftovers/removal.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "support/bench_report.h"
#include "trace/trace_recorder.h"
#include "trace/traced_tree.h"

using namespace tarvo;
using bench::PrintFigure;
using bench::PrintHeading;
using bench::Stopwatch;

namespace {

constexpr int kKeyGroups = 100, kKeysPerGroup = 100;     // 10,000 keys, 3 values each
constexpr int kFolders = 200, kFilesPerFolder = 50;      // 10,000 files
const std::wstring kBenchKey = L"Software\\TarvoBenchTrace";

void MakeRegistryWorld() {
    for (int g = 0; g < kKeyGroups; ++g)
        for (int k = 0; k < kKeysPerGroup; ++k) {
            platform::RegistryKey key;
            const std::wstring path = kBenchKey + L"\\Group" + std::to_wstring(g) + L"\\Key" + std::to_wstring(k);
            if (key.Create(HKEY_CURRENT_USER, path, KEY_WRITE, platform::RegistryView::Wow64_64Key) != ERROR_SUCCESS)
                continue;
            (void)key.SetString(L"Name", L"value of " + path);
            (void)key.SetDword(L"Count", static_cast<DWORD>(k));
            (void)key.SetString(L"Folder", L"C:\\Program Files\\Bench\\" + std::to_wstring(g));
        }
}

void MakeFiles(const std::wstring& root, int folders, int files) {
    (void)platform::CreateDirectoryOf(root);
    for (int f = 0; f < folders; ++f) {
        const std::wstring folder = root + L"\\folder" + std::to_wstring(f);
        (void)platform::CreateDirectoryOf(folder);
        for (int i = 0; i < files; ++i)
            (void)platform::WriteFileBytes(folder + L"\\file" + std::to_wstring(i) + L".dat", "bench");
    }
}

// The floor: every key's subkeys listed and values read, every folder listed.
class ValueCount final : public platform::RegistryValueSweep::Visitor {
public:
    void OnValue(std::wstring_view, DWORD, const BYTE*, DWORD) override { ++values; }
    unsigned long long values = 0;
};

unsigned long long WalkKeys(HKEY parent, const std::wstring& path, ValueCount& count) {
    platform::RegistryKey key;
    if (key.Open(parent, path, KEY_READ, platform::RegistryView::Wow64_64Key) != ERROR_SUCCESS) return 0;
    platform::RegistryValueSweep sweep;
    (void)sweep.Sweep(key.get(), count);
    unsigned long long keys = 1;
    std::wstring name;
    for (DWORD i = 0; key.EnumKey(i, name) == ERROR_SUCCESS; ++i) keys += WalkKeys(key.get(), name, count);
    return keys;
}

unsigned long long WalkFolder(const std::wstring& folder) {
    unsigned long long entries = 0;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data;
    if (!finder.FindFirst(folder + L"\\*", data)) return 0;
    std::vector<std::wstring> subfolders;
    do {
        if (platform::IsDotName(data.cFileName)) continue;
        ++entries;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) subfolders.push_back(folder + L"\\" + data.cFileName);
    } while (finder.FindNext(data));
    finder.Close();
    for (const auto& sub : subfolders) entries += WalkFolder(sub);
    return entries;
}

double PlainWalk(const std::wstring& files) {
    Stopwatch watch;
    ValueCount count;
    (void)WalkKeys(HKEY_CURRENT_USER, kBenchKey, count);
    (void)WalkFolder(files);
    return watch.ElapsedSeconds();
}

void RemoveTree(const std::wstring& folder) {
    platform::FileFinder finder;
    WIN32_FIND_DATAW data;
    std::vector<std::wstring> subfolders;
    if (finder.FindFirst(folder + L"\\*", data)) {
        do {
            if (platform::IsDotName(data.cFileName)) continue;
            const std::wstring path = folder + L"\\" + data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                subfolders.push_back(path);
            else
                (void)platform::DeleteFileOf(path);
        } while (finder.FindNext(data));
    }
    finder.Close();
    for (const auto& sub : subfolders) RemoveTree(sub);
    (void)platform::RemoveDirectoryOf(folder);
}

class Quiet final : public leftovers::IRemovalProgress {
public:
    void SetProgress(int) override {}
    void ShowCurrentItem(const std::wstring&) override {}
    void Pump() override {}
};

}  // namespace

int wmain() {
    const std::wstring scratch = platform::GetTempFolder() + L"\\TarvoBenchTrace";
    const std::wstring files = scratch + L"\\world";
    (void)platform::CreateDirectoryOf(scratch);
    std::printf("Traced installation on %d keys (3 values each) and %d files\n", kKeyGroups * kKeysPerGroup,
                kFolders * kFilesPerFolder);
    MakeRegistryWorld();
    MakeFiles(files, kFolders, kFilesPerFolder);

    trace::RecordingPlan plan;
    plan.keys = {{HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", kBenchKey, true}};
    plan.drives = {files};
    plan.spillPath = scratch + L"\\spill.tmp";

    (void)PlainWalk(files);  // warm the caches the way the recording will find them
    const double walk = PlainWalk(files);
    trace::TraceRecorder recorder(plan);
    Stopwatch before;
    if (!recorder.Begin()) return 1;
    const double snapshot = before.ElapsedSeconds();
    {
        platform::RegistryKey key;
        (void)key.Create(HKEY_CURRENT_USER, kBenchKey + L"\\Group7\\Key7\\New", KEY_WRITE, platform::RegistryView::Wow64_64Key);
        (void)key.SetString(L"Made", L"by the installer");
        (void)platform::WriteFileBytes(files + L"\\folder3\\new.dat", "new");
    }
    Stopwatch after;
    const std::size_t found = recorder.End().size();
    const double compare = after.ElapsedSeconds();
    Stopwatch again;
    const std::size_t foundAgain = recorder.End().size();
    const double second = again.ElapsedSeconds();

    PrintHeading("recording");
    PrintFigure("plain walk (floor)", walk * 1000.0, "ms");
    PrintFigure("snapshot before", snapshot * 1000.0, "ms");
    PrintFigure("comparison after", compare * 1000.0, "ms");
    PrintFigure("items found", static_cast<double>(found), "");
    PrintFigure("recording / walk (target <= 2.2)", (snapshot + compare) / walk, "x");
    PrintFigure("second comparison, same changes found", static_cast<double>(foundAgain), "");
    PrintFigure("second comparison / walk (target <= 0.6)", second / walk, "x");

    PrintHeading("memory");
    const double watched = static_cast<double>(recorder.WatchedCount());
    PrintFigure("watched keys and files", watched, "");
    PrintFigure("bytes per watched item, measured", static_cast<double>(recorder.MemoryBytes()) / watched, "B");
    // A snapshot node is 24 bytes, a key adds its 4-byte place in the spill file; the world of
    // 1,000,000 items below is computed from those sizes, half keys and half files.
    PrintFigure("bytes per item, 1,000,000 items (computed, half keys)",
                (500000.0 * (sizeof(trace::SnapshotNode) + 4) + 500000.0 * sizeof(trace::SnapshotNode)) / 1e6, "B");
    PrintFigure("bytes per item, 1,000,000 keys (computed, worst case)",
                static_cast<double>(sizeof(trace::SnapshotNode) + 4), "B");

    // Removal by trace of 10,000 items against plain deletion of the same items.
    PrintHeading("removal of 10,000 items");
    const std::wstring plainRoot = scratch + L"\\plain", tracedRoot = scratch + L"\\traced";
    constexpr int kRemovalFolders = 100, kRemovalFiles = 99;  // 100 folders + 9,900 files
    MakeFiles(plainRoot, kRemovalFolders, kRemovalFiles);
    MakeFiles(tracedRoot, kRemovalFolders, kRemovalFiles);
    Stopwatch plainWatch;
    for (int f = 0; f < kRemovalFolders; ++f) {
        const std::wstring folder = plainRoot + L"\\folder" + std::to_wstring(f);
        for (int i = 0; i < kRemovalFiles; ++i) (void)platform::DeleteFileOf(folder + L"\\file" + std::to_wstring(i) + L".dat");
        (void)platform::RemoveDirectoryOf(folder);
    }
    const double plain = plainWatch.ElapsedSeconds();

    trace::Trace tracedInstall;
    for (int f = 0; f < kRemovalFolders; ++f) {
        const std::wstring folder = tracedRoot + L"\\folder" + std::to_wstring(f);
        trace::TraceItem item;
        item.kind = trace::TraceItemKind::FolderCreated;
        item.path = folder;
        tracedInstall.items.push_back(item);
        item.kind = trace::TraceItemKind::FileCreated;
        for (int i = 0; i < kRemovalFiles; ++i) {
            item.path = folder + L"\\file" + std::to_wstring(i) + L".dat";
            tracedInstall.items.push_back(item);
        }
    }
    Stopwatch tracedWatch;
    leftovers::TResultTree tree;
    const int offered = trace::AddTracedNode(tracedInstall, L"Bench", tree);
    leftovers::TRemovalActions actions = leftovers::DefaultRemovalActions(uninstall::MakeLogContext(scratch));
    leftovers::TLeftoverRemoval removal(tree, actions);
    Quiet quiet;
    const leftovers::TRemovalOutcome outcome = removal.RemoveTicked({}, quiet);
    const double traced = tracedWatch.ElapsedSeconds();
    PrintFigure("items offered", offered, "");
    PrintFigure("items removed", outcome.removed, "");
    PrintFigure("plain deletion (floor)", plain * 1000.0, "ms");
    PrintFigure("removal by trace", traced * 1000.0, "ms");
    PrintFigure("removal by trace / plain (target <= 1.3)", traced / plain, "x");

    (void)platform::DeleteKeyTree(HKEY_CURRENT_USER, kBenchKey, platform::RegistryView::Wow64_64Key);
    RemoveTree(scratch);
    return 0;
}
