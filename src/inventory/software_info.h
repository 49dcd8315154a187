#pragma once
// The program catalogue: every installed-program entry of the run, and the analysis thread
// that completes them. Entries only accumulate: a program that goes away is hidden, never
// freed, because dialogs hold pointers to entries for as long as the program runs.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "inventory/analysis_sink.h"
#include "inventory/analysis_thread.h"
#include "inventory/inventory.h"

namespace tarvo::inventory {

class TSoftwareInfo {
public:
    struct Options {
        // SoftwareCache.ini; the data folder's one when empty.
        std::wstring cacheFile;
        // Reads the uninstall keys; Inventory when empty. Tests hand in a fixed world.
        std::function<void(TSoftList&)> readInventory;
        TAnalysisThread::Options analysis;
    };

    // Reads the inventory, fills it from the cache and, with a sink, starts the analysis
    // thread with a first pass. Without a sink nothing is analysed (the console companion).
    TSoftwareInfo(IAnalysisSink* sink, Options options);
    // Stops the analysis (a running pass is cancelled and waited for briefly) before the
    // entries it points into go away.
    ~TSoftwareInfo();
    TSoftwareInfo(const TSoftwareInfo&) = delete;
    TSoftwareInfo& operator=(const TSoftwareInfo&) = delete;

    [[nodiscard]] const TSoftList& Entries() const noexcept { return entries_; }
    [[nodiscard]] std::size_t Count() const noexcept { return entries_.size(); }
    // Nothing for an index outside the list.
    [[nodiscard]] TSoftInfo* EntryAt(std::size_t index) const noexcept;
    // The position of an entry of this catalogue; Count() for any other pointer.
    [[nodiscard]] std::size_t IndexOf(const TSoftInfo* entry) const noexcept;

    // Reads the uninstall keys again: entries still registered are shown again with what the
    // analysis found, new ones are appended, and the rest stay hidden. False (nothing done)
    // while another refresh runs.
    bool Refresh();
    [[nodiscard]] bool Refreshing() const noexcept { return refreshing_; }

    // Deletes the entry's uninstall key and hides it. A key that is already gone counts as
    // deleted; a hidden entry is refused.
    bool RemoveEntry(TSoftInfo& entry);

    // The queries of the uninstall and forced-uninstall windows. Each appends the indexes
    // of the matching visible entries to `indexes` and returns how many it appended; 0
    // without a list.
    // Entries installed in the folder of `path`.
    int EntriesInFolder(const std::wstring& path, std::vector<std::size_t>* indexes) const;
    // Entries installed in `folder` or below it.
    int EntriesUnderFolder(const std::wstring& folder, std::vector<std::size_t>* indexes) const;
    // Entries whose name contains `text`, ignoring case.
    int EntriesByName(const std::wstring& text, std::vector<std::size_t>* indexes) const;

    // Asks the analysis thread for another pass over the entries as they are now.
    void RequestAnalysis();
    [[nodiscard]] TAnalysisThread* AnalysisThread() noexcept { return analysis_.get(); }

private:
    TSoftList entries_;
    Options options_;
    std::unique_ptr<TAnalysisThread> analysis_;
    bool refreshing_ = false;
};

// A folder for comparing: "/" and doubled backslashes become one backslash, and it ends in
// exactly one backslash. Empty stays empty.
[[nodiscard]] std::wstring NormalisedFolder(const std::wstring& folder);

// A copy of a freshly read entry for the catalogue: what the usage lookup finds starts
// empty, since it belongs to the analysis that follows.
[[nodiscard]] std::unique_ptr<TSoftInfo> CatalogueCopy(const TSoftInfo& fresh);

}  // namespace tarvo::inventory
