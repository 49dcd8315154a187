#pragma once
// The compact shape both snapshots keep: one 24-byte node per key, folder or file, holding
// hashes instead of names and contents. A node's children lie side by side, sorted by their
// name's hash, so the comparison finds a live entry's node by a binary search and never
// needs a name it did not see.

#include <cstdint>
#include <vector>

namespace tarvo::trace {

struct SnapshotNode {
    std::uint64_t name = 0;   // HashName of the entry's own name
    std::uint64_t stamp = 0;  // what says "unchanged": a key's last-write time, a folder's entries, a file's size and time
    std::uint32_t first = 0;  // index of the first child
    std::uint32_t count = 0;  // number of children; kLeaf for a file
};
static_assert(sizeof(SnapshotNode) == 24);

inline constexpr std::uint32_t kLeaf = 0xFFFFFFFFu;
inline constexpr std::uint32_t kNoNode = 0xFFFFFFFFu;

// A child as the walk lists it, before it gets its place.
struct PendingChild {
    std::uint64_t name = 0;
    std::uint64_t stamp = 0;
    std::uint32_t source = 0;  // the walk's own index into its listing
    bool leaf = false;
};

class SnapshotTree {
public:
    void Clear() { nodes_.clear(); nodes_.shrink_to_fit(); }
    void Reserve(std::size_t count) { nodes_.reserve(count); }
    // Gives back what the growing vector held in reserve once the snapshot is complete.
    void Compact() { nodes_.shrink_to_fit(); }
    // A root node with no children yet; returns its index.
    std::uint32_t AddRoot(std::uint64_t name, std::uint64_t stamp);
    // Places the children of `parent` side by side in name-hash order (sorting `children`);
    // the node of children[i] is first + i afterwards.
    std::uint32_t PlaceChildren(std::uint32_t parent, std::vector<PendingChild>& children);
    void SetStamp(std::uint32_t index, std::uint64_t stamp) noexcept { nodes_[index].stamp = stamp; }
    // The child of `parent` with that name hash, or kNoNode.
    [[nodiscard]] std::uint32_t FindChild(std::uint32_t parent, std::uint64_t name) const noexcept;

    [[nodiscard]] const SnapshotNode& Node(std::uint32_t index) const noexcept { return nodes_[index]; }
    [[nodiscard]] std::size_t Size() const noexcept { return nodes_.size(); }
    [[nodiscard]] std::size_t Bytes() const noexcept { return nodes_.capacity() * sizeof(SnapshotNode); }

private:
    std::vector<SnapshotNode> nodes_;
};

}  // namespace tarvo::trace
