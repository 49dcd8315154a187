#pragma once
// A tree view whose every node carries a three-state box: unticked, ticked, partly ticked
// (state images 1, 2 and 3). The control only shows and reports: a press on a box, or Space
// on the selected node, is handed to `onToggle` with the node's data; what the states become
// is the caller's business.

#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "ui/gdi.h"
#include <string>

namespace tarvo::ui {

class TriStateTree {
public:
    TriStateTree() = default;
    TriStateTree(const TriStateTree&) = delete;
    TriStateTree& operator=(const TriStateTree&) = delete;
    ~TriStateTree();

    bool Create(HWND parent, int id, const RECT& bounds, int dpi);
    [[nodiscard]] HWND hwnd() const noexcept { return tree_; }

    // The node images; the tree takes ownership of the list.
    void SetImages(HIMAGELIST images);
    void Clear();
    HTREEITEM Add(HTREEITEM parent, const std::wstring& caption, int image, int state, LPARAM data);
    void SetState(HTREEITEM item, int state);
    void Expand(HTREEITEM item);
    [[nodiscard]] bool IsExpanded(HTREEITEM item) const;
    void Select(HTREEITEM item);
    void SetRedraw(bool on);
    [[nodiscard]] LPARAM DataOf(HTREEITEM item) const;

    // The parent forwards its WM_NOTIFY for this control; returns true when it was handled.
    bool OnNotify(const NMHDR& header, LRESULT& result);

    std::function<void(LPARAM data)> onToggle;

private:
    HWND tree_ = nullptr;
    unique_himagelist states_;
    unique_himagelist images_;
    int id_ = 0;
};

// Three 16 x 16 boxes drawn by the system (with an unused picture 0), for any tree or list.
[[nodiscard]] HIMAGELIST CreateTickImages(int dpi);

}  // namespace tarvo::ui
