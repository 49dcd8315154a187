#include "browserdefaults/restore_dialog.h"

#include "addons/browser_process.h"
#include "browserdefaults/browser_processes.h"
#include "browserdefaults/opera_explorer_set.h"
#include "language/language.h"

namespace tarvo::browserdefaults {

std::wstring WithName(const std::wstring& pattern, const std::wstring& value) {
    std::wstring text = pattern;
    const std::size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, value);
    return text;
}

std::wstring FitText(const std::wstring& text, int limit, const std::function<int(const std::wstring&)>& width) {
    std::wstring fitted = text;
    while (!fitted.empty() && width(fitted) > limit) fitted.pop_back();
    if (fitted.size() == text.size()) return fitted;
    fitted.erase(fitted.size() - std::min<std::size_t>(3, fitted.size()));
    return fitted + L"...";
}

RestoreActions RealRestoreActions() {
    return {[](BrowserKind kind) { return addons::IsBrowserRunning(kind); },
            [](BrowserKind kind, const TCustomExplorerSet& set) {
                const auto* opera = dynamic_cast<const TOperaExplorerSet*>(&set);
                (void)KillProcessesByName(addons::BrowserExeName(kind),
                                          BrowserExecutables(kind, opera ? opera->ProgramFolder() : std::wstring()));
                ::Sleep(500);
            }};
}

TRestBrowserDefault::TRestBrowserDefault(BrowserKind kind, const RestoreEnvironment& environment, RestoreActions actions)
    : kind_(kind), set_(CreateExplorerSet(kind, environment)), actions_(std::move(actions)) {
    if (!set_) return;
    name_ = addons::BrowserName(kind);
    title_ = WithName(language::GetText(L"RestoreDefaultSettingsButton", L"Restore %s Default Settings"), name_);
    homepage_ = set_->GetHomepage();
    if (homepage_.empty()) homepage_ = L"about:blank";
    search_ = set_->GetSearchEngine();
}

bool TRestBrowserDefault::RunRestore(IRestoreDialogView& view) {
    if (!set_) return false;
    view.EnableButtons(false);
    if (actions_.isRunning && actions_.isRunning(kind_)) {
        const std::wstring question =
            WithName(language::GetText(L"FuncCheckBrowserMsgBox_1", L"%s is running"), name_) + L"\r" +
            language::GetText(L"FuncCheckBrowserMsgBox_2",
                              L"click OK to turn it off forcely (you might loss unsaved contents)") +
            L"\r" + language::GetText(L"FuncCheckBrowserMsgBox_3", L"click Cancel to abort the operation");
        if (!view.ConfirmClose(question)) {
            view.EnableButtons(true);
            return false;
        }
        if (actions_.closeBrowser) actions_.closeBrowser(kind_, *set_);
    }
    const bool restored = set_->SetHomepage() && set_->RestSearchToDefault();
    view.EnableButtons(true);
    if (restored) {
        view.ShowSuccess(language::GetText(L"FuncRestoreSuccessMsgBox", L"Browser restored to default settings successfully"));
        view.CloseWindow();
    } else {
        view.ShowFailure(WithName(language::GetText(L"FuncRestoreFailedMsgBox",
                                                    L"Fail to restore browser to default settings, please exit %s and try again"),
                                  name_));
    }
    return restored;
}

}  // namespace tarvo::browserdefaults
