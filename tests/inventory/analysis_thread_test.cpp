#include "inventory/analysis_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "common/date_time.h"
#include "inventory/entry_analysis.h"
#include "inventory/software_cache.h"
#include "common/text.h"
#include "platform/call_counter.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "settings/ext_ini_file.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

namespace tarvo::inventory {

using common::FileTimeToDate;
using common::NowLocal;
using common::SizeText;
using common::UpperCase;
namespace {

using platform::ApiCall;
using platform::CallCounter;

// Runs each step at once, on the worker, and remembers what the list was told.
class RecordingSink final : public IAnalysisSink {
public:
    void Synchronize(const std::function<void()>& step) override {
        ++steps;
        step();
        if (afterStep) afterStep();
    }
    bool WantsIcons() const override { return wantsIcons; }
    int AddIcons(HICON small, HICON large) override {
        if (!small || !large) return 0;
        return ++iconCount;  // image 0 is the list's generic icon
    }
    void UpdateRows(std::size_t index, const TSoftInfo& entry) override { rows.emplace_back(index, entry.SizeText); }

    bool wantsIcons = false;
    int steps = 0;
    int iconCount = 0;
    std::vector<std::pair<std::size_t, std::wstring>> rows;
    std::function<void()> afterStep;
};

bool WaitForIdle(const TAnalysisThread& thread) {
    for (int i = 0; i < 1000 && !thread.IsIdle(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return thread.IsIdle();
}

class AnalysisPass : public ::testing::Test {
protected:
    test::ScratchFolder scratch_;
    // An empty UserAssist store of the test's own.
    test::ScratchKey usageKey_{HKEY_CURRENT_USER, L"Software", platform::RegistryView::Default};
    RecordingSink sink_;

    // What the inventory would give for a program installed in `folder` with `bytes` of data.
    std::unique_ptr<TSoftInfo> Installed(const std::wstring& name, const std::wstring& folder, std::size_t bytes) {
        scratch_.MakeFile(folder + L"\\unins000.exe");
        scratch_.MakeFile(folder + L"\\data\\payload.bin", std::string(bytes, 'p'));
        auto entry = std::make_unique<TSoftInfo>();
        entry->DisplayName = name;
        entry->UninstallString = L"\"" + scratch_.PathOf(folder + L"\\unins000.exe") + L"\" /SILENT";
        entry->LastAccessDate = NowLocal();
        return entry;
    }
    TAnalysisThread::Options Options(const std::wstring& cacheFile) {
        TAnalysisThread::Options options;
        options.cacheFile = cacheFile;
        options.usage.userAssistPath = usageKey_.path();
        options.lastAccessTracked = false;
        return options;
    }
    std::wstring CacheFile() const { return scratch_.PathOf(L"SoftwareCache.ini"); }
};

TEST_F(AnalysisPass, FillsGapsSavesTheCacheAndReusesItOnTheNextStart) {
    TSoftList entries;
    entries.push_back(Installed(L"Alpha", L"Alpha", 3000));
    entries.push_back(Installed(L"Beta", L"Beta", 100));
    entries[1]->Hidden = true;
    entries.push_back(Installed(L"Gamma", L"Gamma", 7));
    entries[2]->DisplayIcon = platform::GetSystemFolder() + L"\\shell32.dll";
    sink_.wantsIcons = true;
    {
        TAnalysisThread thread(entries, sink_, Options(CacheFile()));
        EXPECT_TRUE(thread.IsIdle());
        thread.RequestPass();
        ASSERT_TRUE(WaitForIdle(thread));
    }
    const TSoftInfo& alpha = *entries[0];
    EXPECT_EQ(alpha.Size, 3000);
    EXPECT_EQ(alpha.SizeText, SizeText(3000));
    // The folder comes from the upper-cased command.
    EXPECT_EQ(UpperCase(alpha.InstallLocation), UpperCase(scratch_.PathOf(L"Alpha\\")));
    EXPECT_FALSE(alpha.InstallDateText.empty());
    EXPECT_NE(alpha.InstallDate, 0);
    EXPECT_TRUE(alpha.UseChecked);
    EXPECT_EQ(alpha.UseText, L"<unknown>");
    // A hidden entry still gets its usage look-up, nothing else.
    EXPECT_TRUE(entries[1]->UseChecked);
    EXPECT_EQ(entries[1]->Size, 0);
    EXPECT_TRUE(entries[1]->InstallLocation.empty());
    // An entry whose icon file holds icons gets its own image.
    EXPECT_EQ(sink_.iconCount, 1);
    EXPECT_EQ(entries[2]->ImageIndex, 1);
    EXPECT_EQ(entries[0]->ImageIndex, 0);
    ASSERT_EQ(sink_.rows.size(), 2u);
    EXPECT_EQ(sink_.rows[0], std::make_pair(std::size_t{0}, SizeText(3000)));
    EXPECT_EQ(sink_.rows[1].first, 2u);

    settings::TExtIniFile cache;
    ASSERT_TRUE(cache.LoadFromFile(CacheFile()));
    EXPECT_EQ(cache.ReadString(L"Alpha", L"size", L""), L"3000");
    EXPECT_EQ(cache.ReadString(L"Alpha", L"AppUseRange", L""), L"audUnknown");
    EXPECT_EQ(cache.ReadString(L"Alpha", L"MD5", L""),
              CacheFingerprint(alpha.InstallDateText, alpha.UninstallString));
    EXPECT_FALSE(cache.SectionExists(L"Beta"));

    // Next start: the same programs, fresh from the registry, with a cache to read.
    TSoftList again;
    again.push_back(Installed(L"Alpha", L"Alpha", 3000));
    again.push_back(Installed(L"Gamma", L"Gamma", 7));
    again[1]->UninstallString += L" /changed";  // updated since: its section no longer counts
    LoadCache(again, CacheFile());
    EXPECT_EQ(again[0]->Size, 3000);
    EXPECT_EQ(again[1]->Size, 0);
    {
        TAnalysisThread thread(again, sink_, Options(CacheFile()));
        CallCounter::Reset();
        thread.RequestPass();
        ASSERT_TRUE(WaitForIdle(thread));
    }
    // Only Gamma's folder was walked again: its own folder and data\ (two searches), plus
    // the search for its icon file.
    EXPECT_LE(CallCounter::Get(ApiCall::FindFirstFile), 3u);
    EXPECT_EQ(again[1]->Size, 7);
    ASSERT_TRUE(cache.LoadFromFile(CacheFile()));
    EXPECT_EQ(cache.ReadString(L"Gamma", L"MD5", L""),
              CacheFingerprint(again[1]->InstallDateText, again[1]->UninstallString));
}

TEST_F(AnalysisPass, TheRefusedPlacesAreReadOncePerPassNotPerEntry) {
    TSoftList entries;
    for (int i = 0; i < 12; ++i) entries.push_back(Installed(L"P" + std::to_wstring(i), L"P" + std::to_wstring(i), 10));
    TAnalysisThread thread(entries, sink_, Options(CacheFile()));
    thread.RequestPass();
    ASSERT_TRUE(WaitForIdle(thread));
    // The same gaps again, so that the counted pass does the full work for every entry.
    for (auto& entry : entries) {
        entry->Size = 0;
        entry->SizeText.clear();
        entry->InstallLocation.clear();
    }
    CallCounter::Reset();
    thread.RequestPass();
    ASSERT_TRUE(WaitForIdle(thread));
    for (const auto& entry : entries) EXPECT_EQ(entry->Size, 10) << entry->DisplayName;
    // Three Shell Folders values, each an open and a read; per entry it would be 72 or more.
    EXPECT_LE(CallCounter::RegistryTotal(), 9u);
}

TEST_F(AnalysisPass, CancelEndsThePassWithinOneEntryAndStillSaves) {
    TSoftList entries;
    for (int i = 0; i < 5; ++i) entries.push_back(Installed(L"P" + std::to_wstring(i), L"P" + std::to_wstring(i), 10));
    TAnalysisThread thread(entries, sink_, Options(CacheFile()));
    sink_.afterStep = [&thread] { thread.Cancel(); };
    thread.RequestPass();
    ASSERT_TRUE(WaitForIdle(thread));
    EXPECT_EQ(sink_.steps, 1);
    EXPECT_EQ(entries[0]->Size, 10);
    EXPECT_FALSE(entries[1]->UseChecked);
    EXPECT_EQ(entries[1]->Size, 0);
    settings::TExtIniFile cache;
    ASSERT_TRUE(cache.LoadFromFile(CacheFile()));
    EXPECT_TRUE(cache.SectionExists(L"P0"));
    EXPECT_FALSE(cache.SectionExists(L"P1"));

    // A later request runs a whole pass again.
    sink_.afterStep = nullptr;
    thread.RequestPass();
    ASSERT_TRUE(WaitForIdle(thread));
    EXPECT_EQ(entries[4]->Size, 10);
}

TEST_F(AnalysisPass, AFailedSaveIsIgnored) {
    TSoftList entries;
    entries.push_back(Installed(L"Alpha", L"Alpha", 42));
    const std::wstring unwritable = scratch_.PathOf(L"no such folder\\SoftwareCache.ini");
    TAnalysisThread thread(entries, sink_, Options(unwritable));
    thread.RequestPass();
    ASSERT_TRUE(WaitForIdle(thread));
    EXPECT_EQ(entries[0]->Size, 42);
    EXPECT_FALSE(platform::FileExists(unwritable));
    // The thread goes on serving requests.
    entries.push_back(Installed(L"Beta", L"Beta", 43));
    thread.RequestPass();
    ASSERT_TRUE(WaitForIdle(thread));
    EXPECT_EQ(entries[1]->Size, 43);
}

TEST_F(AnalysisPass, DestroyingDuringAPassStopsPromptly) {
    TSoftList entries;
    for (int i = 0; i < 40; ++i) entries.push_back(Installed(L"Q" + std::to_wstring(i), L"Q" + std::to_wstring(i), 1));
    sink_.afterStep = [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
    const auto started = std::chrono::steady_clock::now();
    {
        TAnalysisThread thread(entries, sink_, Options(CacheFile()));
        thread.RequestPass();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_LT(sink_.steps, 40);
    EXPECT_LT(elapsed, std::chrono::seconds(5));
    EXPECT_TRUE(platform::FileExists(CacheFile()));
}

TEST(LastAccess, CurrentTimeWhenTheSystemKeepsNoAccessTimes) {
    test::ScratchFolder scratch;
    const std::wstring file = scratch.MakeFile(L"App\\app.exe");
    TSoftInfo entry;
    entry.DisplayName = L"App";
    entry.DisplayIcon = file;
    entry.InstallLocation = scratch.PathOf(L"App\\");
    entry.Size = 1;
    entry.ImageIndex = 1;
    // Pretend the file was last touched long ago.
    const HANDLE handle = ::CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    SYSTEMTIME old{};
    old.wYear = 2010;
    old.wMonth = 3;
    old.wDay = 4;
    old.wHour = 12;
    FILETIME oldTime{};
    ::SystemTimeToFileTime(&old, &oldTime);
    EXPECT_TRUE(::SetFileTime(handle, nullptr, &oldTime, nullptr));
    ::CloseHandle(handle);

    TAnalysisContext context;
    context.lastAccessTracked = false;
    EXPECT_NEAR(AnalyseEntry(entry, context).lastAccessDate, NowLocal(), 1.0 / 24);
    context.lastAccessTracked = true;
    EXPECT_NEAR(AnalyseEntry(entry, context).lastAccessDate, FileTimeToDate(oldTime), 1.0 / 86400);
}

}  // namespace
}  // namespace tarvo::inventory
