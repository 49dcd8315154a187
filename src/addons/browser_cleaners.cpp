#include "addons/browser_cleaners.h"

namespace tarvo::addons {

std::vector<std::unique_ptr<TCustomBrowserCleaner>> MakeBrowserCleaners(const CleanerEnvironment&) {
    std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners;
    return cleaners;
}

}  // namespace tarvo::addons
