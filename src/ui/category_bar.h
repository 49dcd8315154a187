#pragma once
// The row of category labels above the programs list: the current one is underlined, the one
// under the mouse is highlighted, and a click chooses a category.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/category_bar_layout.h"
#include "ui/window_base.h"

namespace tarvo::ui {

struct CategoryBarLook {
    COLORREF background;
    COLORREF baseline;  // the thin line under the whole bar
};

void PaintCategoryBar(HDC dc, const RECT& client, const CategoryBarModel& model, int dpi,
                      HFONT normal, HFONT current, const CategoryBarLook& look) noexcept;

class CategoryBar final : public WindowBase {
public:
    static constexpr const wchar_t* kClassName = L"TarvoCategoryBar";

    bool Create(HWND parent, int id, const RECT& bounds, std::vector<std::wstring> labels, int dpi);
    // New texts (a language change); call LayOut afterwards.
    void SetLabels(std::vector<std::wstring> labels);
    // Sizes the labels to their texts; with markCurrent the underline goes to the current one.
    void LayOut(bool markCurrent);
    // Chooses a category as if clicked, without calling onSelect; false when already current.
    bool Select(int index);
    void SetDpi(int dpi);
    void Move(const RECT& bounds);

    [[nodiscard]] int current() const noexcept { return model_.current(); }
    [[nodiscard]] const CategoryBarModel& model() const noexcept { return model_; }

    // A click chose another category.
    std::function<void(int index)> onSelect;

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(POINT at) override;
    void OnMouseLeave() override;
    void OnMouseDown(POINT at, bool doubleClick) override;
    void OnMouseUp(POINT at) override;
    void OnCaptureLost() override;
    void OnPaint(HDC dc) override;
    void OnSize(UINT type, int width, int height) override;

private:
    void Redraw();

    CategoryBarModel model_;
    CategoryBarLook look_{};
    int dpi_ = 96;
};

}  // namespace tarvo::ui
