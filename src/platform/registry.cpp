#include "platform/registry.h"

#include "platform/call_counter.h"

namespace tarvo::platform {

namespace {
// Key names are limited to 255 characters, value names to 16,383.
constexpr DWORD kMaxKeyName = 256;
constexpr DWORD kMaxValueName = 16384;
// A value can change between the size query and the read; retry, but not forever.
constexpr int kMoreDataRetries = 4;
}  // namespace

REGSAM ViewAccess(RegistryView view) noexcept {
    return view == RegistryView::Wow64_64Key ? KEY_WOW64_64KEY : 0;
}

std::optional<std::wstring> RegistryValue::AsString() const {
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return std::nullopt;
    const std::size_t chars = data.size() / sizeof(wchar_t);
    std::wstring text(chars, L'\0');
    if (chars) memcpy(text.data(), data.data(), chars * sizeof(wchar_t));
    const auto zero = text.find(L'\0');
    if (zero != std::wstring::npos) text.resize(zero);
    return text;
}

std::optional<DWORD> RegistryValue::AsDword() const {
    if (type != REG_DWORD || data.size() < sizeof(DWORD)) return std::nullopt;
    DWORD value = 0;
    memcpy(&value, data.data(), sizeof value);
    return value;
}

RegistryKey::RegistryKey(HKEY borrowed) noexcept : borrowed_(borrowed) {}

LONG RegistryKey::Open(HKEY parent, const std::wstring& path, REGSAM access, RegistryView view) noexcept {
    CallCounter::Add(ApiCall::RegOpenKey);
    HKEY opened = nullptr;
    const LONG rc = ::RegOpenKeyExW(parent, path.c_str(), 0, access | ViewAccess(view), &opened);
    if (rc == ERROR_SUCCESS) {
        key_.reset(opened);
        borrowed_ = nullptr;
    }
    return rc;
}

LONG RegistryKey::Create(HKEY parent, const std::wstring& path, REGSAM access, RegistryView view) noexcept {
    CallCounter::Add(ApiCall::RegCreateKey);
    HKEY created = nullptr;
    const LONG rc = ::RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      access | ViewAccess(view), nullptr, &created, nullptr);
    if (rc == ERROR_SUCCESS) {
        key_.reset(created);
        borrowed_ = nullptr;
    }
    return rc;
}

void RegistryKey::Close() noexcept {
    key_.reset();
    borrowed_ = nullptr;
}

LONG RegistryKey::EnumKey(DWORD index, std::wstring& name) const noexcept {
    CallCounter::Add(ApiCall::RegEnumKey);
    wchar_t buffer[kMaxKeyName];
    DWORD length = kMaxKeyName;
    const LONG rc = ::RegEnumKeyExW(get(), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) name.assign(buffer, length);
    return rc;
}

LONG RegistryKey::EnumValue(DWORD index, std::wstring& name, RegistryValue* value) const noexcept {
    std::wstring nameBuffer(kMaxValueName, L'\0');
    std::vector<BYTE> data(value ? 512 : 0);
    for (int attempt = 0;; ++attempt) {
        CallCounter::Add(ApiCall::RegEnumValue);
        DWORD nameLength = kMaxValueName;
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(data.size());
        const LONG rc = ::RegEnumValueW(get(), index, nameBuffer.data(), &nameLength, nullptr,
                                        value ? &type : nullptr, value ? data.data() : nullptr,
                                        value ? &size : nullptr);
        if (rc == ERROR_MORE_DATA && value && attempt < kMoreDataRetries) {
            data.resize(size > data.size() ? size : data.size() * 2);
            continue;
        }
        if (rc != ERROR_SUCCESS) return rc;
        name.assign(nameBuffer.data(), nameLength);
        if (value) {
            data.resize(size);
            value->type = type;
            value->data = std::move(data);
        }
        return rc;
    }
}

std::vector<std::wstring> RegistryKey::SubKeyNames() const noexcept {
    std::vector<std::wstring> names;
    std::wstring name;
    for (DWORD i = 0; EnumKey(i, name) == ERROR_SUCCESS; ++i) names.push_back(name);
    return names;
}

std::vector<std::wstring> RegistryKey::ValueNames() const noexcept {
    std::vector<std::wstring> names;
    std::wstring name;
    for (DWORD i = 0; EnumValue(i, name) == ERROR_SUCCESS; ++i) names.push_back(name);
    return names;
}

std::optional<RegistryValue> RegistryKey::QueryValue(const std::wstring& name) const noexcept {
    RegistryValue value;
    value.data.resize(256);
    for (int attempt = 0; attempt <= kMoreDataRetries; ++attempt) {
        CallCounter::Add(ApiCall::RegQueryValue);
        DWORD size = static_cast<DWORD>(value.data.size());
        const LONG rc = ::RegQueryValueExW(get(), name.c_str(), nullptr, &value.type,
                                           value.data.data(), &size);
        if (rc == ERROR_SUCCESS) {
            value.data.resize(size);
            return value;
        }
        if (rc != ERROR_MORE_DATA) return std::nullopt;
        value.data.resize(size > value.data.size() ? size : value.data.size() * 2);
    }
    return std::nullopt;
}

std::optional<std::wstring> RegistryKey::QueryString(const std::wstring& name) const noexcept {
    auto value = QueryValue(name);
    return value ? value->AsString() : std::nullopt;
}

std::optional<DWORD> RegistryKey::QueryDword(const std::wstring& name) const noexcept {
    auto value = QueryValue(name);
    return value ? value->AsDword() : std::nullopt;
}

bool RegistryKey::HasValue(const std::wstring& name) const noexcept {
    CallCounter::Add(ApiCall::RegQueryValue);
    return ::RegQueryValueExW(get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG RegistryKey::SetValue(const std::wstring& name, DWORD type, const void* data, DWORD size) noexcept {
    CallCounter::Add(ApiCall::RegSetValue);
    return ::RegSetValueExW(get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

LONG RegistryKey::SetString(const std::wstring& name, const std::wstring& value, DWORD type) noexcept {
    return SetValue(name, type, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG RegistryKey::SetDword(const std::wstring& name, DWORD value) noexcept {
    return SetValue(name, REG_DWORD, &value, sizeof value);
}

LONG RegistryKey::DeleteValue(const std::wstring& name) noexcept {
    CallCounter::Add(ApiCall::RegDeleteValue);
    return ::RegDeleteValueW(get(), name.c_str());
}

LONG RegDeleteKeyInView(HKEY parent, const std::wstring& subkey, RegistryView view) noexcept {
    using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
    // Looked up once: advapi32 stays loaded for the life of the process.
    static const auto deleteKeyEx = reinterpret_cast<DeleteKeyEx>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"), "RegDeleteKeyExW")));
    CallCounter::Add(ApiCall::RegDeleteKey);
    if (deleteKeyEx) return deleteKeyEx(parent, subkey.c_str(), ViewAccess(view), 0);
    return ::RegDeleteKeyW(parent, subkey.c_str());
}

LONG DeleteKeyTree(HKEY parent, const std::wstring& path, RegistryView view) noexcept {
    RegistryKey key;
    LONG rc = key.Open(parent, path, KEY_READ | KEY_WRITE | DELETE, view);
    if (rc != ERROR_SUCCESS) return rc;
    // Enumerate first, delete after: deleting while enumerating shifts the indexes.
    for (const auto& child : key.SubKeyNames()) {
        rc = DeleteKeyTree(key.get(), child, view);
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return rc;
    }
    key.Close();
    return RegDeleteKeyInView(parent, path, view);
}

bool RegKeyExists(HKEY parent, const std::wstring& path, RegistryView view) noexcept {
    RegistryKey key;
    return key.Open(parent, path, KEY_QUERY_VALUE, view) == ERROR_SUCCESS;
}

}  // namespace tarvo::platform
