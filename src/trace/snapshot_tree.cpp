#include "trace/snapshot_tree.h"

#include <algorithm>

namespace tarvo::trace {

std::uint32_t SnapshotTree::AddRoot(std::uint64_t name, std::uint64_t stamp) {
    nodes_.push_back({name, stamp, 0, 0});
    return static_cast<std::uint32_t>(nodes_.size() - 1);
}

std::uint32_t SnapshotTree::PlaceChildren(std::uint32_t parent, std::vector<PendingChild>& children) {
    std::sort(children.begin(), children.end(),
              [](const PendingChild& a, const PendingChild& b) { return a.name < b.name; });
    const auto first = static_cast<std::uint32_t>(nodes_.size());
    for (const PendingChild& child : children)
        nodes_.push_back({child.name, child.stamp, 0, child.leaf ? kLeaf : 0});
    nodes_[parent].first = first;
    nodes_[parent].count = static_cast<std::uint32_t>(children.size());
    return first;
}

std::uint32_t SnapshotTree::FindChild(std::uint32_t parent, std::uint64_t name) const noexcept {
    const SnapshotNode& node = nodes_[parent];
    if (node.count == kLeaf || node.count == 0) return kNoNode;
    const auto begin = nodes_.begin() + node.first;
    const auto end = begin + node.count;
    const auto it = std::lower_bound(begin, end, name, [](const SnapshotNode& n, std::uint64_t h) { return n.name < h; });
    if (it == end || it->name != name) return kNoNode;
    return static_cast<std::uint32_t>(it - nodes_.begin());
}

}  // namespace tarvo::trace
