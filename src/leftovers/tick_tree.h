#pragma once
// Ticking in the result tree: a press on a node's box ticks or unticks it with everything
// below it, the ancestors follow (ticked, unticked or partly ticked), and the select link and
// the Delete button follow the tree. Works on the tree data; the window only repaints.

#include <string>
#include <vector>

#include "leftovers/result_tree.h"

namespace tarvo::leftovers {

// The nodes in the tree's index order (each node before its children), with their parents.
struct TFlatNode {
    TTreeNode* node = nullptr;
    TTreeNode* parent = nullptr;  // null for program nodes
};
[[nodiscard]] std::vector<TFlatNode> FlattenTree(TResultTree& tree);

class TTickTree {
public:
    explicit TTickTree(TResultTree& tree) : tree_(tree) {}

    // The window is shown: the link follows the tree again.
    void Shown();
    // A press on the node's state image.
    void Toggle(TTreeNode& node);
    // The select link: "Select All" ticks everything, "Deselect All" unticks everything and
    // freezes the link until it is used again.
    void SelectLinkClicked();
    // After a removal run: the tree changed under us.
    void TreeChanged();

    void SetAllDone(bool done) noexcept { allDone_ = done; }
    [[nodiscard]] bool allDone() const noexcept { return allDone_; }
    [[nodiscard]] bool deleteEnabled() const noexcept { return deleteEnabled_; }
    // True when the link reads "Select All" (its next action selects all).
    [[nodiscard]] bool linkSelectsAll() const noexcept { return linkSelectsAll_; }
    [[nodiscard]] bool linkFrozen() const noexcept { return linkFrozen_; }
    [[nodiscard]] std::wstring LinkText() const;

    // Sets every node's state (used by the select link and by tests).
    void SetAll(int state);
    // A node's state changed by the removal: its ancestors follow as after a press.
    void Propagate(TTreeNode& node);

private:
    [[nodiscard]] bool AnyNode(bool (*test)(int state));
    void UpdateButtons();

    TResultTree& tree_;
    bool allDone_ = false;
    bool deleteEnabled_ = false;
    bool linkSelectsAll_ = true;
    bool linkFrozen_ = false;
};

}  // namespace tarvo::leftovers
