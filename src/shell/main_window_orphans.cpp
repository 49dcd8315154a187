// "Leftovers of removed programs": the orphan scan over the whole machine, shown in the
// Powerful Scan's result tree with the sure findings ticked, removed with its backup and log.

#include <windows.h>

#include "inventory/inventory.h"
#include "language/language.h"
#include "leftovers/orphans/orphan_scan.h"
#include "platform/messages.h"
#include "shell/main_window.h"
#include "shell/power_scan_window.h"
#include "shell/test_seam.h"

namespace tarvo::shell {

void TfrmTarvoUninstall::RunOrphanScan() {
    const HCURSOR before = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    inventory::TSoftList list;
    inventory::Inventory(list);
    leftovers::orphans::TOrphanScanOptions options;
    options.pump = platform::PumpWaitingMessages;
    const leftovers::orphans::TOrphanReport report = leftovers::orphans::ScanOrphans(list, options);
    leftovers::TResultTree tree;
    leftovers::TIconList images;
    const int count = leftovers::orphans::BuildOrphanTree(report, tree, images);
    ::SetCursor(before);
    test_seam::Log(L"orphans: " + std::to_wstring(count));
    if (count == 0) {
        wchar_t caption[256] = {};
        ::GetWindowTextW(hwnd(), caption, 256);
        (void)test_seam::ShowMessageBox(
            hwnd(), language::GetText(L"Orphans_None_M", L"No leftovers of removed programs found."), caption,
            MB_OK | MB_ICONINFORMATION);
        return;
    }
    ShowPowerScan(hwnd(), tree, images, false);
    // Uninstall entries whose program was gone may have gone with the rest.
    software_.Refresh(true);
}

}  // namespace tarvo::shell
