// The web search address for a program name.
#include <gtest/gtest.h>

#include "settings/web_address.h"

using namespace tarvo::settings;

TEST(WebSearch, NamesAreEncodedByteByByteInUtf8) {
    const struct {
        const wchar_t* name;
        const wchar_t* encoded;
    } cases[] = {
        {L"Tool", L"Tool"},
        {L"Media Player 12", L"Media+Player+12"},
        {L"A!$'()*-.@_z", L"A!$'()*-.@_z"},
        {L"Foo & Co/Bar+1", L"Foo+%26+Co%2fBar%2b1"},
        {L"Foo & Bar 2.0", L"Foo+%26+Bar+2.0"},
        {L"Caf\u00e9 \u65e5", L"Caf%c3%a9+%e6%97%a5"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(EncodeSearchText(c.name), c.encoded) << c.encoded;
}

TEST(WebSearch, AddressCarriesTheFixedQuery) {
    const std::wstring address = SearchOnlineAddress(L"Big Game");
    EXPECT_EQ(address.substr(0, 7), L"http://");
    EXPECT_NE(address.find(L"/search?source=hp&q=Big+Game&meta=&aq=f&aqi=g10&aql=&oq=&gs_rfai="), std::wstring::npos);
}
