#include "addons/browser_cleaners.h"

#include "addons/ie_browser_cleaner.h"

namespace tarvo::addons {

std::vector<std::unique_ptr<TCustomBrowserCleaner>> MakeBrowserCleaners(const CleanerEnvironment& env) {
    std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners;
    cleaners.push_back(std::make_unique<TIEBrowserCleaner>(env));
    return cleaners;
}

}  // namespace tarvo::addons
