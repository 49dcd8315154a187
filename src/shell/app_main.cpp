// Process entry of TarvoUninstaller.exe.

#include <windows.h>
#include <commctrl.h>

#include "language/language.h"
#include "settings/app_frame.h"
#include "settings/main_ini.h"
#include "shell/main_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // Before any window exists, so that every text is shown in the user's language at once.
    tarvo::language::StartAppLanguage(tarvo::settings::TAppFrame().ProgramFolder(), tarvo::settings::TMainIni());

    tarvo::shell::TfrmTarvoUninstall mainWindow;
    if (!mainWindow.Create()) return 1;
    ::ShowWindow(mainWindow.hwnd(), showCommand);
    ::UpdateWindow(mainWindow.hwnd());

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
