#pragma once
// Decisions of the category bar, without a window: where each label goes, which one the
// mouse is over, and where the underline of the current category sits.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/hot_tracker.h"

namespace tarvo::ui {

struct CategoryBarMetrics {
    int padding;       // left and right of each label's text
    int gap;           // between two labels
    int underline;     // thickness of the underline
    int leftMargin;    // before the first label
};
[[nodiscard]] CategoryBarMetrics CategoryMetricsFor(int dpi) noexcept;

class CategoryBarModel {
public:
    void SetLabels(std::vector<std::wstring> labels);
    [[nodiscard]] const std::vector<std::wstring>& labels() const noexcept { return labels_; }

    // Sizes each label to its text (widths measured by the caller in the bar's font) within
    // a bar of `height`. With markCurrent the underline moves to the current category;
    // without, it stays on the label it marked before (which keeps its new size).
    void LayOut(const std::vector<int>& textWidths, int height, int dpi, bool markCurrent);

    // Makes `index` current and marks it. False when it already was current or is out of
    // range: choosing the current category again does nothing.
    bool Select(int index);

    [[nodiscard]] int current() const noexcept { return current_; }
    [[nodiscard]] int marked() const noexcept { return marked_; }
    [[nodiscard]] const std::vector<RECT>& labelRects() const noexcept { return rects_; }
    // Under the marked label's text, flush with the bar's bottom; empty when nothing is marked.
    [[nodiscard]] RECT UnderlineRect() const noexcept;
    // Total width the labels need.
    [[nodiscard]] int PreferredWidth() const noexcept;
    // Index of the label under a point, or HotTracker::kNone.
    [[nodiscard]] int HitTest(POINT point) const noexcept;

    HotTracker& tracker() noexcept { return tracker_; }
    [[nodiscard]] const HotTracker& tracker() const noexcept { return tracker_; }

private:
    std::vector<std::wstring> labels_;
    std::vector<RECT> rects_;
    CategoryBarMetrics metrics_{};
    int height_ = 0;
    int current_ = 0;
    int marked_ = 0;
    HotTracker tracker_;
};

}  // namespace tarvo::ui
