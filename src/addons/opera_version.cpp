#include "addons/opera_version.h"

#include "platform/registry.h"
#include "platform/text.h"

namespace tarvo::addons {

std::int32_t LeadingNumber(const std::wstring& text) {
    const auto dot = text.find(L'.');
    if (dot == std::wstring::npos) return 0;
    if (dot == 0 || dot > 9) return -1;  // more digits would overflow the 32-bit result
    std::int32_t value = 0;
    for (std::size_t i = 0; i < dot; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return -1;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

std::int32_t OperaMajorVersionUnder(const std::wstring& uninstallPath) {
    std::int32_t version = -1;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        platform::RegistryKey uninstall;
        if (uninstall.Open(root, uninstallPath) != ERROR_SUCCESS) continue;
        std::wstring found;
        for (const auto& name : uninstall.SubKeyNames())
            if (platform::UpperCase(name).find(L"OPERA") != std::wstring::npos) {
                found = name;
                break;
            }
        if (found.empty()) continue;
        platform::RegistryKey entry;
        if (entry.Open(root, uninstallPath + L"\\" + found) == ERROR_SUCCESS) {
            const std::wstring text = entry.QueryString(L"DisplayVersion").value_or(L"");
            if (!text.empty()) version = LeadingNumber(text);
        }
        break;  // the current user's entries count only when the machine has none
    }
    return version;
}

std::int32_t OperaMajorVersion() {
    return OperaMajorVersionUnder(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
}

}  // namespace tarvo::addons
