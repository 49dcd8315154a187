#include "ui/list_paint.h"

#include <algorithm>

#include "ui/button_paint.h"
#include "ui/gdi.h"
#include "ui/palette.h"
#include "ui/window_base.h"

namespace tarvo::ui {

namespace {

int Line(int dpi) { return std::max(1, dpi / 96); }

COLORREF RowBackground(const RowState& state) {
    if (state.selected) return state.listFocused ? palette::kRowSelected : palette::kRowSelectedInactive;
    if (state.hot) return palette::kRowHot;
    return palette::kWindow;
}

void DrawIcon(HDC dc, HIMAGELIST icons, int index, const RECT& box) {
    if (!icons || index < 0) return;
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(icons, &cx, &cy);
    const int x = box.left + (box.right - box.left - cx) / 2;
    const int y = box.top + (box.bottom - box.top - cy) / 2;
    ::ImageList_Draw(icons, index, dc, x, y, ILD_TRANSPARENT);
}

}  // namespace

void PaintCheckBox(HDC dc, const RECT& box, bool checked, bool hot, int dpi) noexcept {
    const int line = Line(dpi);
    if (checked) {
        FillRounded(dc, box, ScaleForDpi(2, dpi), hot ? palette::kAccentHot : palette::kAccent,
                    hot ? palette::kAccentHot : palette::kAccent);
        // The tick: a short and a long stroke of stacked squares.
        const int size = box.right - box.left;
        const int stroke = std::max(2, line + 1);
        const int x0 = box.left + size / 5;
        const int y0 = box.top + size / 2;
        const int shortLeg = size / 5 + 1;
        for (int i = 0; i < shortLeg; ++i) FillSolid(dc, {x0 + i, y0 + i - 1, x0 + i + stroke, y0 + i - 1 + stroke}, palette::kAccentText);
        const int x1 = x0 + shortLeg - 1;
        const int y1 = y0 + shortLeg - 1;
        const int longLeg = size / 2;
        for (int i = 0; i < longLeg; ++i) FillSolid(dc, {x1 + i, y1 - i - 1, x1 + i + stroke, y1 - i - 1 + stroke}, palette::kAccentText);
    } else {
        FillRounded(dc, box, ScaleForDpi(2, dpi), palette::kWindow, hot ? palette::kAccent : palette::kCheckBorder);
    }
}

void PaintDetailsRow(HDC dc, const RECT& row, const std::vector<RECT>& cells, const std::vector<ListColumn>& columns,
                     const ListRowData& data, const RowState& state, const ListMetrics& m, const ListFonts& fonts,
                     HIMAGELIST icons, int dpi) noexcept {
    const COLORREF background = RowBackground(state);
    FillSolid(dc, row, background);
    const int line = Line(dpi);
    FillSolid(dc, {row.left, row.bottom - line, row.right, row.bottom}, palette::kRowSeparator);
    if (state.selected) FillSolid(dc, {row.left, row.top, row.left + ScaleForDpi(3, dpi), row.bottom - line}, palette::kAccent);

    for (size_t i = 0; i < columns.size() && i < cells.size(); ++i) {
        const ListColumn& column = columns[i];
        RECT cell = cells[i];
        cell.bottom -= line;
        switch (column.kind) {
            case ColumnKind::Caption: {
                // A row without a second line centres its name rather than leave a gap below it.
                const bool twoLines = state.twoLines && !data.detail.empty();
                const CaptionLayout layout = LayOutCaption(cell, m, state.checksShown, twoLines);
                if (state.checksShown) PaintCheckBox(dc, layout.check, data.checked, false, dpi);
                DrawIcon(dc, icons, data.icon, layout.icon);
                DrawTextLine(dc, data.caption, layout.first, state.twoLines ? fonts.emphasis : fonts.body, palette::kText);
                if (twoLines) {
                    DrawTextLine(dc, data.detail, layout.second, fonts.small, palette::kTextSecondary);
                }
                break;
            }
            case ColumnKind::Button: {
                if (data.noButton) break;
                ButtonFace face;
                face.style = state.button.hot || state.button.pressed ? ButtonStyle::Primary : ButtonStyle::Secondary;
                face.text = data.buttonText.empty() ? column.buttonText : data.buttonText;
                PaintButton(dc, RowButtonRect(cell, m), face, state.button, dpi, fonts.body, background);
                break;
            }
            case ColumnKind::Text: {
                RECT text{cell.left + m.padding, cell.top, cell.right - m.padding, cell.bottom};
                const std::wstring& value = i < data.cells.size() ? data.cells[i] : data.caption;
                DrawTextLine(dc, value, text, fonts.body, palette::kText, column.alignRight ? DT_RIGHT : DT_LEFT);
                break;
            }
        }
    }
}

void PaintIconItem(HDC dc, const RECT& item, const ListRowData& data, const RowState& state, const ListFonts& fonts,
                   HIMAGELIST icons, int dpi) noexcept {
    FillSolid(dc, item, palette::kWindow);
    RECT face = item;
    const int inset = ScaleForDpi(2, dpi);
    ::InflateRect(&face, -inset, -inset);
    if (state.selected || state.hot) {
        const COLORREF fill = RowBackground(state);
        FillRounded(dc, face, ScaleForDpi(4, dpi), fill, state.selected ? palette::kAccent : fill);
    }
    int cx = 0, cy = 0;
    if (icons) ::ImageList_GetIconSize(icons, &cx, &cy);
    const int top = face.top + ScaleForDpi(6, dpi);
    DrawIcon(dc, icons, data.icon, {face.left, top, face.right, top + cy});
    if (state.checksShown) {
        const int box = ScaleForDpi(14, dpi);
        PaintCheckBox(dc, {face.left + inset * 2, face.top + inset * 2, face.left + inset * 2 + box, face.top + inset * 2 + box},
                      data.checked, false, dpi);
    }
    RECT text{face.left + inset * 2, top + cy + ScaleForDpi(4, dpi), face.right - inset * 2, face.bottom - inset};
    const SelectedObject font(dc, fonts.body);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, palette::kText);
    ::DrawTextW(dc, data.caption.c_str(), static_cast<int>(data.caption.size()), &text,
                DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS | DT_EDITCONTROL);
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
}

void PaintHeader(HDC dc, const RECT& client, const std::vector<HeaderCell>& cells, HFONT font, int dpi) noexcept {
    FillSolid(dc, client, palette::kHeader);
    const int line = Line(dpi);
    const int padding = ScaleForDpi(10, dpi);
    const int arrow = ScaleForDpi(9, dpi) | 1;
    for (const HeaderCell& cell : cells) {
        RECT r = cell.rect;
        if (cell.hot || cell.pressed) FillSolid(dc, {r.left, r.top, r.right, r.bottom - line}, cell.pressed ? palette::kButtonPressed : palette::kHeaderHot);
        // Dividers stop short of the edges, the way flat headers draw them.
        const int inset = (r.bottom - r.top) / 4;
        FillSolid(dc, {r.right - line, r.top + inset, r.right, r.bottom - inset}, palette::kHeaderDivider);
        RECT text{r.left + padding, r.top, r.right - padding, r.bottom};
        if (cell.order != SortOrder::None) {
            const RECT box = cell.alignRight ? RECT{text.left, r.top, text.left + arrow, r.bottom}
                                             : RECT{text.right - arrow, r.top, text.right, r.bottom};
            FillTriangle(dc, box, cell.order == SortOrder::Ascending, palette::kHeaderText);
            if (cell.alignRight) text.left += arrow + padding / 2;
            else text.right -= arrow + padding / 2;
        }
        DrawTextLine(dc, cell.text, text, font, palette::kHeaderText, cell.alignRight ? DT_RIGHT : DT_LEFT);
    }
    FillSolid(dc, {client.left, client.bottom - line, client.right, client.bottom}, palette::kBorder);
}

}  // namespace tarvo::ui
