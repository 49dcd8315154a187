#pragma once
// The strip along the main window's bottom edge: the vendor's news (a title and its detail
// line, both links) or, without news, the invitation text. It only paints and reports
// clicks; which news it shows is decided by the news check and the window.

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
    [[nodiscard]] const online::NewsView& view() const noexcept { return view_; }

    // The title or the detail line was clicked; the link is the news item's.
    std::function<void(const std::wstring& link)> onClick;

private:
    void OnPaint(HDC dc) override;
    void OnSize(UINT type, int width, int height) override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Where the title and the detail line go at the current size and texts.
    void LayOutTexts();
    // The news (title and detail line together) is the one clickable part.
    [[nodiscard]] int PartAt(POINT point) const noexcept;
    [[nodiscard]] int S(int value) const noexcept { return ui::ScaleForDpi(value, dpi_); }

    int dpi_ = 96;
    online::NewsView view_;
    std::wstring invitation_;
    RECT titleRect_{};
    RECT detailRect_{};
    int titleTextHeight_ = 0;
    ui::HotTracker mouse_;
    bool tracking_ = false;
};

}  // namespace tarvo::shell
