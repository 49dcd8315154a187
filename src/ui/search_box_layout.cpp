#include "ui/search_box_layout.h"

#include "ui/window_base.h"

namespace tarvo::ui {

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0x3000 || c == 0xA0; }
}  // namespace

std::wstring TrimmedSearchText(std::wstring_view text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return std::wstring(text.substr(first, last - first));
}

bool ClearButtonWanted(std::wstring_view text) {
    for (const wchar_t c : text) {
        if (!IsBlank(c)) return true;
    }
    return false;
}

SearchBoxLayout LayOutSearchBox(const RECT& client, int dpi, int textHeight, bool clearVisible) noexcept {
    SearchBoxLayout layout{};
    const int height = client.bottom - client.top;
    const int padding = ScaleForDpi(8, dpi);
    const int iconSide = ScaleForDpi(16, dpi);
    const int button = height - 2 * ScaleForDpi(3, dpi);
    layout.icon = {client.left + padding, client.top + (height - iconSide) / 2,
                   client.left + padding + iconSide, client.top + (height - iconSide) / 2 + iconSide};
    const int editLeft = layout.icon.right + ScaleForDpi(6, dpi);
    int editRight = client.right - padding;
    if (clearVisible) {
        const int top = client.top + (height - button) / 2;
        layout.clear = {client.right - ScaleForDpi(3, dpi) - button, top, client.right - ScaleForDpi(3, dpi), top + button};
        editRight = layout.clear.left - ScaleForDpi(2, dpi);
    }
    const int editTop = client.top + (height - textHeight) / 2;
    layout.edit = {editLeft, editTop, editRight > editLeft ? editRight : editLeft, editTop + textHeight};
    return layout;
}

}  // namespace tarvo::ui
