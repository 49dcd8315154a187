#pragma once
// The vendor's servers, as deployment values: built in, and overridable in the "Servers"
// section of Main.ini (keys "Download", "Site", "Forum", "Statistics"), so a test or an
// installation can point the program elsewhere without a new build. Addresses are written without a trailing "/".

#include <string>

#include "platform/internet.h"
#include "settings/main_ini.h"

namespace tarvo::settings {

inline constexpr const wchar_t* kDefaultDownloadServer = L"http://download.tarvo-uninstaller.com";
inline constexpr const wchar_t* kDefaultSiteServer = L"http://www.tarvo-uninstaller.com";
inline constexpr const wchar_t* kDefaultForumServer = L"http://forum.tarvo-uninstaller.com";
inline constexpr const wchar_t* kDefaultStatisticsServer = L"http://stat.tarvo-uninstaller.com";

struct ServerAddresses {
    std::wstring download;    // score database, news and version list
    std::wstring site;        // the vendor's pages
    std::wstring forum;       // the vendor's forum, where the feedback thread is
    std::wstring statistics;  // add-on votes
};

[[nodiscard]] ServerAddresses ReadServerAddresses(const TMainIni& ini);

// The HTTP proxy for the news check, from the "Proxy" section of Main.ini (keys "Enabled",
// "Server", "Port", "User", "Password"); off unless "Enabled" is "1".
[[nodiscard]] platform::ProxySettings ReadProxySettings(const TMainIni& ini);

}  // namespace tarvo::settings
