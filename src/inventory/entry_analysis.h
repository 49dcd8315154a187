#pragma once
// One entry's analysis: what the worker measures off the user-interface thread, and the
// update step that applies it to the live entry and the cache on that thread.

#include <atomic>
#include <cstdint>
#include <string>

#include "inventory/command_analysis.h"
#include "inventory/soft_info.h"
#include "platform/crypto_hash.h"
#include "platform/shell.h"
#include "settings/ext_ini_file.h"

namespace tarvo::inventory {

// Toolbars keep their whole add-on store in their folder; their size is shown up to this.
inline constexpr std::int64_t kToolbarSizeCap = 10 * 1024 * 1024;

struct TAnalysisResult {
    std::wstring folder;
    std::int64_t size = 0;
    platform::IconPair icons;
    std::wstring iconFile;
    std::int32_t iconIndex = 0;
    TDateTime installDate = 0;
    std::wstring installDateText;
    TDateTime lastAccessDate = 0;
};

class TInstallerRecords;

struct TAnalysisContext {
    bool extractIcons = false;        // the list has image lists to take them
    bool lastAccessTracked = false;   // the file system keeps last-access times
    const std::atomic<bool>* cancel = nullptr;
    // The places no entry's folder may be; read once per pass. Null: read for each entry.
    const TRefusedFolders* refused = nullptr;
    // Windows Installer's component lists, read once per pass. Null: read for each entry.
    TInstallerRecords* installer = nullptr;
};

// Entries whose folder, size, icon and date are all known need no analysis.
[[nodiscard]] bool NeedsAnalysis(const TSoftInfo& entry) noexcept;

// Reads the file system for one entry; touches nothing but the result.
[[nodiscard]] TAnalysisResult AnalyseEntry(const TSoftInfo& entry, const TAnalysisContext& context);

// The update step: fills the live entry's gaps from the result and records them in the
// cache. `imageIndex` is where the list put the entry's icons (0 for none). Only gaps are
// filled: a value the entry already has always wins over a measured one.
void ApplyAnalysisResult(TSoftInfo& entry, const TAnalysisResult& result, int imageIndex,
                         settings::TExtIniFile& cache, const platform::Md5Hasher& hasher);

// The usage fields written back from the worker's look-up.
void ApplyUsage(TSoftInfo& entry, TAppUseRange range, TAppUseRate rate, TDateTime lastUse, bool checked);

// Whether the system records last-access times (NtfsDisableLastAccessUpdate present as a
// DWORD of 0); without them the "last access" is simply now.
[[nodiscard]] bool LastAccessTimesTracked();

}  // namespace tarvo::inventory
