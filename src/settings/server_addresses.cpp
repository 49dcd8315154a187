#include "settings/server_addresses.h"

#include "settings/text_file.h"

namespace tarvo::settings {

namespace {
std::wstring Address(const TMainIni& ini, const wchar_t* key, const wchar_t* fallback) {
    std::wstring value = Trim(ini.ReadString(L"Servers", key, L""));
    while (!value.empty() && value.back() == L'/') value.pop_back();
    return value.empty() ? fallback : value;
}
}  // namespace

ServerAddresses ReadServerAddresses(const TMainIni& ini) {
    return {Address(ini, L"Download", kDefaultDownloadServer), Address(ini, L"Site", kDefaultSiteServer),
            Address(ini, L"Forum", kDefaultForumServer), Address(ini, L"Statistics", kDefaultStatisticsServer)};
}

platform::ProxySettings ReadProxySettings(const TMainIni& ini) {
    const auto read = [&](const wchar_t* key) { return Trim(ini.ReadString(L"Proxy", key, L"")); };
    return {read(L"Enabled"), read(L"Server"), read(L"Port"), read(L"User"), ini.ReadString(L"Proxy", L"Password", L"")};
}

}  // namespace tarvo::settings
