#include "shell/leftover_scan_hook.h"

#include <windows.h>

#include <cwchar>
#include <memory>

#include "language/language.h"
#include "leftovers/scan_driver.h"
#include "platform/message_wait.h"
#include "shell/main_window.h"

namespace tarvo::shell {

namespace {

std::wstring FoundText(int count) {
    const std::wstring format = language::GetText(L"PowerfulScan_Found_Tip", L"%d left items found.");
    // The format comes from a language file: only its first %d is ours to fill.
    const auto at = format.find(L"%d");
    if (at == std::wstring::npos) return format;
    return format.substr(0, at) + std::to_wstring(count) + format.substr(at + 2);
}

}  // namespace

uninstall::TLeftoverScan MakeLeftoverScan() {
    return [](const uninstall::TLeftoverScanRequest& request,
              const std::function<bool()>& cancelRequested) -> std::function<void()> {
        auto tree = std::make_shared<leftovers::TResultTree>();
        leftovers::TIconList images;
        leftovers::ScanOptions options;
        options.pump = platform::PumpWaitingMessages;
        int found = 0;
        if (request.entries.empty()) {
            found += leftovers::ScanLeftovers(nullptr, *tree, request.folder, images, options);
        } else {
            for (const auto* entry : request.entries) {
                if (cancelRequested && cancelRequested()) break;
                found += leftovers::ScanLeftovers(entry, *tree, {}, images, options);
            }
        }
        if (found == 0) return {};
        return [found] {
            ::MessageBoxW(::GetActiveWindow(), FoundText(found).c_str(), TfrmTarvoUninstall::kApplicationTitle,
                          MB_OK | MB_ICONINFORMATION);
        };
    };
}

}  // namespace tarvo::shell
