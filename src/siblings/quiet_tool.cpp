// RemovalOffer.exe and AutoPatch.exe: the installation starts them with "/install tu3",
// "/uninstall tu3" and "/install", and the program starts the updater in its automatic
// mode. This build has no offer to make and no update server to ask: each accepts its
// arguments and ends at once, showing nothing.

#include <windows.h>

#include "platform/dll_search.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    (void)tarvo::platform::RestrictLibrarySearch();
    return 0;
}
