#pragma once
// The small confirmation window that puts a browser's home page and search engine back:
// it shows what the browser has now and, on OK, restores both. Every decision is
// browserdefaults::TRestBrowserDefault's; this window forwards its clicks and shows texts.

#include <windows.h>

#include <functional>
#include <string>

#include "browserdefaults/restore_dialog.h"
#include "shell/control_ids.h"
#include "ui/frameless_dialog.h"
#include "ui/image_button.h"

namespace tarvo::shell {

class TfrmRestBrowserDefault final : public ui::FramelessDialog, private browserdefaults::IRestoreDialogView {
public:
    static constexpr const wchar_t* kClassName = L"TfrmRestBrowserDefault";
    static constexpr int kIdOk = control_ids::kRestBrowserDefault + 1;
    static constexpr int kIdCancel = control_ids::kRestBrowserDefault + 2;
    static constexpr int kIdClose = control_ids::kRestBrowserDefault + 3;

    // Message boxes of the OK flow; tests answer them without a box. `icon` is MB_ICON….
    using MessageFn = std::function<int(HWND owner, const std::wstring& text, UINT type)>;

    TfrmRestBrowserDefault(browserdefaults::BrowserKind kind, const browserdefaults::RestoreEnvironment& environment,
                           browserdefaults::RestoreActions actions, MessageFn message = {});
    ~TfrmRestBrowserDefault() override;

    // False for a kind without a restorer: the window is then never shown.
    [[nodiscard]] bool Prepared() const noexcept { return model_.Prepared(); }
    // Creates the window centred on `owner`.
    bool Create(HWND owner);
    [[nodiscard]] const browserdefaults::TRestBrowserDefault& Model() const noexcept { return model_; }

private:
    void OnPaint(HDC dc) override;
    void OnCommand(int id, int code) override;

    // IRestoreDialogView
    void EnableButtons(bool enabled) override;
    [[nodiscard]] bool ConfirmClose(const std::wstring& text) override;
    void ShowSuccess(const std::wstring& text) override;
    void ShowFailure(const std::wstring& text) override;
    void CloseWindow() override { CloseDialog(); }

    void CreateControls();
    [[nodiscard]] std::wstring Fit(const std::wstring& text, int limit, int role) const;

    browserdefaults::TRestBrowserDefault model_;
    MessageFn message_;
    ui::ImageButton close_, ok_, cancel_;
};

// Opens the restore window for `kind` modally over `owner` (the add-on page's window);
// does nothing for a kind without a restorer.
void ShowRestoreBrowserDefaults(HWND owner, browserdefaults::BrowserKind kind);

// A text of the restore window's section of the language file.
[[nodiscard]] std::wstring RestoreDefaultsText(const std::wstring& control, const wchar_t* english);

}  // namespace tarvo::shell
