#pragma once
// The background analysis: one worker thread that completes the catalogue's entries (folder,
// size, icon, dates, usage) and hands each finished entry to the user-interface thread. Its
// measurements are kept in SoftwareCache.ini between runs.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "inventory/analysis_sink.h"
#include "inventory/app_rate_helper.h"
#include "inventory/inventory.h"

namespace tarvo::inventory {

class TAnalysisThread {
public:
    struct Options {
        // Where the measurements are kept; SoftwareCachePath() when empty. A pass without a
        // cache file still runs; it just keeps nothing.
        std::wstring cacheFile;
        TAppRateHelper::Options usage;
        // Handles the user-interface thread's messages while it waits for the worker to stop,
        // so that a step the worker is handing over can still run. Empty: no messages.
        std::function<void()> pumpMessages;
        // Tests fix this; otherwise it is read from the system at each pass.
        std::optional<bool> lastAccessTracked;
    };

    // Starts the worker, idle. `entries` and `sink` must outlive the object.
    TAnalysisThread(TSoftList& entries, IAnalysisSink& sink, Options options);
    // Cancels a running pass, waits briefly for it to end, then stops the worker.
    ~TAnalysisThread();
    TAnalysisThread(const TAnalysisThread&) = delete;
    TAnalysisThread& operator=(const TAnalysisThread&) = delete;

    // User-interface thread. Takes a snapshot of the entries as they are now and asks the
    // worker for one pass over it; the worker starts within 100 ms.
    void RequestPass();
    // Stops the current pass before its next entry (or inside a folder walk); the cache is
    // still saved.
    void Cancel() noexcept { cancel_.store(true); }
    [[nodiscard]] bool IsIdle() const noexcept { return idle_.load(); }
    // The index of the entry being analysed.
    [[nodiscard]] std::size_t CurrentIndex() const noexcept { return current_.load(); }

private:
    struct Item {
        TSoftInfo* live;
        TSoftInfo copy;  // the worker reads this one; the live entry changes only in steps
    };

    void Run() noexcept;
    void RunPass(std::vector<Item>& items, TAppRateHelper& usage);

    TSoftList& entries_;
    IAnalysisSink& sink_;
    Options options_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Item> pending_;  // guarded by mutex_
    bool requested_ = false;     // guarded by mutex_
    bool terminated_ = false;    // guarded by mutex_

    std::atomic<bool> idle_{true};
    std::atomic<bool> cancel_{false};
    std::atomic<bool> exited_{false};
    std::atomic<std::size_t> current_{0};
    std::thread worker_;
};

}  // namespace tarvo::inventory
