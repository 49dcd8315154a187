#include "addons/browser_cleaners.h"

#include "addons/chrome_browser_cleaner.h"
#include "addons/ff_browser_cleaner.h"
#include "addons/ie_browser_cleaner.h"
#include "addons/opera_browser_cleaner.h"

namespace tarvo::addons {

std::vector<std::unique_ptr<TCustomBrowserCleaner>> MakeBrowserCleaners(const CleanerEnvironment& env) {
    std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners;
    cleaners.push_back(std::make_unique<TIEBrowserCleaner>(env));
    cleaners.push_back(std::make_unique<TChromeBrowserCleaner>(env));
    cleaners.push_back(std::make_unique<TFFBrowserCleaner>(env));
    cleaners.push_back(std::make_unique<TOperaBrowserCleaner>(env));
    return cleaners;
}

}  // namespace tarvo::addons
