#include "ui/list_model.h"

#include <algorithm>

#include "ui/window_base.h"

namespace tarvo::ui {

void ListRowData::Clear(size_t columns) {
    caption.clear();
    detail.clear();
    icon = -1;
    checked = false;
    buttonText.clear();
    noButton = false;
    if (cells.size() != columns) cells.resize(columns);
    for (auto& cell : cells) cell.clear();
}

void SortIndicator::Set(int column, SortOrder order) noexcept {
    column_ = order == SortOrder::None ? -1 : column;
    order_ = column_ < 0 ? SortOrder::None : order;
}

bool SortIndicator::Click(int column, bool sortable) noexcept {
    if (!sortable || column < 0) return false;
    if (column == column_) {
        order_ = order_ == SortOrder::Ascending ? SortOrder::Descending : SortOrder::Ascending;
    } else {
        column_ = column;
        order_ = SortOrder::Ascending;
    }
    return true;
}

std::wstring HeaderTextWithCount(std::wstring_view pattern, int count) {
    const size_t at = pattern.find(L"%d");
    if (at == std::wstring_view::npos) return std::wstring(pattern);
    std::wstring text(pattern.substr(0, at));
    text += std::to_wstring(count);
    text += pattern.substr(at + 2);
    return text;
}

ListMetrics ListMetricsFor(int dpi, int iconSize, int lineHeight, int detailLineHeight, bool twoLines) noexcept {
    ListMetrics m{};
    m.padding = ScaleForDpi(10, dpi);
    m.iconSize = iconSize;
    m.iconGap = ScaleForDpi(10, dpi);
    m.checkSize = ScaleForDpi(14, dpi);
    m.lineGap = ScaleForDpi(2, dpi);
    m.buttonWidth = ScaleForDpi(84, dpi);
    m.buttonHeight = ScaleForDpi(26, dpi);
    const int text = twoLines ? lineHeight + m.lineGap + detailLineHeight : lineHeight;
    const int vertical = ScaleForDpi(twoLines ? 10 : 8, dpi);
    m.rowHeight = std::max({iconSize, text, m.buttonHeight}) + 2 * vertical;
    m.headerHeight = ScaleForDpi(30, dpi);
    m.lineHeight = lineHeight;
    m.detailLineHeight = detailLineHeight;
    return m;
}

CaptionLayout LayOutCaption(const RECT& cell, const ListMetrics& m, bool withCheck, bool twoLines) noexcept {
    const int lineHeight = m.lineHeight;
    const int detailLineHeight = m.detailLineHeight;
    CaptionLayout layout{};
    const int height = cell.bottom - cell.top;
    int x = cell.left + m.padding;
    if (withCheck) {
        const int top = cell.top + (height - m.checkSize) / 2;
        layout.check = {x, top, x + m.checkSize, top + m.checkSize};
        x += m.checkSize + m.iconGap;
    }
    const int iconTop = cell.top + (height - m.iconSize) / 2;
    layout.icon = {x, iconTop, x + m.iconSize, iconTop + m.iconSize};
    x += m.iconSize + m.iconGap;
    const int right = std::max(x, static_cast<int>(cell.right) - m.padding);
    if (twoLines) {
        const int block = lineHeight + m.lineGap + detailLineHeight;
        const int top = cell.top + (height - block) / 2;
        layout.first = {x, top, right, top + lineHeight};
        layout.second = {x, top + lineHeight + m.lineGap, right, top + block};
    } else {
        const int top = cell.top + (height - lineHeight) / 2;
        layout.first = {x, top, right, top + lineHeight};
    }
    return layout;
}

RECT RowButtonRect(const RECT& cell, const ListMetrics& m) noexcept {
    const int cellWidth = cell.right - cell.left;
    const int width = std::min(m.buttonWidth, std::max(0, cellWidth - 2 * (m.padding / 2)));
    const int height = std::min(m.buttonHeight, static_cast<int>(cell.bottom - cell.top));
    const int left = cell.left + (cellWidth - width) / 2;
    const int top = cell.top + (cell.bottom - cell.top - height) / 2;
    return {left, top, left + width, top + height};
}

RowPart HitRowPart(POINT point, const RECT& caption, const RECT& button, const ListMetrics& m, bool withCheck,
                   bool twoLines) noexcept {
    if (withCheck && caption.right > caption.left) {
        RECT check = LayOutCaption(caption, m, true, twoLines).check;
        // A little slack around the box: it is a small target.
        const int slack = m.checkSize / 3;
        ::InflateRect(&check, slack, slack);
        if (::PtInRect(&check, point)) return RowPart::CheckBox;
    }
    if (button.right > button.left) {
        const RECT face = RowButtonRect(button, m);
        if (::PtInRect(&face, point)) return RowPart::Button;
    }
    const bool inCaption = ::PtInRect(&caption, point) != FALSE;
    const bool inButton = ::PtInRect(&button, point) != FALSE;
    if (inCaption || inButton) return RowPart::Row;
    return point.y >= caption.top && point.y < caption.bottom ? RowPart::Row : RowPart::None;
}

ListKeyAction KeyActionFor(UINT key, bool checksShown, bool ctrl, bool alt) noexcept {
    if (alt) return ListKeyAction::None;
    switch (key) {
        case VK_RETURN: return ctrl ? ListKeyAction::None : ListKeyAction::Activate;
        case VK_SPACE: return checksShown && !ctrl ? ListKeyAction::ToggleCheck : ListKeyAction::None;
        case VK_DELETE: return ctrl ? ListKeyAction::None : ListKeyAction::Delete;
        default: return ListKeyAction::None;
    }
}

bool CheckStateAfterToggle(const std::vector<bool>& current) noexcept {
    return std::any_of(current.begin(), current.end(), [](bool checked) { return !checked; });
}

std::vector<int> FitCaptionColumn(std::vector<int> widths, int captionColumn, int available) {
    if (captionColumn < 0 || captionColumn >= static_cast<int>(widths.size())) return widths;
    int others = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        if (static_cast<int>(i) != captionColumn) others += widths[i];
    }
    int& caption = widths[static_cast<size_t>(captionColumn)];
    caption = std::max(caption, available - others);
    return widths;
}

int TopRowAfterRefill(int oldTop, int newCount, int rowsPerPage) noexcept {
    if (newCount <= 0) return 0;
    const int lastTop = std::max(0, newCount - std::max(1, rowsPerPage));
    return std::clamp(oldTop, 0, lastTop);
}

}  // namespace tarvo::ui
