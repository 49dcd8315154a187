// Process entry of TarvoUninstaller.exe.

#include <windows.h>

#include "shell/process_entry.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    return tarvo::shell::RunProcessEntry(showCommand);
}
