#include "ui/search_box.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/glyphs.h"
#include "ui/palette.h"
#include "ui/search_box_layout.h"

namespace tarvo::ui {

namespace {
constexpr int kEditId = 1;
constexpr int kClearId = 2;
constexpr UINT_PTR kSubclassId = 0x5E4C;
}  // namespace

void PaintSearchFrame(HDC dc, const RECT& client, const RECT& icon, bool focused, int dpi) noexcept {
    FillSolid(dc, client, palette::kWindow);
    const COLORREF border = focused ? palette::kEditBorderFocused : palette::kEditBorder;
    FillRounded(dc, client, ScaleForDpi(3, dpi), palette::kWindow, border);
    if (focused) {
        // The focused field gets a heavier bottom edge, as Windows' own fields do.
        const int line = std::max(1, dpi / 96) + 1;
        const int inset = ScaleForDpi(2, dpi);
        FillSolid(dc, {client.left + inset, client.bottom - line, client.right - inset, client.bottom}, border);
    }
    DrawGlyph(dc, icon, Glyph::Search, palette::kTextSecondary, dpi);
}

bool SearchBox::Create(HWND parent, int id, const RECT& bounds, const std::wstring& cue, int dpi) {
    dpi_ = dpi;
    cue_ = cue;
    if (!CreateChild(kClassName, parent, id, WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, bounds)) return false;
    edit_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 10, 10,
                              hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
                              ::GetModuleHandleW(nullptr), nullptr);
    if (!edit_) return false;
    ::SetWindowSubclass(edit_, &SearchBox::EditProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    ButtonFace face;
    face.style = ButtonStyle::Flat;
    face.glyph = Glyph::Clear;
    if (!clear_.Create(hwnd(), kClearId, {0, 0, 10, 10}, face, dpi_)) return false;
    ::SetWindowLongW(clear_.hwnd(), GWL_STYLE, ::GetWindowLongW(clear_.hwnd(), GWL_STYLE) & ~WS_TABSTOP);
    clear_.Show(false);
    clear_.onClick = [this] {
        Clear();
        ::SetFocus(edit_);
    };
    SetDpi(dpi);
    SetCue(cue);
    return true;
}

int SearchBox::PreferredWidth() const {
    // The magnifier and the gaps around the edit, as LayOutSearchBox places them, plus the
    // edit control's own margins either side of its text.
    const int chrome = ScaleForDpi(8 + 16 + 6 + 8 + 2 * 4, dpi_);
    const unique_window_dc screen(hwnd());
    return chrome + MeasureText(screen.get(), cue_, SharedFonts().Get(FontRole::Body, dpi_)).cx;
}

void SearchBox::SetCue(const std::wstring& cue) {
    cue_ = cue;
    if (!edit_) return;
    cueByControl_ = ::SendMessageW(edit_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(cue_.c_str())) != FALSE;
    ::InvalidateRect(edit_, nullptr, TRUE);
}

void SearchBox::Clear() {
    if (edit_) ::SetWindowTextW(edit_, L"");
}

void SearchBox::ClearSilently() {
    silent_ = true;
    Clear();
    silent_ = false;
}

std::wstring SearchBox::Text() const {
    if (!edit_) return {};
    const int length = ::GetWindowTextLengthW(edit_);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    ::GetWindowTextW(edit_, buffer.data(), length + 1);
    return buffer.data();
}

std::wstring SearchBox::TrimmedText() const { return TrimmedSearchText(Text()); }

void SearchBox::SetDpi(int dpi) {
    dpi_ = dpi;
    if (edit_) ::SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(SharedFonts().Get(FontRole::Body, dpi_)), FALSE);
    clear_.SetDpi(dpi);
    Arrange();
}

void SearchBox::Move(const RECT& b) {
    if (!hwnd()) return;
    ::MoveWindow(hwnd(), b.left, b.top, b.right - b.left, b.bottom - b.top, TRUE);
    Arrange();
}

void SearchBox::Focus() {
    if (edit_) ::SetFocus(edit_);
}

void SearchBox::Arrange() {
    if (!hwnd() || !edit_) return;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    TEXTMETRICW metrics{};
    {
        const unique_window_dc dc(edit_);
        const SelectedObject font(dc.get(), SharedFonts().Get(FontRole::Body, dpi_));
        ::GetTextMetricsW(dc.get(), &metrics);
    }
    const SearchBoxLayout layout = LayOutSearchBox(client, dpi_, metrics.tmHeight + 2, clearVisible_);
    ::MoveWindow(edit_, layout.edit.left, layout.edit.top, layout.edit.right - layout.edit.left,
                 layout.edit.bottom - layout.edit.top, TRUE);
    if (clearVisible_) clear_.Move(layout.clear);
    clear_.Show(clearVisible_);
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void SearchBox::TextChanged() {
    const std::wstring text = Text();
    const bool wanted = ClearButtonWanted(text);
    if (wanted != clearVisible_) {
        clearVisible_ = wanted;
        Arrange();
    }
    if (!silent_ && onChange) onChange(TrimmedSearchText(text));
}

LRESULT CALLBACK SearchBox::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<SearchBox*>(data);
    try {
        if (message == WM_KEYDOWN && wParam == VK_ESCAPE && ::GetWindowTextLengthW(window) > 0) {
            self->Clear();
            return 0;
        }
        if (message == WM_CHAR && wParam == 0x1B) return 0;  // no beep for the Escape above
        if (message == WM_PAINT && !self->cueByControl_ && !self->cue_.empty() &&
            ::GetWindowTextLengthW(window) == 0 && ::GetFocus() != window) {
            // Older edit controls know no cue text: draw it the way newer ones do.
            const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
            const unique_window_dc dc(window);
            RECT client{};
            ::GetClientRect(window, &client);
            client.left += 2;
            DrawTextLine(dc.get(), self->cue_, client, SharedFonts().Get(FontRole::Body, self->dpi_),
                         palette::kTextSecondary);
            return result;
        }
        if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, &SearchBox::EditProc, kSubclassId);
    } catch (...) {
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void SearchBox::OnPaint(HDC dc) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const PaintBuffer buffer(dc, client);
    PaintSearchFrame(buffer.dc(), client, LayOutSearchBox(client, dpi_, 0, false).icon, focused_, dpi_);
}

void SearchBox::OnSize(UINT /*type*/, int /*width*/, int /*height*/) { Arrange(); }

void SearchBox::OnCommand(int id, int code) {
    if (id != kEditId) return;
    switch (code) {
        case EN_CHANGE: TextChanged(); break;
        case EN_SETFOCUS: focused_ = true; ::InvalidateRect(hwnd(), nullptr, FALSE); break;
        case EN_KILLFOCUS: focused_ = false; ::InvalidateRect(hwnd(), nullptr, FALSE); break;
        default: break;
    }
}

std::optional<LRESULT> SearchBox::OnMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_SETFOCUS:
            Focus();
            return 0;
        case WM_CTLCOLOREDIT: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, palette::kText);
            ::SetBkColor(dc, palette::kWindow);
            return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
        }
        default:
            return std::nullopt;
    }
}

}  // namespace tarvo::ui
