#pragma once
// The file side of a recording. Before the installer runs, every watched folder gets a node
// whose stamp sums its entries' hashes (name, size, write time, attributes) and every file a
// node with its own; 24 bytes an entry, no names kept. After the installer, a folder whose
// listing sums to the same stamp is passed over except for its subfolders; in any other the
// comparison looks each entry up by its name's hash. Links (junctions, symbolic links) are
// watched as entries, never followed.

#include <cstdint>
#include <string>
#include <vector>

#include "trace/snapshot_tree.h"
#include "trace/trace_filter.h"
#include "trace/trace_item.h"

namespace tarvo::trace {

// The fixed drives' roots ("C:\"); under Wine only the system drive, the others being the
// host's own folders.
[[nodiscard]] std::vector<std::wstring> DefaultWatchedDrives();

class FileSnapshot {
public:
    void Take(const std::vector<std::wstring>& roots, const TraceFilter& filter);
    // Folders and files created, and files changed, since Take; a folder before its content.
    [[nodiscard]] std::vector<TraceItem> Compare();

    [[nodiscard]] std::size_t EntryCount() const noexcept { return tree_.Size(); }
    [[nodiscard]] std::size_t MemoryBytes() const noexcept { return tree_.Bytes(); }

private:
    struct Entry {
        std::wstring name;
        std::uint64_t nameHash = 0;
        std::uint64_t stamp = 0;
        bool folder = false;
    };
    [[nodiscard]] std::vector<Entry> List(const std::wstring& folder, std::uint64_t& folderStamp) const;
    void Walk(const std::wstring& folder, std::uint32_t node);
    void CompareFolder(const std::wstring& folder, std::uint32_t node);
    void AddCreated(const std::wstring& folder);

    SnapshotTree tree_;
    std::vector<std::wstring> roots_;
    std::vector<std::uint32_t> rootNodes_;
    TraceFilter filter_;
    std::vector<TraceItem>* out_ = nullptr;
};

}  // namespace tarvo::trace
