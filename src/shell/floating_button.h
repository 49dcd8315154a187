#pragma once
// The main window's large round action button: a window of its own, owned by the main
// window and hanging below its bottom edge, drawn with per-pixel transparency so only the
// round shape shows. "Uninstall" on the programs page, "Remove" on the add-on page; a click
// runs that page's action on its selection. Its decisions live in TUninstallButtonModel.

#include <windows.h>

#include <functional>

#include "shell/uninstall_button_model.h"
#include "ui/window_base.h"

namespace tarvo::shell {

class TfrmUninstallButton final : public ui::WindowBase {
public:
    static constexpr const wchar_t* kClassName = L"TfrmUninstallButton";

    // Created hidden, owned by `mainWindow`; false when the window cannot be made.
    bool Create(HWND mainWindow, int dpi);
    // Centres the button on the main window's bottom edge and keeps it there.
    void PlaceButton(HWND mainWindow);
    void Show(bool visible);
    // The caption follows the page; the window stays where it is.
    void SetPage(ButtonPage page);
    // Reads the captions again from the language file and redraws.
    void Retranslate();
    void RedrawButton();

    [[nodiscard]] const TUninstallButtonModel& Model() const noexcept { return model_; }
    [[nodiscard]] POINT Position() const noexcept { return position_; }

    // A click on the black button, with the page shown at that moment.
    std::function<void(ButtonPage)> onClick;

private:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLanguageChanged() override { Retranslate(); }
    [[nodiscard]] std::wstring CaptionText() const;
    void OnMouseMove(POINT at) override;
    void OnMouseLeave() override;
    void OnMouseDown(POINT at, bool doubleClick) override;
    void OnMouseUp(POINT at) override;
    void OnCaptureLost() override;

    TUninstallButtonModel model_;
    POINT position_{};
    std::wstring uninstallCaption_, removeCaption_;
};

}  // namespace tarvo::shell
