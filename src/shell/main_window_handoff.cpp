// Work other processes hand to the running window.

#include "shell/bring_forward.h"
#include "shell/forced_uninstall_window.h"
#include "shell/main_window.h"
#include "shell/test_seam.h"

namespace tarvo::shell {

void TfrmTarvoUninstall::OnActivateRequest() {
    test_seam::Log(L"activate");
    BringWindowForward(hwnd());
    // The secondary windows follow in their order; About and the others join once they exist.
    if (forced_) forced_->BringForward();
}

bool TfrmTarvoUninstall::OnCopyData(const COPYDATASTRUCT& data) {
    const auto text = TextFromCopyData(data.dwData, data.lpData, data.cbData);
    if (!text) return false;
    pendingForcedUninstallText_ = *text;
    test_seam::Log(L"copydata: " + pendingForcedUninstallText_);
    ::PostMessageW(hwnd(), UM_FORCEDUNINSTALL, 0, 0);
    return true;
}

void TfrmTarvoUninstall::OnForcedUninstallRequest() {
    test_seam::Log(L"forced uninstall: " + pendingForcedUninstallText_);
    if (BusyWithOtherDialog()) return;
    const std::wstring name = pendingForcedUninstallText_;
    if (forced_) {
        // One window at a time: a second hand-off fills the open one.
        forced_->HandOffName(name);
        BringWindowForward(hwnd());
        forced_->BringForward();
        return;
    }
    RunForcedUninstallWindow([&name](TfrmForcedUninstall& window) { window.HandOffName(name); });
}

}  // namespace tarvo::shell
