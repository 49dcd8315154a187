#include "addons/browser_cleaners.h"

#include <algorithm>

#include "addons/chrome_browser_cleaner.h"
#include "addons/chromium_family.h"
#include "addons/ff_browser_cleaner.h"
#include "addons/ie_browser_cleaner.h"
#include "addons/opera_browser_cleaner.h"

namespace tarvo::addons {

std::vector<std::unique_ptr<TCustomBrowserCleaner>> MakeBrowserCleaners(const CleanerEnvironment& env) {
    std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners;
    std::vector<ChromiumBrowser> family = FindChromiumBrowsers(env);
    cleaners.push_back(std::make_unique<TIEBrowserCleaner>(env));
    // A Chrome with "Local State" is a current one: its extensions live in every profile and
    // in signed settings, so the family's cleaner takes Chrome's place and code. An older
    // Chrome keeps its own cleaner.
    const auto chrome = std::find_if(family.begin(), family.end(),
                                     [](const ChromiumBrowser& browser) { return browser.kind == BrowserKind::Chrome; });
    if (chrome != family.end() && HasLocalState(*chrome))
        cleaners.push_back(std::make_unique<ChromiumFamilyCleaner>(env, std::move(*chrome)));
    else
        cleaners.push_back(std::make_unique<TChromeBrowserCleaner>(env));
    cleaners.push_back(std::make_unique<TFFBrowserCleaner>(env));
    cleaners.push_back(std::make_unique<TOperaBrowserCleaner>(env));
    for (ChromiumBrowser& browser : family)
        if (browser.kind != BrowserKind::Chrome)
            cleaners.push_back(std::make_unique<ChromiumFamilyCleaner>(env, std::move(browser)));
    return cleaners;
}

}  // namespace tarvo::addons
