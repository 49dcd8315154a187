#include "leftovers/value_text.h"

#include <cstring>

#include "common/text.h"
#include "platform/text.h"

namespace tarvo::leftovers {

std::wstring ValueText(DWORD type, const BYTE* data, std::size_t size) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        platform::RegistryValue value;
        value.type = type;
        value.data.assign(data, data + size);
        return value.AsString().value_or(std::wstring());
    }
    if (type == REG_DWORD && size >= sizeof(DWORD)) {
        std::int32_t number = 0;
        std::memcpy(&number, data, sizeof number);
        return std::to_wstring(number);
    }
    if (size == 0) return {};
    // Never past the data: binary values carry no terminator of their own.
    std::size_t length = 0;
    while (length < size && data[length] != 0) ++length;
    const std::wstring ansi = platform::MultiByteToWide(reinterpret_cast<const char*>(data), length, CP_ACP);
    if (!common::Trim(ansi).empty()) return ansi;
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring hex;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] >= 0x10) hex += kDigits[data[i] >> 4];
        hex += kDigits[data[i] & 0x0F];
    }
    return hex;
}

std::wstring ReadValueText(const platform::KeyHandle& key, const std::wstring& valueName) {
    const auto value = key.QueryValue(valueName);
    if (!value) return {};
    return ValueText(value->type, value->data.data(), value->data.size());
}

std::wstring RegistryItemText(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                              const std::wstring& data) {
    std::wstring text = platform::RootName(root) + L"\\" + platform::RelativeKeyPath(keyPath);
    if (!valueName.empty() || !data.empty())
        text += L" | " + (valueName.empty() ? std::wstring(L"Default") : valueName) + L" - " + data;
    return text;
}

}  // namespace tarvo::leftovers
