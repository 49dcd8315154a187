#pragma once
// The search field: an edit control with a grey cue text, a magnifier, and a small clear
// button that shows only while there is something to clear. Every change of the text goes to
// the owner, trimmed; Escape clears it.

#include <windows.h>

#include <functional>
#include <string>

#include "ui/image_button.h"
#include "ui/window_base.h"

namespace tarvo::ui {

void PaintSearchFrame(HDC dc, const RECT& client, const RECT& icon, bool focused, int dpi) noexcept;

class SearchBox final : public WindowBase {
public:
    static constexpr const wchar_t* kClassName = L"TarvoSearchBox";

    bool Create(HWND parent, int id, const RECT& bounds, const std::wstring& cue, int dpi);
    void SetCue(const std::wstring& cue);
    // Empties the field and hides the clear button; onChange is told like for a typed change.
    void Clear();
    // Empties the field without telling the owner (a page switch that lists everything anyway).
    void ClearSilently();
    [[nodiscard]] std::wstring Text() const;
    [[nodiscard]] std::wstring TrimmedText() const;
    [[nodiscard]] bool ClearButtonVisible() const noexcept { return clearVisible_; }
    [[nodiscard]] HWND edit() const noexcept { return edit_; }
    // Wide enough to show the whole cue beside the magnifier, with room for the edit's margins.
    [[nodiscard]] int PreferredWidth() const;
    void SetDpi(int dpi);
    void Move(const RECT& bounds);
    void Focus();

    // The text changed; receives the trimmed text.
    std::function<void(const std::wstring& trimmed)> onChange;

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint(HDC dc) override;
    void OnSize(UINT type, int width, int height) override;
    void OnCommand(int id, int code) override;

private:
    static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    void Arrange();
    void TextChanged();

    HWND edit_ = nullptr;  // a child: destroyed with this window
    ImageButton clear_;
    std::wstring cue_;
    bool cueByControl_ = false;  // the edit control draws the cue itself
    bool clearVisible_ = false;
    bool focused_ = false;
    bool silent_ = false;
    int dpi_ = 96;
};

}  // namespace tarvo::ui
