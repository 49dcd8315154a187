#pragma once
// The translatable parts of our windows, each bound to its real control. A window builds
// its list once its controls exist, e.g.
//
//     texts_.Add(ui::CaptionTarget(L"RdImageButton_Delete", deleteButton));
//     texts_.Add(ui::ColumnsTarget(L"ListView_Log", logList));
//     texts_.Translate();
//
// where texts_ is the window's member
//
//     language::TTranslatableWindow texts_{language::AppLanguage(), L"frmLog"};
//
// named by the window's design name; while it lives, a language switch re-captions it.
// Controls drawn by ourselves, and tooltips, take the callback form.

#include <windows.h>

#include <functional>
#include <string>

#include "language/translation.h"

namespace tarvo::ui {

using language::TranslationTarget;

// The window text: labels, buttons, group boxes, check boxes, radio buttons, our own
// image buttons and fold panels when they keep their caption as window text.
[[nodiscard]] TranslationTarget CaptionTarget(std::wstring name, HWND control);
// The column captions of a report-style list view, left to right.
[[nodiscard]] TranslationTarget ColumnsTarget(std::wstring name, HWND listView);
// The node texts of a tree view in absolute order: each node, then its children.
[[nodiscard]] TranslationTarget TreeItemsTarget(std::wstring name, HWND treeView);
// Combo box items; the selection and each item's data stay as they were.
[[nodiscard]] TranslationTarget ComboItemsTarget(std::wstring name, HWND comboBox);
// List box items (a check list box too); selection, item data and the top row stay.
[[nodiscard]] TranslationTarget ListBoxItemsTarget(std::wstring name, HWND listBox);
// The caption of one page of a tab control.
[[nodiscard]] TranslationTarget TabTarget(std::wstring name, HWND tabControl, int index);
// A menu item, by command id or, for a submenu's own item, by position.
[[nodiscard]] TranslationTarget MenuItemTarget(std::wstring name, HMENU menu, UINT item, bool byPosition = false);

// Any text we keep ourselves: a tooltip (Hint), a caption we draw (Caption), the items of a
// multi-label (Items). `write` may not fail.
[[nodiscard]] TranslationTarget TextTarget(std::wstring name, language::TranslationKind kind,
                                           std::function<language::TextList()> read,
                                           std::function<void(const language::TextList&)> write);
[[nodiscard]] inline TranslationTarget HintTarget(std::wstring name, std::function<std::wstring()> read,
                                                  std::function<void(const std::wstring&)> write) {
    return TextTarget(
        std::move(name), language::TranslationKind::Hint,
        [read = std::move(read)] { return language::TextList{read()}; },
        [write = std::move(write)](const language::TextList& texts) { write(texts.at(0)); });
}

}  // namespace tarvo::ui
