#include "ui/tri_state_tree.h"

#include "ui/gdi.h"
#include "ui/window_base.h"

namespace tarvo::ui {

namespace {

constexpr UINT kStateShift = 12;

HBITMAP BoxBitmap(HDC screen, int size, UINT state, bool blank) {
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all{0, 0, size, size};
    ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_WINDOW));
    if (!blank) {
        RECT box{1, 1, size - 1, size - 1};
        ::DrawFrameControl(dc, &box, DFC_BUTTON, state | DFCS_FLAT);
    }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return bitmap;
}

}  // namespace

HIMAGELIST CreateTickImages(int dpi) {
    const int size = ScaleForDpi(16, dpi);
    HIMAGELIST list = ::ImageList_Create(size, size, ILC_COLOR32, 4, 0);
    const unique_window_dc screen(nullptr);
    const struct {
        UINT state;
        bool blank;
    } faces[] = {{0, true},
                 {DFCS_BUTTONCHECK, false},
                 {DFCS_BUTTONCHECK | DFCS_CHECKED, false},
                 {DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_INACTIVE, false}};
    for (const auto& face : faces) {
        const unique_hbitmap bitmap(BoxBitmap(screen.get(), size, face.state, face.blank));
        ::ImageList_Add(list, bitmap.get(), nullptr);
    }
    return list;
}

TriStateTree::~TriStateTree() {
    // The tree view does not free its state list, and it was ours anyway.
    if (tree_ && ::IsWindow(tree_)) ::DestroyWindow(tree_);
}

bool TriStateTree::Create(HWND parent, int id, const RECT& bounds, int dpi) {
    id_ = id;
    tree_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                  TVS_SHOWSELALWAYS,
                              bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (!tree_) return false;
    states_.reset(CreateTickImages(dpi));
    TreeView_SetImageList(tree_, states_.get(), TVSIL_STATE);
    return true;
}

void TriStateTree::SetImages(HIMAGELIST images) {
    // The tree lets go of the old list before it is destroyed.
    TreeView_SetImageList(tree_, images, TVSIL_NORMAL);
    images_.reset(images);
}

void TriStateTree::Clear() { TreeView_DeleteAllItems(tree_); }

HTREEITEM TriStateTree::Add(HTREEITEM parent, const std::wstring& caption, int image, int state, LPARAM data) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(caption.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    insert.item.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(state));
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TriStateTree::SetState(HTREEITEM item, int state) {
    TreeView_SetItemState(tree_, item, INDEXTOSTATEIMAGEMASK(static_cast<UINT>(state)), TVIS_STATEIMAGEMASK);
}

void TriStateTree::Expand(HTREEITEM item) { TreeView_Expand(tree_, item, TVE_EXPAND); }

bool TriStateTree::IsExpanded(HTREEITEM item) const {
    return (TreeView_GetItemState(tree_, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TriStateTree::Select(HTREEITEM item) { TreeView_SelectItem(tree_, item); }

void TriStateTree::SetRedraw(bool on) {
    ::SendMessageW(tree_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) ::InvalidateRect(tree_, nullptr, TRUE);
}

LPARAM TriStateTree::DataOf(HTREEITEM item) const {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    return TreeView_GetItem(tree_, &tv) ? tv.lParam : 0;
}

bool TriStateTree::OnNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != tree_) return false;
    if (header.code == NM_CLICK) {
        TVHITTESTINFO hit{};
        ::GetCursorPos(&hit.pt);
        ::ScreenToClient(tree_, &hit.pt);
        // Only the box ticks; the expand button and the caption do what they always do.
        if (TreeView_HitTest(tree_, &hit) && (hit.flags & TVHT_ONITEMSTATEICON) && onToggle) {
            onToggle(DataOf(hit.hItem));
            result = TRUE;
            return true;
        }
    } else if (header.code == TVN_KEYDOWN) {
        const auto& key = reinterpret_cast<const NMTVKEYDOWN&>(header);
        if (key.wVKey == VK_SPACE) {
            if (const HTREEITEM selected = TreeView_GetSelection(tree_); selected && onToggle) onToggle(DataOf(selected));
            result = TRUE;  // no incremental search on the blank
            return true;
        }
    }
    return false;
}

}  // namespace tarvo::ui
