#pragma once
// The process entry: whether this process may run, an installation run, the single
// instance, then the main window and its message loop.

#include <windows.h>

#include "shell/startup_command_line.h"

namespace tarvo::shell {

constexpr const wchar_t* kSingleInstanceMutexName = L"Tarvo_Uninstall";
// Caption of the window whose presence keeps an installation run going into a normal start.
constexpr const wchar_t* kInstallerWindowCaption = L"Tarvo_Uninstall";
constexpr const wchar_t* kNotAdministratorText =
    L"You logged in the system with guest account! You need administrative rights to use Tarvo Uninstaller 3.";

// True when the caller's token carries the Administrators group.
[[nodiscard]] bool CallerIsAdministrator();

// Tells the running window about a second start: UM_ACTIVATE, and the program name by
// WM_COPYDATA where the arguments ask for it. False when no running window was found.
bool NotifyRunningInstance(const Arguments& arguments);

// Runs the process; the value is its exit code.
int RunProcessEntry(int showCommand);

}  // namespace tarvo::shell
