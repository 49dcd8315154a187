#pragma once
// The addresses a restore writes as the browsers' stock values, and the hijacker page the
// getters look out for. Deployment values like the vendor's servers: built in, and
// overridable in the "BrowserDefaults" section of Main.ini, so a test or a regional build can
// point them elsewhere. Hosts only, without a trailing "/": the paths and queries each
// browser needs are added where they are written.

#include <string>

#include "settings/main_ini.h"

namespace tarvo::browserdefaults {

struct StockAddresses {
    std::wstring iePortal = L"http://www.msn.com";              // + "/?ocid=iehp"
    std::wstring bing = L"http://www.bing.com";                 // query, icon, OpenSearch description
    std::wstring google = L"https://www.google.com";            // query and home address
    std::wstring googleKeyword = L"google.com";                 // Chrome's keyword for the stock row
    std::wstring googleSuggest = L"https://suggestqueries.google.com";
    std::wstring firefoxStart = L"https://www.google.com";      // + "/firefox"
    std::wstring operaPortal = L"http://portal.opera.com";
    std::wstring operaIconRedirect = L"http://redir.opera.com"; // + "/favicons/google/favicon.ico"
    std::wstring hijacker = L"http://www.delta-search.com";
};

// Main.ini keys: IEPortal, Bing, Google, GoogleKeyword, GoogleSuggest, FirefoxStart,
// OperaPortal, OperaIconRedirect, Hijacker. An empty or missing key keeps the built-in value.
[[nodiscard]] StockAddresses ReadStockAddresses(const settings::TMainIni& ini);

}  // namespace tarvo::browserdefaults
