#pragma once
// The shell's context-menu entries on every file, folder, folder background and drive: verbs
// ("<class>\shell\<verb>\command") and handlers ("<class>\shellex\ContextMenuHandlers\<name>",
// a COM class whose server is a DLL). A removed program's entries stay in Explorer's menus
// unless they are found by what they start.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/registry.h"

namespace tarvo::leftovers {

class TRegeditScanClasses;

// One verb or handler. `classesPath`: "SOFTWARE\Classes" (machine) or "Software\Classes"
// (user); `relative`: "<class>\shell\<verb>" or "<class>\shellex\<handler type>\<name>";
// `target`: the verb's command, or the handler's server file (environment references
// expanded), empty when its class is not registered.
struct TShellEntry {
    HKEY root = nullptr;
    std::wstring classesPath;
    std::wstring className;
    std::wstring relative;
    std::wstring target;
};

// The classes whose menus every file, folder or drive shows.
[[nodiscard]] const std::vector<std::wstring>& ContextMenuClasses();

// Every verb and handler of those classes under one root's classes key, in one view.
[[nodiscard]] std::vector<TShellEntry> ReadShellEntries(HKEY root, platform::RegistryView view);

// The scan's rule: the verbs and handlers that start something in the program's folder, under
// both roots (and the classes root as the machine's counterpart), in the scan's view.
void ShellVerbRule(TRegeditScanClasses& scan);

}  // namespace tarvo::leftovers
