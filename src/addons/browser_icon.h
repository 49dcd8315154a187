#pragma once
// Where a browser's tab icon comes from: the browser's own program file, so the page shows
// the icon its user knows from the taskbar, whatever the browser's version, and we ship no
// one else's logo.

#include <string>

#include "addons/addon_types.h"
#include "addons/browser_cleaner.h"
#include "platform/shell.h"

namespace tarvo::addons {

// The browser's program file: its "App Paths" registration (the user's, then the machine's),
// else where its installer puts it for one user or for all. Empty when none exists.
[[nodiscard]] std::wstring BrowserIconFile(BrowserKind kind, const CleanerEnvironment& environment);

// Icon 0 of that file in both sizes; both null when there is no file (the page then draws
// the browser's name alone).
[[nodiscard]] platform::IconPair BrowserIcons(BrowserKind kind, const CleanerEnvironment& environment);

}  // namespace tarvo::addons
