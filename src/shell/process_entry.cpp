#include "shell/process_entry.h"

#include <commctrl.h>

#include "platform/messages.h"
#include "platform/processes.h"
#include "platform/security.h"
#include "shell/main_window.h"
#include "shell/program_state.h"
#include "setup/self_installation.h"
#include "shell/test_seam.h"

namespace tarvo::shell {

namespace {
// The floating uninstall button window arrives with its own subsystem.
void CreateFloatingButtonWindow() {}

int RunMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ForwardRefreshKey(message);
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
}  // namespace

bool CallerIsAdministrator() {
    if (test_seam::DeniesAdministrator()) return false;
    const platform::unique_handle token = platform::OpenCallerToken();
    return platform::TokenListsAdministrators(token.get());
}

bool NotifyRunningInstance(const Arguments& arguments) {
    const HWND running = platform::FindWindowOf(TfrmTarvoUninstall::kClassName, TfrmTarvoUninstall::kCaption);
    if (!running) return false;
    const SecondInstanceNotice notice = SecondInstanceMessages(arguments);
    if (notice.postActivate) ::PostMessageW(running, UM_ACTIVATE, 0, 0);
    if (notice.copyDataText)
        platform::SendCopyData(running, kCopyDataForcedUninstallTag, CopyDataPayload(*notice.copyDataText));
    return true;
}

int RunProcessEntry(int showCommand) {
    if (!CallerIsAdministrator()) {
        test_seam::ShowMessageBox(nullptr, kNotAdministratorText, TfrmTarvoUninstall::kApplicationTitle, MB_OK);
        return 0;
    }

    TProgramState state;
    state.arguments = platform::CommandLineArguments();
    if (IsInstallRun(state.arguments)) {
        setup::InstallWhenNeeded(InstallTargetArgument(state.arguments));
        if (!platform::FindWindowOf(TfrmTarvoUninstall::kClassName, kInstallerWindowCaption)) {
            test_seam::Log(L"install run ends");
            return 0;
        }
    }

    // Held, owned, until the process ends.
    const platform::NamedMutex instance = platform::CreateNamedMutex(kSingleInstanceMutexName, true);
    if (instance.alreadyExisted) {
        test_seam::Log(NotifyRunningInstance(state.arguments) ? L"second instance: notified"
                                                              : L"second instance: no window");
        return 0;
    }
    test_seam::Log(L"mutex created");

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    TfrmTarvoUninstall mainWindow(state);
    if (!mainWindow.Create()) return 1;
    CreateFloatingButtonWindow();
    ::ShowWindow(mainWindow.hwnd(), showCommand);
    ::UpdateWindow(mainWindow.hwnd());
    return RunMessageLoop();
}

}  // namespace tarvo::shell
