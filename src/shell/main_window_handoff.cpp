// Work other processes hand to the running window.

#include "shell/bring_forward.h"
#include "shell/main_window.h"
#include "shell/test_seam.h"

namespace tarvo::shell {

void TfrmTarvoUninstall::OnActivateRequest() {
    test_seam::Log(L"activate");
    BringWindowForward(hwnd());
    // The secondary windows (About, uninstall, forced uninstall, logs) follow here, in this
    // order, once they exist.
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
    // The forced-uninstall window takes the pending text from here once it exists.
    test_seam::Log(L"forced uninstall: " + pendingForcedUninstallText_);
}

}  // namespace tarvo::shell
