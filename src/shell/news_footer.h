#pragma once
// The strip along the main window's bottom edge: the vendor's news (a title and its detail
// line, both links) or, without news, the invitation text, and the feedback link at its right
// end. It only paints and reports clicks; which news it shows is decided by the news check
// and the window. The round button hangs over its middle, so the texts stay left of it.

#include <windows.h>

#include <functional>
#include <string>

#include "online/last_news_check.h"
#include "ui/hot_tracker.h"
#include "ui/window_base.h"

namespace tarvo::shell {

class NewsFooter final : public ui::WindowBase {
public:
    static constexpr const wchar_t* kClassName = L"TarvoNewsFooter";
    static constexpr int kDesignHeight = 30;

    bool Create(HWND parent, int id, int dpi);
    void Move(const RECT& bounds);
    void SetView(const online::NewsView& view);
    void SetInvitation(const std::wstring& text);
    void SetFeedbackText(const std::wstring& text);
    // The span, in the strip's coordinates, that the round button covers.
    void KeepClear(int left, int right);
    [[nodiscard]] const online::NewsView& view() const noexcept { return view_; }

    // The title or the detail line was clicked; the link is the news item's.
    std::function<void(const std::wstring& link)> onClick;
    std::function<void()> onFeedback;

private:
    void OnPaint(HDC dc) override;
    void OnSize(UINT type, int width, int height) override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(POINT at) override;
    void OnMouseLeave() override;
    void OnMouseDown(POINT at, bool doubleClick) override;
    void OnMouseUp(POINT at) override;
    void OnCaptureLost() override;

    // Where the title and the detail line go at the current size and texts.
    void LayOutTexts();
    void UpdateWindowText();
    void DrawInvitation(HDC dc, RECT box) const;
    // The news (title and detail line together) is part 0, the feedback link part 1.
    [[nodiscard]] int PartAt(POINT point) const noexcept;
    // Where the texts may go: from the left margin to the round button, or to the feedback link.
    [[nodiscard]] int TextRight() const noexcept;
    [[nodiscard]] int S(int value) const noexcept { return ui::ScaleForDpi(value, dpi_); }

    int dpi_ = 96;
    online::NewsView view_;
    std::wstring invitation_, feedback_;
    int clearLeft_ = 0, clearRight_ = 0;
    RECT feedbackRect_{};
    RECT titleRect_{};
    RECT detailRect_{};
    int titleTextHeight_ = 0;
    ui::HotTracker mouse_;
};

}  // namespace tarvo::shell
