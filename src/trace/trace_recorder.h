#pragma once
// One recording: both snapshots before the installer runs, both comparisons after it. Plain
// class, driven by the traced install and by tests with their own watched places.

#include <string>
#include <vector>

#include "trace/file_snapshot.h"
#include "trace/registry_snapshot.h"
#include "trace/trace_filter.h"
#include "trace/trace_item.h"

namespace tarvo::trace {

struct RecordingPlan {
    std::vector<WatchedKey> keys;
    std::vector<std::wstring> drives;
    TraceFilter filter;
    std::wstring spillPath;  // where the registry's data before goes while recording
};

// Every watched key and fixed drive, the default filter, the spill file in the data folder.
[[nodiscard]] RecordingPlan DefaultRecordingPlan(const std::wstring& dataFolder);

class TraceRecorder {
public:
    explicit TraceRecorder(RecordingPlan plan) : plan_(std::move(plan)) {}

    // Takes both snapshots; false when the registry's spill file cannot be made.
    [[nodiscard]] bool Begin();
    // Registry items first, then files; paths in the real System32 are written the way a
    // 32-bit process reaches them (Sysnative).
    [[nodiscard]] std::vector<TraceItem> End();

    [[nodiscard]] std::size_t WatchedCount() const noexcept { return registry_.KeyCount() + files_.EntryCount(); }
    [[nodiscard]] std::size_t MemoryBytes() const noexcept { return registry_.MemoryBytes() + files_.MemoryBytes(); }

private:
    RecordingPlan plan_;
    RegistrySnapshot registry_;
    FileSnapshot files_;
};

// "C:\Windows\System32\x" -> "C:\Windows\Sysnative\x" for a 32-bit process on 64-bit Windows,
// where the first name would reach SysWOW64; other paths unchanged.
[[nodiscard]] std::wstring ReachablePath(const std::wstring& nativePath, const std::wstring& windowsFolder, bool wow64);

}  // namespace tarvo::trace
