#pragma once
// The cleaners of every browser this build knows, in the all-browsers order (Internet
// Explorer, Chrome, Firefox, Opera, then the other Chromium-based browsers found). Each
// browser's cleaner adds its line here as it lands.

#include <memory>
#include <vector>

#include "addons/browser_cleaner.h"

namespace tarvo::addons {

[[nodiscard]] std::vector<std::unique_ptr<TCustomBrowserCleaner>> MakeBrowserCleaners(const CleanerEnvironment& env);

}  // namespace tarvo::addons
