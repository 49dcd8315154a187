#pragma once
// The registry side of a recording. Before the installer runs, every watched key gets a node
// (its name's hash and its last-write time) and its values go, in one sequential write, to a
// spill file beside the trace store: memory holds 28 bytes a key, and the data a changed value
// had before is still at hand. After the installer, the comparison reads the values only of
// keys whose last-write time moved (the kernel moves it whenever a value of the key is set or
// deleted, or a subkey made or removed) and looks up every other key by its name's hash.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_stream.h"
#include "trace/snapshot_tree.h"
#include "trace/trace_filter.h"
#include "trace/trace_item.h"

namespace tarvo::trace {

// One watched tree: HKLM\SOFTWARE in the native view holds the 32-bit view too (as its
// Wow6432Node subtree), so each key is watched once, under the path the removal opens.
struct WatchedKey {
    HKEY root = nullptr;
    std::wstring rootName;
    std::wstring path;
    bool view64 = true;
};

// HKLM\SOFTWARE, HKLM\SYSTEM\CurrentControlSet, HKCU and every other loaded user hive.
[[nodiscard]] std::vector<WatchedKey> DefaultWatchedKeys();

class RegistrySnapshot {
public:
    // Walks the watched trees; false when the spill file cannot be made.
    [[nodiscard]] bool Take(const std::vector<WatchedKey>& keys, const TraceFilter& filter,
                            const std::wstring& spillPath);
    // What was created or changed since Take, keys before their values, parents before children.
    [[nodiscard]] std::vector<TraceItem> Compare();

    [[nodiscard]] std::size_t KeyCount() const noexcept { return tree_.Size(); }
    [[nodiscard]] std::size_t MemoryBytes() const noexcept {
        return tree_.Bytes() + spillAt_.capacity() * sizeof(std::uint32_t);
    }

private:
    struct Value {
        std::wstring name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };

    void Walk(HKEY key, const std::wstring& path, std::uint32_t node);
    void CompareKey(HKEY key, const std::wstring& path, std::uint32_t node, std::uint64_t liveStamp);
    void AddCreated(HKEY key, const std::wstring& path);
    void SpillValues(HKEY key, std::uint32_t node);
    [[nodiscard]] std::vector<Value> SpilledValues(std::uint32_t node);
    [[nodiscard]] std::vector<Value> LiveValues(HKEY key);
    void FlushSpill();
    [[nodiscard]] TraceItem Item(TraceItemKind kind, const std::wstring& path) const;

    SnapshotTree tree_;
    std::vector<std::uint32_t> spillAt_;  // per node: offset of its values in the spill file
    std::vector<WatchedKey> keys_;
    std::vector<std::uint32_t> roots_;  // each watched key's node
    TraceFilter filter_;
    platform::FileStream spill_;
    std::vector<BYTE> buffer_;
    std::uint64_t spillSize_ = 0;
    const WatchedKey* current_ = nullptr;
    std::vector<TraceItem>* out_ = nullptr;
};

}  // namespace tarvo::trace
