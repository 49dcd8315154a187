#pragma once
// Decisions of the search box without a window: when the clear button shows, what text the
// owner is told, and where the magnifier, the edit field and the clear button go.

#include <windows.h>

#include <string>
#include <string_view>

namespace tarvo::ui {

// The text without leading and trailing white space (blanks, tabs, line breaks), which is
// what a search is run with.
[[nodiscard]] std::wstring TrimmedSearchText(std::wstring_view text);
// The clear button is offered only when there is something to clear besides blanks.
[[nodiscard]] bool ClearButtonWanted(std::wstring_view text);

struct SearchBoxLayout {
    RECT icon;   // the magnifier
    RECT edit;   // the edit field, one text line high, centred vertically
    RECT clear;  // the clear button; empty when hidden
};
[[nodiscard]] SearchBoxLayout LayOutSearchBox(const RECT& client, int dpi, int textHeight, bool clearVisible) noexcept;

}  // namespace tarvo::ui
