#pragma once
// The codes every browser's add-on cleaner shares: which browser, which kind of add-on.

#include <cstdint>

namespace tarvo::addons {

// One byte in the store and in every item; 1 is only ever the page's "all browsers" filter.
// The Chromium-based browsers after Chrome each have a code of their own; Chrome's channels
// share Chrome's.
enum class BrowserKind : std::uint8_t {
    All = 1,
    InternetExplorer = 2,
    Chrome = 3,
    Firefox = 4,
    Opera = 5,
    Edge = 6,
    Brave = 7,
    Vivaldi = 8,
    Chromium = 9,
};

// The page groups its list by these.
enum class AddonKind : std::uint8_t { Extension = 1, Plugin = 2, Toolbar = 3, BrowserHelperObject = 4, ActiveX = 5 };

}  // namespace tarvo::addons
