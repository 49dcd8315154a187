// The ways into the forced uninstall: the "Forced Uninstall" menu item, files dropped on the
// main window, the context-menu extension's ShellVerb.dat, and the hooks' program names.
// Only one forced-uninstall window exists; later hand-offs fill it instead of opening another.

#include <windows.h>

#include "inventory/forced_path.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "settings/app_frame.h"
#include "settings/text_file.h"
#include "shell/bring_forward.h"
#include "shell/forced_uninstall_window.h"
#include "shell/log_manager_window.h"
#include "shell/main_window.h"
#include "shell/install_and_trace.h"
#include "shell/test_seam.h"
#include "shell/uninstall_dialog.h"
#include "shell/uninstalling_window.h"

namespace tarvo::shell {

namespace {

struct DialogSearch {
    bool found = false;
};

BOOL CALLBACK FindBusyDialog(HWND window, LPARAM param) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    const std::wstring_view cls(name);
    if (cls == TfrmUninstalling::kClassName || cls == TfrmLogManage::kClassName) {
        reinterpret_cast<DialogSearch*>(param)->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool TfrmTarvoUninstall::BusyWithOtherDialog() const {
    // Our own windows only: they all live on this thread.
    DialogSearch search;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBusyDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TfrmTarvoUninstall::ShellVerbFilePath() const { return settings::DataFolder() + L"\\ShellVerb.dat"; }

void TfrmTarvoUninstall::RunForcedUninstallWindow(const std::function<void(TfrmForcedUninstall&)>& prepare) {
    if (forced_) {
        forced_->BringForward();
        return;
    }
    TfrmForcedUninstall window(software_.Catalogue(), software_.RowIcons(), [this](const uninstall::TForcedNext& next) {
        UninstallDialogOptions options;
        options.statistics = &state_.statistics;
        options.catalogue = software_.Catalogue();
        options.catalogueIcons = software_.RowIcons();
        (void)OpenForcedUninstallDialog(hwnd(), next.entry, next.opening, options);
    });
    if (!window.Create(hwnd())) return;
    forced_ = &window;
    if (prepare) prepare(window);
    window.ShowModal();
    forced_ = nullptr;
    // Whatever "Next" ran may have removed programs: read the catalogue again.
    if (window.Started()) software_.Refresh(true);
}

void TfrmTarvoUninstall::ForcedUninstallForPath(const std::wstring& path) {
    const inventory::TForcedPath resolved = inventory::ResolveForcedPath(path);
    test_seam::Log(L"forced path: " + path + (resolved.accepted ? L" -> " + resolved.target : L" refused"));
    if (!resolved.accepted) return;
    if (forced_) {
        forced_->HandOffPath(path, resolved.target);
        forced_->BringForward();
        return;
    }
    RunForcedUninstallWindow(
        [&](TfrmForcedUninstall& window) { window.HandOffPath(path, resolved.target); });
}

void TfrmTarvoUninstall::ForcedUninstallForShellVerbFile() {
    const auto text = settings::ReadTextFile(ShellVerbFilePath());
    if (!text) return;
    ForcedUninstallForPath(settings::Trim(*text));
}

void TfrmTarvoUninstall::OnShellVerb() {
    test_seam::Log(L"shell verb");
    if (BusyWithOtherDialog()) return;
    const std::wstring file = ShellVerbFilePath();
    if (!platform::FileExists(file)) return;
    const auto text = settings::ReadTextFile(file);
    if (!text) return;
    const std::wstring path = settings::Trim(*text);
    const std::wstring removalHost = state_.programFolder + L"RemovalHost.exe";
    if (!state_.programFolder.empty() && platform::FileExists(removalHost))
        (void)platform::ShellOpen(removalHost, L"rightMenu_statistics");
    BringWindowForward(hwnd());
    if (forced_) {
        // The open window also takes a folder, and a shortcut is never taken as itself.
        const auto target = inventory::ShellVerbTarget(path);
        if (!target) return;
        forced_->HandOffPath(path, *target);
        forced_->BringForward();
        return;
    }
    ForcedUninstallForPath(path);
}

void TfrmTarvoUninstall::OnDropFiles(HDROP drop) {
    const std::wstring path = platform::TakeFirstDroppedFile(drop);
    if (path.empty()) return;
    // A setup is more likely dropped to be installed (and traced) than removed.
    if (OfferTracedInstall(hwnd(), path)) {
        RefreshAfterTrace();
        return;
    }
    ForcedUninstallForPath(path);
}

}  // namespace tarvo::shell
