#include "leftovers/result_tree.h"

namespace tarvo::leftovers {

TIconList::TIconList() { icons_.resize(kFixedImageCount); }

int TIconList::Add(platform::unique_hicon icon) {
    icons_.push_back(std::move(icon));
    return Count() - 1;
}

HICON TIconList::Icon(int index) const noexcept {
    return index >= 0 && index < Count() ? icons_[static_cast<std::size_t>(index)].get() : nullptr;
}

std::wstring CountCaption(const std::wstring& name, std::size_t count) {
    if (count == 1) return name + L"(1 item)";
    return name + L"(" + std::to_wstring(count) + L" items)";
}

int FindingCount(const TTreeNode& programNode) {
    int count = 0;
    for (const auto& group : programNode.Children)
        for (const auto& item : group->Children)
            if (item->Data.NodeKind == nkItem) ++count;
    return count;
}

int FindingCount(const TResultTree& tree) {
    int count = 0;
    for (const auto& program : tree.Programs) count += FindingCount(*program);
    return count;
}

}  // namespace tarvo::leftovers
