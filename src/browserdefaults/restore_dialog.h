#pragma once
// What the restore window decides, without the window: the texts it shows for a browser,
// and the OK flow (close a running browser only when the user agrees, run both setters,
// say how it went). The window forwards its clicks here and does what the view is told.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "browserdefaults/explorer_set.h"

namespace tarvo::browserdefaults {

class IRestoreDialogView {
public:
    virtual ~IRestoreDialogView() = default;
    virtual void EnableButtons(bool enabled) = 0;
    // OK/Cancel question about closing the running browser; true for OK.
    [[nodiscard]] virtual bool ConfirmClose(const std::wstring& text) = 0;
    virtual void ShowSuccess(const std::wstring& text) = 0;
    virtual void ShowFailure(const std::wstring& text) = 0;
    virtual void CloseWindow() = 0;
};

// The outside world the OK flow touches; tests record it instead.
struct RestoreActions {
    std::function<bool(BrowserKind)> isRunning;
    std::function<void(BrowserKind, const TCustomExplorerSet&)> closeBrowser;  // then waits 500 ms
};
[[nodiscard]] RestoreActions RealRestoreActions();

class TRestBrowserDefault {
public:
    // Fails (Prepared() false) for a kind without a restorer.
    TRestBrowserDefault(BrowserKind kind, const RestoreEnvironment& environment, RestoreActions actions);

    [[nodiscard]] bool Prepared() const noexcept { return set_ != nullptr; }
    [[nodiscard]] BrowserKind Kind() const noexcept { return kind_; }
    [[nodiscard]] const std::wstring& BrowserDisplayName() const noexcept { return name_; }
    [[nodiscard]] const std::wstring& Title() const noexcept { return title_; }
    [[nodiscard]] const std::wstring& Homepage() const noexcept { return homepage_; }
    [[nodiscard]] const std::wstring& SearchEngine() const noexcept { return search_; }

    // OK: true when both setters succeeded (the window has been told to close).
    bool RunRestore(IRestoreDialogView& view);

private:
    BrowserKind kind_;
    std::wstring name_, title_, homepage_, search_;
    std::unique_ptr<TCustomExplorerSet> set_;
    RestoreActions actions_;
};

// `pattern` with its first "%s" replaced by `value`.
[[nodiscard]] std::wstring WithName(const std::wstring& pattern, const std::wstring& value);

// A text cut to `limit` pixels as the window shows it: characters dropped from the end
// while too wide; when any were dropped, three more go and "..." is added.
[[nodiscard]] std::wstring FitText(const std::wstring& text, int limit, const std::function<int(const std::wstring&)>& width);

}  // namespace tarvo::browserdefaults
