#pragma once
// Browsers by name and by running process.

#include <string>
#include <vector>

#include "addons/addon_types.h"
#include "platform/processes.h"

namespace tarvo::addons {

// "IE", "Chrome", "Firefox", "Opera", "Edge", "Brave", "Vivaldi", "Chromium"; empty for any other kind.
[[nodiscard]] std::wstring BrowserName(BrowserKind kind);

// The browser's executable name ("chrome.exe"); empty for any other kind.
[[nodiscard]] std::wstring BrowserExeName(BrowserKind kind);

// Whether a process of the browser is in the list. Kinds other than the known browsers count
// as running: a caller must never touch files of a browser it cannot rule out.
[[nodiscard]] bool IsBrowserRunningIn(BrowserKind kind, const std::vector<platform::ProcessEntry>& processes);

// Ends every process of the browser (its executable name); false when one could not be ended.
bool CloseBrowser(BrowserKind kind);

// The same against this moment's process list; false for the known browsers when no list can
// be taken.
[[nodiscard]] bool IsBrowserRunning(BrowserKind kind);

}  // namespace tarvo::addons
