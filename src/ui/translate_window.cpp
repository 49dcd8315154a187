#include "ui/translate_window.h"

#include <commctrl.h>

#include <optional>

namespace tarvo::ui {

using language::TextList;
using language::TranslationKind;

namespace {

// Column, node and tab texts longer than this are not captions.
constexpr int kItemTextCapacity = 1024;
// A control that answers every index is broken, not large.
constexpr int kMaxColumns = 512;

LRESULT Send(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageW(control, message, wParam, lParam);
}

std::optional<std::wstring> WindowText(HWND control) {
    if (!::IsWindow(control)) return std::nullopt;
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
    return text;
}

// Combo and list boxes share their shape; only the message numbers differ.
struct ListMessages {
    UINT count, textLength, text, deleteString, insertString, getData, setData, error;
};
constexpr ListMessages kComboMessages{CB_GETCOUNT,     CB_GETLBTEXTLEN, CB_GETLBTEXT,    CB_DELETESTRING,
                                      CB_INSERTSTRING, CB_GETITEMDATA,  CB_SETITEMDATA, static_cast<UINT>(CB_ERR)};
constexpr ListMessages kListBoxMessages{LB_GETCOUNT,     LB_GETTEXTLEN,  LB_GETTEXT,     LB_DELETESTRING,
                                        LB_INSERTSTRING, LB_GETITEMDATA, LB_SETITEMDATA, static_cast<UINT>(LB_ERR)};

std::optional<TextList> ReadListItems(HWND control, const ListMessages& m) {
    if (!::IsWindow(control)) return std::nullopt;
    const LRESULT count = Send(control, m.count);
    if (count < 0) return std::nullopt;
    TextList texts;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Send(control, m.textLength, static_cast<WPARAM>(i));
        if (length < 0) return std::nullopt;
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied = Send(control, m.text, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        if (copied < 0) return std::nullopt;
        text.resize(static_cast<std::size_t>(copied));
        texts.push_back(std::move(text));
    }
    return texts;
}

// Replaces the texts that changed, each in its place with its item data.
bool ReplaceListItems(HWND control, const ListMessages& m, const TextList& texts) {
    const auto current = ReadListItems(control, m);
    if (!current || current->size() != texts.size()) return false;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if ((*current)[i] == texts[i]) continue;
        const auto index = static_cast<WPARAM>(i);
        const LRESULT data = Send(control, m.getData, index);
        if (Send(control, m.deleteString, index) < 0) return false;
        const LRESULT inserted = Send(control, m.insertString, index, reinterpret_cast<LPARAM>(texts[i].c_str()));
        if (inserted < 0) return false;
        Send(control, m.setData, static_cast<WPARAM>(inserted), data);
    }
    return true;
}

std::optional<TextList> ReadColumns(HWND listView) {
    if (!::IsWindow(listView)) return std::nullopt;
    TextList texts;
    for (int i = 0; i < kMaxColumns; ++i) {
        wchar_t buffer[kItemTextCapacity] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = buffer;
        column.cchTextMax = kItemTextCapacity;
        if (!Send(listView, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column))) break;
        texts.emplace_back(column.pszText ? column.pszText : L"");
    }
    return texts;
}

bool WriteColumns(HWND listView, const TextList& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = const_cast<wchar_t*>(texts[i].c_str());
        if (!Send(listView, LVM_SETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column))) return false;
    }
    return true;
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        Send(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// Each node, then its children, then its next sibling: the order in which a tree's items
// are numbered.
std::vector<HTREEITEM> TreeNodesInOrder(HWND tree) {
    std::vector<HTREEITEM> nodes;
    HTREEITEM item = TreeNext(tree, nullptr, TVGN_ROOT);
    while (item) {
        nodes.push_back(item);
        if (HTREEITEM child = TreeNext(tree, item, TVGN_CHILD)) {
            item = child;
            continue;
        }
        while (item) {
            if (HTREEITEM next = TreeNext(tree, item, TVGN_NEXT)) {
                item = next;
                break;
            }
            item = TreeNext(tree, item, TVGN_PARENT);
        }
    }
    return nodes;
}

std::optional<TextList> ReadTree(HWND tree) {
    if (!::IsWindow(tree)) return std::nullopt;
    TextList texts;
    for (HTREEITEM node : TreeNodesInOrder(tree)) {
        wchar_t buffer[kItemTextCapacity] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = node;
        item.pszText = buffer;
        item.cchTextMax = kItemTextCapacity;
        if (!Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return std::nullopt;
        texts.emplace_back(item.pszText ? item.pszText : L"");
    }
    return texts;
}

bool WriteTree(HWND tree, const TextList& texts) {
    const auto nodes = TreeNodesInOrder(tree);
    if (nodes.size() != texts.size()) return false;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = nodes[i];
        item.pszText = const_cast<wchar_t*>(texts[i].c_str());
        if (!Send(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return false;
    }
    return true;
}

std::optional<std::wstring> MenuText(HMENU menu, UINT item, bool byPosition) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    if (!::GetMenuItemInfoW(menu, item, byPosition, &info)) return std::nullopt;
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!::GetMenuItemInfoW(menu, item, byPosition, &info)) return std::nullopt;
    text.resize(info.cch);
    return text;
}

}  // namespace

TranslationTarget CaptionTarget(std::wstring name, HWND control) {
    return {std::move(name), TranslationKind::Caption,
            [control]() -> std::optional<TextList> {
                auto text = WindowText(control);
                if (!text) return std::nullopt;
                return TextList{std::move(*text)};
            },
            [control](const TextList& texts) { return ::SetWindowTextW(control, texts.at(0).c_str()) != FALSE; }};
}

TranslationTarget ColumnsTarget(std::wstring name, HWND listView) {
    return {std::move(name), TranslationKind::Columns, [listView] { return ReadColumns(listView); },
            [listView](const TextList& texts) { return WriteColumns(listView, texts); }};
}

TranslationTarget TreeItemsTarget(std::wstring name, HWND treeView) {
    return {std::move(name), TranslationKind::Items, [treeView] { return ReadTree(treeView); },
            [treeView](const TextList& texts) { return WriteTree(treeView, texts); }};
}

TranslationTarget ComboItemsTarget(std::wstring name, HWND comboBox) {
    return {std::move(name), TranslationKind::Items, [comboBox] { return ReadListItems(comboBox, kComboMessages); },
            [comboBox](const TextList& texts) {
                const LRESULT selected = Send(comboBox, CB_GETCURSEL);
                const bool done = ReplaceListItems(comboBox, kComboMessages, texts);
                Send(comboBox, CB_SETCURSEL, static_cast<WPARAM>(selected));
                ::InvalidateRect(comboBox, nullptr, TRUE);
                return done;
            }};
}

TranslationTarget ListBoxItemsTarget(std::wstring name, HWND listBox) {
    return {std::move(name), TranslationKind::Items, [listBox] { return ReadListItems(listBox, kListBoxMessages); },
            [listBox](const TextList& texts) {
                const LONG_PTR style = ::GetWindowLongPtrW(listBox, GWL_STYLE);
                const bool multiple = (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
                const LRESULT top = Send(listBox, LB_GETTOPINDEX);
                const LRESULT selected = multiple ? LB_ERR : Send(listBox, LB_GETCURSEL);
                std::vector<bool> marks;
                if (multiple)
                    for (std::size_t i = 0; i < texts.size(); ++i)
                        marks.push_back(Send(listBox, LB_GETSEL, static_cast<WPARAM>(i)) > 0);
                const bool done = ReplaceListItems(listBox, kListBoxMessages, texts);
                if (multiple) {
                    for (std::size_t i = 0; i < marks.size(); ++i)
                        Send(listBox, LB_SETSEL, marks[i] ? TRUE : FALSE, static_cast<LPARAM>(i));
                } else {
                    Send(listBox, LB_SETCURSEL, static_cast<WPARAM>(selected));
                }
                Send(listBox, LB_SETTOPINDEX, static_cast<WPARAM>(top < 0 ? 0 : top));
                ::InvalidateRect(listBox, nullptr, TRUE);
                return done;
            }};
}

TranslationTarget TabTarget(std::wstring name, HWND tabControl, int index) {
    return {std::move(name), TranslationKind::Caption,
            [tabControl, index]() -> std::optional<TextList> {
                if (!::IsWindow(tabControl)) return std::nullopt;
                wchar_t buffer[kItemTextCapacity] = {};
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = buffer;
                item.cchTextMax = kItemTextCapacity;
                if (!Send(tabControl, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
                    return std::nullopt;
                return TextList{item.pszText ? item.pszText : L""};
            },
            [tabControl, index](const TextList& texts) {
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = const_cast<wchar_t*>(texts.at(0).c_str());
                return Send(tabControl, TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
            }};
}

TranslationTarget MenuItemTarget(std::wstring name, HMENU menu, UINT item, bool byPosition) {
    return {std::move(name), TranslationKind::Caption,
            [menu, item, byPosition]() -> std::optional<TextList> {
                auto text = MenuText(menu, item, byPosition);
                if (!text) return std::nullopt;
                return TextList{std::move(*text)};
            },
            [menu, item, byPosition](const TextList& texts) {
                MENUITEMINFOW info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_STRING;
                info.dwTypeData = const_cast<wchar_t*>(texts.at(0).c_str());
                return ::SetMenuItemInfoW(menu, item, byPosition, &info) != FALSE;
            }};
}

TranslationTarget TextTarget(std::wstring name, language::TranslationKind kind, std::function<TextList()> read,
                             std::function<void(const TextList&)> write) {
    return {std::move(name), kind, [read = std::move(read)]() -> std::optional<TextList> { return read(); },
            [write = std::move(write)](const TextList& texts) {
                write(texts);
                return true;
            }};
}

}  // namespace tarvo::ui
