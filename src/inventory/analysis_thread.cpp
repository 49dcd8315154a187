#include "inventory/analysis_thread.h"

#include <windows.h>

#include <chrono>

#include "inventory/entry_analysis.h"
#include "inventory/installer_records.h"
#include "inventory/software_cache.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "settings/ext_ini_file.h"

namespace tarvo::inventory {

namespace {
// How long the closing window waits for a cancelled pass before stopping the worker anyway.
constexpr int kIdleWaitRounds = 11;
constexpr DWORD kIdleWaitStepMs = 10;
constexpr auto kPollInterval = std::chrono::milliseconds(100);
}  // namespace

TAnalysisThread::TAnalysisThread(TSoftList& entries, IAnalysisSink& sink, Options options)
    : entries_(entries), sink_(sink), options_(std::move(options)) {
    if (options_.cacheFile.empty()) options_.cacheFile = SoftwareCachePath();
    worker_ = std::thread([this] { Run(); });
}

TAnalysisThread::~TAnalysisThread() {
    Cancel();
    for (int round = 0; round < kIdleWaitRounds && !IsIdle(); ++round) {
        ::Sleep(kIdleWaitStepMs);
        if (options_.pumpMessages) options_.pumpMessages();
    }
    {
        std::lock_guard lock(mutex_);
        terminated_ = true;
    }
    wake_.notify_all();
    // The worker may be waiting for this thread to run a step; keep serving it until it ends.
    if (options_.pumpMessages) {
        while (!exited_.load()) {
            options_.pumpMessages();
            ::Sleep(kIdleWaitStepMs);
        }
    }
    worker_.join();
}

void TAnalysisThread::RequestPass() {
    std::vector<Item> items;
    items.reserve(entries_.size());
    for (auto& entry : entries_) items.push_back(Item{entry.get(), *entry});
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(items);
        requested_ = true;
        idle_.store(false);
    }
    wake_.notify_all();
}

void TAnalysisThread::Run() noexcept {
    try {
        const platform::ComApartment com;
        TAppRateHelper usage(options_.usage);
        usage.LoadUsageData();
        for (;;) {
            std::vector<Item> items;
            {
                std::unique_lock lock(mutex_);
                wake_.wait_for(lock, kPollInterval, [this] { return terminated_ || requested_; });
                if (terminated_) break;
                if (!requested_) continue;
                items = std::move(pending_);
                pending_.clear();
                requested_ = false;
            }
            cancel_.store(false);
            RunPass(items, usage);
            std::lock_guard lock(mutex_);
            // A request that arrived during the pass keeps the thread busy.
            if (!requested_) idle_.store(true);
        }
    } catch (...) {
        // Nothing may unwind out of the thread; an analysis that failed leaves the gaps open.
    }
    idle_.store(true);
    exited_.store(true);
}

void TAnalysisThread::RunPass(std::vector<Item>& items, TAppRateHelper& usage) {
    settings::TExtIniFile cache;
    if (platform::FileExists(options_.cacheFile)) (void)cache.LoadFromFile(options_.cacheFile);

    const platform::Md5Hasher hasher;
    TAnalysisContext context;
    context.extractIcons = sink_.WantsIcons();
    context.lastAccessTracked = options_.lastAccessTracked ? *options_.lastAccessTracked : LastAccessTimesTracked();
    context.cancel = &cancel_;
    // Read once for the whole pass: per entry it was most of the pass's registry traffic.
    const TRefusedFolders refused = TRefusedFolders::Read();
    context.refused = &refused;
    TInstallerRecords installer;
    context.installer = &installer;

    for (std::size_t index = 0; index < items.size() && !cancel_.load(); ++index) {
        current_.store(index);
        TSoftInfo& entry = items[index].copy;
        TSoftInfo* live = items[index].live;

        // Usage for every entry, hidden ones included: a hidden twin still shares its folder.
        const TUsageLookup use = usage.Lookup(entry.InstallLocation, entry.InstallDate);
        std::optional<TAnalysisResult> result;
        if (!entry.Hidden && NeedsAnalysis(entry)) result = AnalyseEntry(entry, context);
        if (cancel_.load()) break;

        sink_.Synchronize([&, index] {
            try {
                ApplyUsage(*live, use.range, use.rate, use.lastUse, use.found);
                if (!result) return;
                int imageIndex = 0;
                if (result->icons.small && result->icons.large)
                    imageIndex = sink_.AddIcons(result->icons.small.get(), result->icons.large.get());
                ApplyAnalysisResult(*live, *result, imageIndex, cache, hasher);
                sink_.UpdateRows(index, *live);
            } catch (...) {
                // A step that fails leaves the entry as it was; the next entry goes on.
            }
        });
    }
    // Saved even after a cancel: what was measured so far need not be measured again.
    if (!options_.cacheFile.empty()) (void)cache.SaveToFile(options_.cacheFile);
}

}  // namespace tarvo::inventory
