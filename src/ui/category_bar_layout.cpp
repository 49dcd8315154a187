#include "ui/category_bar_layout.h"

#include "ui/window_base.h"

namespace tarvo::ui {

CategoryBarMetrics CategoryMetricsFor(int dpi) noexcept {
    return {ScaleForDpi(12, dpi), ScaleForDpi(4, dpi), ScaleForDpi(3, dpi), ScaleForDpi(8, dpi)};
}

void CategoryBarModel::SetLabels(std::vector<std::wstring> labels) {
    labels_ = std::move(labels);
    rects_.clear();
    if (current_ >= static_cast<int>(labels_.size())) current_ = 0;
    if (marked_ >= static_cast<int>(labels_.size())) marked_ = current_;
}

void CategoryBarModel::LayOut(const std::vector<int>& textWidths, int height, int dpi, bool markCurrent) {
    metrics_ = CategoryMetricsFor(dpi);
    height_ = height;
    rects_.clear();
    int x = metrics_.leftMargin;
    for (size_t i = 0; i < labels_.size(); ++i) {
        const int text = i < textWidths.size() ? textWidths[i] : 0;
        const int width = text + 2 * metrics_.padding;
        rects_.push_back({x, 0, x + width, height});
        x += width + metrics_.gap;
    }
    if (markCurrent) marked_ = current_;
}

bool CategoryBarModel::Select(int index) {
    if (index < 0 || index >= static_cast<int>(labels_.size()) || index == current_) return false;
    current_ = index;
    marked_ = index;
    return true;
}

RECT CategoryBarModel::UnderlineRect() const noexcept {
    if (marked_ < 0 || marked_ >= static_cast<int>(rects_.size())) return {};
    const RECT& label = rects_[static_cast<size_t>(marked_)];
    return {label.left + metrics_.padding, height_ - metrics_.underline,
            label.right - metrics_.padding, height_};
}

int CategoryBarModel::PreferredWidth() const noexcept {
    return rects_.empty() ? 0 : static_cast<int>(rects_.back().right) + metrics_.leftMargin;
}

int CategoryBarModel::HitTest(POINT point) const noexcept {
    for (size_t i = 0; i < rects_.size(); ++i) {
        if (::PtInRect(&rects_[i], point)) return static_cast<int>(i);
    }
    return HotTracker::kNone;
}

}  // namespace tarvo::ui
