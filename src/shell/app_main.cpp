// Process entry of TarvoUninstaller.exe.

#include <windows.h>
#include <commctrl.h>

#include "shell/main_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

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
