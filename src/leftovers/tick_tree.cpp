#include "leftovers/tick_tree.h"

#include "language/language.h"

namespace tarvo::leftovers {

namespace {

void AppendFlat(TTreeNode& node, TTreeNode* parent, std::vector<TFlatNode>& out) {
    out.push_back({&node, parent});
    for (auto& child : node.Children) AppendFlat(*child, &node, out);
}

void SetSubtree(TTreeNode& node, int state) {
    node.StateImage = state;
    for (auto& child : node.Children) SetSubtree(*child, state);
}

}  // namespace

std::vector<TFlatNode> FlattenTree(TResultTree& tree) {
    std::vector<TFlatNode> out;
    for (auto& program : tree.Programs) AppendFlat(*program, nullptr, out);
    return out;
}

void TTickTree::Shown() {
    linkFrozen_ = false;
    UpdateButtons();
}

void TTickTree::Toggle(TTreeNode& node) {
    SetSubtree(node, node.StateImage == kStateTicked ? kStateUnticked : kStateTicked);
    Propagate(node);
    UpdateButtons();
}

void TTickTree::Propagate(TTreeNode& start) {
    const auto flat = FlattenTree(tree_);
    auto parentOf = [&](const TTreeNode* node) -> TTreeNode* {
        for (const auto& f : flat)
            if (f.node == node) return f.parent;
        return nullptr;
    };
    TTreeNode* node = &start;
    for (TTreeNode* parent = parentOf(node); parent; node = parent, parent = parentOf(node)) {
        if (parent->Children.size() == 1) {
            parent->StateImage = node->StateImage;
        } else if (parent->StateImage != node->StateImage) {
            if (node->StateImage == kStatePartlyTicked) {
                parent->StateImage = kStatePartlyTicked;
            } else {
                bool differs = false;
                for (const auto& child : parent->Children)
                    if (child->StateImage != node->StateImage) differs = true;
                parent->StateImage = differs ? kStatePartlyTicked : node->StateImage;
            }
        }
    }
}

void TTickTree::SelectLinkClicked() {
    if (linkSelectsAll_) {
        SetAll(kStateTicked);
        linkSelectsAll_ = false;
        linkFrozen_ = false;
        deleteEnabled_ = !allDone_;
    } else {
        SetAll(kStateUnticked);
        linkSelectsAll_ = true;
        linkFrozen_ = true;
        deleteEnabled_ = false;
    }
}

void TTickTree::TreeChanged() { UpdateButtons(); }

void TTickTree::SetAll(int state) {
    for (auto& program : tree_.Programs) SetSubtree(*program, state);
}

bool TTickTree::AnyNode(bool (*test)(int state)) {
    for (const auto& f : FlattenTree(tree_))
        if (test(f.node->StateImage)) return true;
    return false;
}

void TTickTree::UpdateButtons() {
    deleteEnabled_ = !allDone_ && AnyNode([](int s) { return s != kStateUnticked; });
    if (!linkFrozen_) linkSelectsAll_ = AnyNode([](int s) { return s == kStateUnticked; });
}

std::wstring TTickTree::LinkText() const {
    return linkSelectsAll_ ? language::GetText(L"Select_All_M", L"Select All")
                           : language::GetText(L"Deselect_All_M", L"Deselect All");
}

}  // namespace tarvo::leftovers
