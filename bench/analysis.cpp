// The analysis pass over a world of 500 installed programs whose folders hold 200,000 files,
// against the floor of one plain walk of the same folders (medians of three rounds); the second start with a warm
// SoftwareCache.ini; and the usage data: 2,000 UserAssist values read, 500 look-ups.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "inventory/analysis_thread.h"
#include "inventory/app_rate_helper.h"
#include "common/date_time.h"
#include "inventory/software_cache.h"
#include "platform/call_counter.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "support/bench_report.h"

using namespace tarvo;
using namespace tarvo::bench;
using platform::ApiCall;
using platform::CallCounter;

namespace {

constexpr int kPrograms = 500;
constexpr int kFilesPerProgram = 400;  // half in the folder, half in its data\ subfolder
constexpr int kUsageValues = 2000;



std::wstring ProgramFolder(const std::wstring& root, int i) { return root + L"\\Program" + std::to_wstring(i); }

bool MakeFile(const std::wstring& path, DWORD bytes) {
    const auto file = platform::CreateFileOf(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) return false;
    if (bytes == 0) return true;
    std::string content(bytes, 'x');
    DWORD written = 0;
    return ::WriteFile(file.get(), content.data(), bytes, &written, nullptr) && written == bytes;
}

bool BuildWorld(const std::wstring& root) {
    if (!platform::CreateDirectoryOf(root)) return false;
    for (int i = 0; i < kPrograms; ++i) {
        const std::wstring folder = ProgramFolder(root, i);
        if (!platform::CreateDirectoryOf(folder) || !platform::CreateDirectoryOf(folder + L"\\data")) return false;
        // One file with content, so that every program has a size worth keeping.
        if (!MakeFile(folder + L"\\unins000.exe", 4096)) return false;
        for (int f = 1; f < kFilesPerProgram; ++f) {
            const std::wstring sub = f % 2 ? L"\\data\\f" : L"\\f";
            if (!MakeFile(folder + sub + std::to_wstring(f) + L".dat", 0)) return false;
        }
    }
    return true;
}

void RemoveWorld(const std::wstring& root) {
    std::vector<std::wstring> folders{root};
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    for (std::size_t i = 0; i < folders.size(); ++i) {
        for (bool more = finder.FindFirst(folders[i] + L"\\*", data); more; more = finder.FindNext(data)) {
            if (platform::IsDotName(data.cFileName)) continue;
            const std::wstring path = folders[i] + L"\\" + data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                folders.push_back(path);
            else
                (void)platform::DeleteFileOf(path);
        }
        finder.Close();
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) (void)platform::RemoveDirectoryOf(*it);
}

// The least any analysis must do: list every folder of every program once.
unsigned long long PlainWalk(const std::wstring& root) {
    unsigned long long files = 0;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    for (int i = 0; i < kPrograms; ++i) {
        std::vector<std::wstring> folders{ProgramFolder(root, i) + L"\\"};
        for (std::size_t f = 0; f < folders.size(); ++f) {
            for (bool more = finder.FindFirst(folders[f] + L"*.*", data); more; more = finder.FindNext(data)) {
                if (platform::IsDotName(data.cFileName)) continue;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    folders.push_back(folders[f] + data.cFileName + L"\\");
                else
                    ++files;
            }
            finder.Close();
        }
    }
    return files;
}

inventory::TSoftList Entries(const std::wstring& root) {
    inventory::TSoftList entries;
    for (int i = 0; i < kPrograms; ++i) {
        auto entry = std::make_unique<inventory::TSoftInfo>();
        entry->DisplayName = L"Bench Program " + std::to_wstring(i);
        entry->UninstallString = L"\"" + ProgramFolder(root, i) + L"\\unins000.exe\" /SILENT";
        entry->LastAccessDate = common::NowLocal();
        entries.push_back(std::move(entry));
    }
    return entries;
}

class InlineSink final : public inventory::IAnalysisSink {
public:
    void Synchronize(const std::function<void()>& step) override { step(); }
    bool WantsIcons() const override { return false; }
    int AddIcons(HICON, HICON) override { return 0; }
    void UpdateRows(std::size_t, const inventory::TSoftInfo&) override {}
};

struct PassFigures {
    double seconds = 0;
    unsigned long long fileCalls = 0;
    unsigned long long findFirst = 0;
    unsigned long long findNext = 0;
    unsigned long long registryCalls = 0;
};

PassFigures RunPass(inventory::TSoftList& entries, const std::wstring& cacheFile, const std::wstring& usageRoot) {
    InlineSink sink;
    inventory::TAnalysisThread::Options options;
    options.cacheFile = cacheFile;
    options.usage.userAssistPath = usageRoot;
    inventory::TAnalysisThread thread(entries, sink, options);
    // Let the worker load its (empty) usage data before the clock starts.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    CallCounter::Reset();
    Stopwatch watch;
    thread.RequestPass();
    while (!thread.IsIdle()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    PassFigures figures;
    figures.seconds = watch.ElapsedSeconds();
    figures.fileCalls = CallCounter::FileSystemTotal();
    figures.findFirst = CallCounter::Get(ApiCall::FindFirstFile);
    figures.findNext = CallCounter::Get(ApiCall::FindNextFile);
    figures.registryCalls = CallCounter::RegistryTotal();
    return figures;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void PrintPass(const PassFigures& pass) {
    PrintFigure("time", pass.seconds * 1000.0, "ms");
    PrintFigure("file-system calls", static_cast<double>(pass.fileCalls), "calls");
    PrintFigure("  FindFirstFile", static_cast<double>(pass.findFirst), "calls");
    PrintFigure("  FindNextFile", static_cast<double>(pass.findNext), "calls");
    PrintFigure("registry calls", static_cast<double>(pass.registryCalls), "calls");
    PrintCallCounts("calls by kind");
}

// 2,000 UserAssist values, each in a folder of its own, every fourth one below a known folder.
void WriteUsageValues(const std::wstring& root) {
    platform::RegistryKey count;
    if (count.Create(HKEY_CURRENT_USER, root + L"\\" + inventory::kUserAssistSources[0] + L"\\Count") != ERROR_SUCCESS)
        return;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    for (int i = 0; i < kUsageValues; ++i) {
        std::wstring path = i % 4 == 0 ? L"{F38BF404-1D43-42F2-9305-67DE0B28FC23}\\Tool" + std::to_wstring(i) + L"\\t.exe"
                                       : L"C:\\Program Files\\Vendor" + std::to_wstring(i) + L"\\app.exe";
        for (wchar_t& ch : path) {
            if (ch >= L'A' && ch <= L'Z') ch = static_cast<wchar_t>(L'A' + (ch - L'A' + 13) % 26);
            else if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(L'a' + (ch - L'a' + 13) % 26);
        }
        BYTE data[72] = {};
        data[4] = static_cast<BYTE>(i % 50 + 1);
        FILETIME when = now;
        ULARGE_INTEGER t{};
        t.LowPart = when.dwLowDateTime;
        t.HighPart = when.dwHighDateTime;
        t.QuadPart -= static_cast<ULONGLONG>(i) * 36000000000ULL;  // an hour apart
        when.dwLowDateTime = t.LowPart;
        when.dwHighDateTime = t.HighPart;
        std::memcpy(data + 60, &when, sizeof when);
        (void)count.SetValue(path, REG_BINARY, data, sizeof data);
    }

}

void MeasureUsage() {
    const std::wstring root = L"Software\\TarvoBenchUsage-" + std::to_wstring(::GetCurrentProcessId());
    WriteUsageValues(root);
    inventory::TAppRateHelper::Options options;
    options.userAssistPath = root;
    inventory::TAppRateHelper helper(options);

    CallCounter::Reset();
    Stopwatch readWatch;
    helper.LoadUsageData();
    const double readSeconds = readWatch.ElapsedSeconds();
    const auto valueReads = CallCounter::Get(ApiCall::RegEnumValue) + CallCounter::Get(ApiCall::RegQueryValue);

    std::vector<std::wstring> locations;
    for (int i = 0; i < kPrograms; ++i)
        locations.push_back(i % 2 ? L"C:\\Program Files\\Vendor" + std::to_wstring(i * 4 + 1)
                                  : L"C:\\Program Files\\Unused" + std::to_wstring(i));
    CallCounter::Reset();
    Stopwatch lookupWatch;
    int matched = 0;
    for (const auto& location : locations)
        if (helper.Lookup(location, 0).lastUse != 0) ++matched;
    const double lookupSeconds = lookupWatch.ElapsedSeconds();

    PrintHeading("usage data: 2,000 UserAssist values, 500 look-ups");
    PrintFigure("records (folders)", static_cast<double>(helper.Records().size()), "");
    PrintFigure("read time", readSeconds * 1000.0, "ms");
    PrintFigure("registry value reads", static_cast<double>(valueReads), "calls");
    PrintFigure("value reads per value", static_cast<double>(valueReads) / kUsageValues, "");
    PrintFigure("look-up time, 500 entries", lookupSeconds * 1000.0, "ms");
    PrintFigure("look-ups matched", matched, "");
    PrintFigure("look-up time / read time", lookupSeconds / readSeconds, "(target < 0.1)");
    PrintFigure("registry calls during look-ups", static_cast<double>(CallCounter::RegistryTotal()), "calls");
    (void)platform::DeleteKeyTree(HKEY_CURRENT_USER, root, platform::RegistryView::Default);
}

}  // namespace

int wmain() {
    std::printf("Analysis pass: %d programs, %d files\n", kPrograms, kPrograms * kFilesPerProgram);
    const std::wstring root =
        platform::GetTempFolder() + L"\\TarvoBenchAnalysis-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring usageRoot = L"Software\\TarvoBenchEmpty-" + std::to_wstring(::GetCurrentProcessId());

    Stopwatch createWatch;
    const bool built = BuildWorld(root);
    PrintHeading("world");
    PrintFigure("creation time", createWatch.ElapsedSeconds(), "s");
    if (!built) {
        std::printf("cannot create the world under %ls\n", root.c_str());
        RemoveWorld(root);
        return 1;
    }

    // The machine is shared: floor and first pass are measured three times, alternating,
    // each pass from an empty cache, and compared by their medians.
    constexpr int kRounds = 3;
    std::vector<double> floors, threadFloors, passes;
    unsigned long long floorCalls = 0, files = 0;
    PassFigures cold;
    for (int round = 0; round < kRounds; ++round) {
        CallCounter::Reset();
        Stopwatch floorWatch;
        files = PlainWalk(root);
        floors.push_back(floorWatch.ElapsedSeconds());
        floorCalls = CallCounter::FileSystemTotal();

        // The same walk on a thread of its own, as the analysis runs: what the thread alone costs.
        std::thread walker([&] {
            Stopwatch watch;
            (void)PlainWalk(root);
            threadFloors.push_back(watch.ElapsedSeconds());
        });
        walker.join();

        const std::wstring freshCache = root + L"\\SoftwareCache" + std::to_wstring(round) + L".ini";
        inventory::TSoftList entries = Entries(root);
        cold = RunPass(entries, freshCache, usageRoot);
        passes.push_back(cold.seconds);
        (void)platform::DeleteFileOf(freshCache);
    }
    const double floorSeconds = Median(floors);
    PrintHeading("floor: one plain FindFirstFile/FindNextFile walk");
    PrintFigure("files seen", static_cast<double>(files), "");
    for (const double seconds : floors) PrintFigure("time", seconds * 1000.0, "ms");
    PrintFigure("median time", floorSeconds * 1000.0, "ms");
    PrintFigure("file-system calls", static_cast<double>(floorCalls), "calls");
    for (const double seconds : threadFloors) PrintFigure("the same walk on a worker thread", seconds * 1000.0, "ms");

    PrintHeading("first pass, no cache");
    for (const double seconds : passes) PrintFigure("time", seconds * 1000.0, "ms");
    PrintFigure("median time", Median(passes) * 1000.0, "ms");
    PrintPass(cold);
    PrintFigure("median time / median floor", Median(passes) / floorSeconds, "(target <= 1.2)");
    PrintFigure("median time / median floor on a thread", Median(passes) / Median(threadFloors), "");
    PrintFigure("file-system calls / floor", static_cast<double>(cold.fileCalls) / static_cast<double>(floorCalls),
                "(target <= 1.2)");

    const std::wstring cacheFile = root + L"\\SoftwareCache.ini";
    inventory::TSoftList first = Entries(root);
    (void)RunPass(first, cacheFile, usageRoot);

    inventory::TSoftList second = Entries(root);
    CallCounter::Reset();
    Stopwatch loadWatch;
    inventory::LoadCache(second, cacheFile);
    const double loadSeconds = loadWatch.ElapsedSeconds();
    const PassFigures warm = RunPass(second, cacheFile, usageRoot);
    PrintHeading("second start, warm cache");
    PrintFigure("LoadCache time", loadSeconds * 1000.0, "ms");
    PrintPass(warm);
    PrintFigure("folder walks (FindNextFile calls)", static_cast<double>(warm.findNext), "(target 0)");
    int sized = 0;
    for (const auto& entry : second)
        if (entry->Size > 0) ++sized;
    PrintFigure("entries with their size", sized, "");

    MeasureUsage();

    Stopwatch removeWatch;
    RemoveWorld(root);
    PrintHeading("clean-up");
    PrintFigure("removal time", removeWatch.ElapsedSeconds(), "s");
    return 0;
}
