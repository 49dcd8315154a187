#include "browserdefaults/stock_addresses.h"

#include "settings/text_file.h"

namespace tarvo::browserdefaults {

namespace {
void Override(const settings::TMainIni& ini, const wchar_t* key, std::wstring& value) {
    std::wstring text = settings::Trim(ini.ReadString(L"BrowserDefaults", key, L""));
    while (!text.empty() && text.back() == L'/') text.pop_back();
    if (!text.empty()) value = std::move(text);
}
}  // namespace

StockAddresses ReadStockAddresses(const settings::TMainIni& ini) {
    StockAddresses stock;
    Override(ini, L"IEPortal", stock.iePortal);
    Override(ini, L"Bing", stock.bing);
    Override(ini, L"Google", stock.google);
    Override(ini, L"GoogleKeyword", stock.googleKeyword);
    Override(ini, L"GoogleSuggest", stock.googleSuggest);
    Override(ini, L"FirefoxStart", stock.firefoxStart);
    Override(ini, L"OperaPortal", stock.operaPortal);
    Override(ini, L"OperaIconRedirect", stock.operaIconRedirect);
    Override(ini, L"Hijacker", stock.hijacker);
    return stock;
}

}  // namespace tarvo::browserdefaults
