// Process entry of TarvoUninstaller.exe.

#include <windows.h>

#include "platform/dll_search.h"
#include "shell/leftover_scan_hook.h"
#include "shell/process_entry.h"
#include "shell/uninstall_dialog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    (void)tarvo::platform::RestrictLibrarySearch();
    tarvo::shell::SetLeftoverScan(tarvo::shell::MakeLeftoverScan());
    return tarvo::shell::RunProcessEntry(showCommand);
}
