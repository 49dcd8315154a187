#include "settings/web_address.h"

#include "platform/shell.h"
#include "platform/text.h"

namespace tarvo::settings {

namespace {
bool KeptAsIs(unsigned char c) noexcept {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    switch (c) {
    case '!': case '$': case '\'': case '(': case ')': case '*': case '-': case '.': case '@': case '_':
        return true;
    default:
        return false;
    }
}
}  // namespace

std::wstring EncodeSearchText(const std::wstring& name) {
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring encoded;
    for (const char byte : platform::Utf8FromWide(name)) {
        const auto c = static_cast<unsigned char>(byte);
        if (KeptAsIs(c)) {
            encoded += static_cast<wchar_t>(c);
        } else if (c == ' ') {
            encoded += L'+';
        } else {
            encoded += L'%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

std::wstring SearchOnlineAddress(const std::wstring& name) {
    return std::wstring(kSearchEngine) + L"/search?source=hp&q=" + EncodeSearchText(name) +
           L"&meta=&aq=f&aqi=g10&aql=&oq=&gs_rfai=";
}

bool OpenWebAddress(const std::wstring& address) {
    return platform::ShellOpen(address) || platform::ShellOpen(L"IExplore.EXE", address);
}

}  // namespace tarvo::settings
