#include "platform/registry.h"

#include <cstring>
#include <cwctype>
#include <vector>

#include "platform/call_counter.h"
#include "platform/read_memo.h"

namespace tarvo::platform {

namespace {
// Key names are limited to 255 characters, value names to 16,383.
constexpr DWORD kMaxKeyName = 256;
constexpr DWORD kMaxValueName = 16384;
// A value can change between the size query and the read; retry, but not forever.
constexpr int kMoreDataRetries = 4;
}  // namespace

REGSAM ViewAccess(RegistryView view) noexcept {
#ifdef _WIN64
    return view == RegistryView::Wow64_64Key ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
#else
    return view == RegistryView::Wow64_64Key ? KEY_WOW64_64KEY : 0;
#endif
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

RegistryKey::RegistryKey(RegistryKey&& other) noexcept : KeyHandle(other.key_), owned_(std::move(other.owned_)) {
    other.key_ = nullptr;
}

RegistryKey::~RegistryKey() { Close(); }

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        owned_ = std::move(other.owned_);
        key_ = other.key_;
        other.key_ = nullptr;
    }
    return *this;
}

LONG RegistryKey::Open(HKEY parent, const std::wstring& path, REGSAM access, RegistryView view) noexcept {
    if (ReadMemo* memo = ReadMemo::Active()) {
        LONG rc = ERROR_SUCCESS;
        HKEY token = nullptr;
        if (memo->Open(parent, path, access | ViewAccess(view), rc, token)) {
            if (rc == ERROR_SUCCESS) {
                Close();
                key_ = token;
            }
            return rc;
        }
    }
    CallCounter::Add(ApiCall::RegOpenKey);
    HKEY opened = nullptr;
    const LONG rc = ::RegOpenKeyExW(RealKeyOf(parent), path.c_str(), 0, access | ViewAccess(view), &opened);
    if (rc == ERROR_SUCCESS) {
        owned_.reset(opened);
        key_ = opened;
    }
    return rc;
}

LONG RegistryKey::Create(HKEY parent, const std::wstring& path, REGSAM access, RegistryView view) noexcept {
    CallCounter::Add(ApiCall::RegCreateKey);
    HKEY created = nullptr;
    const LONG rc = ::RegCreateKeyExW(RealKeyOf(parent), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      access | ViewAccess(view), nullptr, &created, nullptr);
    if (rc == ERROR_SUCCESS) {
        owned_.reset(created);
        key_ = created;
    }
    return rc;
}

void RegistryKey::Close() noexcept {
    if (key_ && !owned_)
        if (ReadMemo* memo = ReadMemo::Active()) memo->Release(key_);
    owned_.reset();
    key_ = nullptr;
}

LONG KeyHandle::EnumKey(DWORD index, std::wstring& name) const noexcept {
    if (ReadMemo* memo = ReadMemo::Active(); memo && memo->IsToken(key_)) return memo->EnumKey(key_, index, name);
    CallCounter::Add(ApiCall::RegEnumKey);
    wchar_t buffer[kMaxKeyName];
    DWORD length = kMaxKeyName;
    const LONG rc = ::RegEnumKeyExW(get(), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) name.assign(buffer, length);
    return rc;
}

LONG KeyHandle::EnumValue(DWORD index, std::wstring& name, RegistryValue* value) const noexcept {
    if (ReadMemo* memo = ReadMemo::Active(); memo && memo->IsToken(key_))
        return memo->EnumValue(key_, index, name, value);
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

std::vector<std::wstring> KeyHandle::SubKeyNames() const noexcept {
    std::vector<std::wstring> names;
    std::wstring name;
    for (DWORD i = 0; EnumKey(i, name) == ERROR_SUCCESS; ++i) names.push_back(name);
    return names;
}

std::vector<std::wstring> KeyHandle::ValueNames() const noexcept {
    std::vector<std::wstring> names;
    std::wstring name;
    for (DWORD i = 0; EnumValue(i, name) == ERROR_SUCCESS; ++i) names.push_back(name);
    return names;
}

std::optional<RegistryValue> KeyHandle::QueryValue(const std::wstring& name) const noexcept {
    if (ReadMemo* memo = ReadMemo::Active(); memo && memo->IsToken(key_)) return memo->QueryValue(key_, name);
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

std::optional<std::wstring> KeyHandle::QueryString(const std::wstring& name) const noexcept {
    auto value = QueryValue(name);
    return value ? value->AsString() : std::nullopt;
}

std::optional<DWORD> KeyHandle::QueryDword(const std::wstring& name) const noexcept {
    auto value = QueryValue(name);
    return value ? value->AsDword() : std::nullopt;
}

bool KeyHandle::HasValue(const std::wstring& name) const noexcept {
    if (ReadMemo* memo = ReadMemo::Active(); memo && memo->IsToken(key_)) return memo->HasValue(key_, name);
    CallCounter::Add(ApiCall::RegQueryValue);
    return ::RegQueryValueExW(get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG KeyHandle::SetValue(const std::wstring& name, DWORD type, const void* data, DWORD size) noexcept {
    CallCounter::Add(ApiCall::RegSetValue);
    return ::RegSetValueExW(RealKeyOf(get()), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

LONG KeyHandle::SetString(const std::wstring& name, const std::wstring& value, DWORD type) noexcept {
    return SetValue(name, type, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG KeyHandle::SetDword(const std::wstring& name, DWORD value) noexcept {
    return SetValue(name, REG_DWORD, &value, sizeof value);
}

LONG KeyHandle::DeleteValue(const std::wstring& name) noexcept {
    CallCounter::Add(ApiCall::RegDeleteValue);
    return ::RegDeleteValueW(RealKeyOf(get()), name.c_str());
}

LONG RegDeleteKeyInView(HKEY parent, const std::wstring& subkey, RegistryView view) noexcept {
    using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
    // Looked up once: advapi32 stays loaded for the life of the process.
    static const auto deleteKeyEx = reinterpret_cast<DeleteKeyEx>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"), "RegDeleteKeyExW")));
    CallCounter::Add(ApiCall::RegDeleteKey);
    if (deleteKeyEx) return deleteKeyEx(RealKeyOf(parent), subkey.c_str(), ViewAccess(view), 0);
    return ::RegDeleteKeyW(RealKeyOf(parent), subkey.c_str());
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

LONG CreateKeyNotingNew(HKEY root, const std::wstring& path, RegistryView view, std::vector<std::wstring>& created) {
    std::size_t end = 0;
    LONG rc = ERROR_SUCCESS;
    while (end != std::wstring::npos) {
        end = path.find(L'\\', end + 1);
        const std::wstring prefix = path.substr(0, end);
        if (RegKeyExists(root, prefix, view)) continue;
        RegistryKey key;
        rc = key.Create(root, prefix, KEY_READ, view);
        if (rc != ERROR_SUCCESS) return rc;
        created.push_back(prefix);
    }
    return rc;
}

void DeleteKeysLeftEmpty(HKEY root, const std::vector<std::wstring>& paths, RegistryView view) noexcept {
    for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
        RegistryKey key;
        if (key.Open(root, *path, KEY_READ, view) != ERROR_SUCCESS) continue;
        const bool empty = key.SubKeyNames().empty() && key.ValueNames().empty();
        key.Close();
        if (empty) (void)RegDeleteKeyInView(root, *path, view);
    }
}

namespace {

struct RootEntry {
    const wchar_t* name;
    HKEY root;
};

const RootEntry kRoots[] = {
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}, {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

bool OpenLocation(RegistryKey& key, const RegistryLocation& location, REGSAM access,
                  const std::wstring& path) noexcept {
    return location.root && key.Open(location.root, path, access, location.view) == ERROR_SUCCESS;
}

}  // namespace

HKEY RootFromName(const std::wstring& rootName) noexcept {
    for (const auto& entry : kRoots)
        if (_wcsicmp(entry.name, rootName.c_str()) == 0) return entry.root;
    return nullptr;
}

std::wstring RootName(HKEY root) {
    for (const auto& entry : kRoots)
        if (entry.root == root) return entry.name;
    return {};
}

std::wstring RelativeKeyPath(const std::wstring& keyPath) {
    const auto first = keyPath.find_first_not_of(L'\\');
    return first == std::wstring::npos ? std::wstring() : keyPath.substr(first);
}

RegistryLocation RegistryLocation::FromNames(const std::wstring& rootName, const std::wstring& keyPath,
                                             bool view64) {
    return {RootFromName(rootName), RelativeKeyPath(keyPath), ViewOf(view64)};
}

RegistryLocation RegistryLocation::FromRoot(HKEY root, const std::wstring& keyPath, bool view64) {
    return {root, RelativeKeyPath(keyPath), ViewOf(view64)};
}

std::wstring ReadStringValue(const RegistryLocation& location, const std::wstring& valueName) {
    RegistryKey key;
    if (!OpenLocation(key, location, KEY_QUERY_VALUE, location.path)) return {};
    const auto value = key.QueryValue(valueName);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return {};
    return value->AsString().value_or(std::wstring());
}

std::int64_t ReadIntegerValue(const RegistryLocation& location, const std::wstring& valueName) noexcept {
    RegistryKey key;
    if (!OpenLocation(key, location, KEY_QUERY_VALUE, location.path)) return 0;
    const auto value = key.QueryDword(valueName);
    return value ? static_cast<std::int64_t>(static_cast<std::int32_t>(*value)) : 0;
}

bool ValueExists(const RegistryLocation& location, const std::wstring& valueName) noexcept {
    RegistryKey key;
    return OpenLocation(key, location, KEY_QUERY_VALUE, location.path) && key.HasValue(valueName);
}

int ListKeyTree(const RegistryLocation& location, std::vector<std::wstring>& keys) {
    // The list is walked from its first new element while it grows: breadth first, and it
    // keeps whatever the caller had in it already.
    keys.push_back(location.path);
    std::wstring name;
    for (std::size_t i = keys.size() - 1; i < keys.size(); ++i) {
        RegistryKey key;
        if (!OpenLocation(key, location, KEY_ENUMERATE_SUB_KEYS, keys[i])) continue;
        for (DWORD index = 0; key.EnumKey(index, name) == ERROR_SUCCESS; ++index)
            keys.push_back(keys[i] + L"\\" + name);
    }
    return static_cast<int>(keys.size());
}

bool DeleteKey(const RegistryLocation& location) noexcept {
    if (!location.root || RootName(location.root).empty() || location.path.empty()) return false;
    const LONG rc = DeleteKeyTree(location.root, location.path, location.view);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool DeleteValue(const RegistryLocation& location, const std::wstring& valueName) noexcept {
    RegistryKey key;
    if (!OpenLocation(key, location, KEY_SET_VALUE, location.path)) return true;
    const LONG rc = key.DeleteValue(valueName);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

namespace {
// A huge value once seen should not keep its buffer for every key that follows.
constexpr std::size_t kKeptDataBuffer = 64 * 1024;
}  // namespace

LONG RegistryValueSweep::Sweep(HKEY key, Visitor& visitor) noexcept {
    if (ReadMemo* memo = ReadMemo::Active(); memo && memo->IsToken(key)) {
        const std::vector<std::pair<std::wstring, RegistryValue>>* values = nullptr;
        const LONG end = memo->Values(key, values);
        if (values)
            for (const auto& [name, value] : *values)
                visitor.OnValue(name, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
        return end == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : end;
    }
    LONG rc = ERROR_SUCCESS;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = 0, type = REG_NONE, size = 0;
        for (int attempt = 0;; ++attempt) {
            CallCounter::Add(ApiCall::RegEnumValue);
            nameLength = static_cast<DWORD>(name_.size());
            size = static_cast<DWORD>(data_.size());
            rc = ::RegEnumValueW(key, index, name_.data(), &nameLength, nullptr, &type, data_.data(), &size);
            if (rc != ERROR_MORE_DATA || attempt == kMoreDataRetries) break;
            // Either buffer may be the short one; the data size is reported, the name's is not.
            if (size > data_.size())
                data_.resize(size);
            else if (name_.size() < kMaxValueName)
                name_.resize(kMaxValueName);
            else
                data_.resize(data_.size() * 2);
        }
        if (rc != ERROR_SUCCESS) break;
        if (size > data_.size()) size = static_cast<DWORD>(data_.size());
        visitor.OnValue(std::wstring_view(name_.data(), nameLength), type, data_.data(), size);
    }
    if (data_.size() > kKeptDataBuffer) {
        data_.resize(4096);
        data_.shrink_to_fit();
    }
    return rc == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : rc;
}

namespace {
constexpr ULONG kKeyNameInformation = 3;
using NtQueryKeyFn = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
}  // namespace

std::optional<std::wstring> RegistryKernelName(HKEY root, const std::wstring& path, RegistryView view) noexcept {
    try {
        RegistryKey key;
        if (key.Open(root, path, KEY_QUERY_VALUE, view) != ERROR_SUCCESS) return std::nullopt;
        const auto query = reinterpret_cast<NtQueryKeyFn>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
        if (!query) return std::nullopt;
        std::vector<unsigned char> buffer(1024);
        ULONG needed = 0;
        LONG status = query(RealKeyOf(key.get()), kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status != 0 && needed > buffer.size()) {
            buffer.resize(needed);
            status = query(RealKeyOf(key.get()), kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        }
        if (status != 0) return std::nullopt;
        ULONG length = 0;
        std::memcpy(&length, buffer.data(), sizeof(length));
        if (length > buffer.size() - sizeof(ULONG)) return std::nullopt;
        std::wstring name(length / sizeof(wchar_t), L'\0');
        std::memcpy(name.data(), buffer.data() + sizeof(ULONG), name.size() * sizeof(wchar_t));
        for (auto& c : name) c = static_cast<wchar_t>(std::towupper(c));
        return name;
    } catch (...) {
        return std::nullopt;
    }
}

namespace {

constexpr wchar_t kLinkValue[] = L"SymbolicLinkValue";

LONG OpenLinkKey(HKEY root, const std::wstring& path, REGSAM access, RegistryView view, unique_hkey& key) noexcept {
    CallCounter::Add(ApiCall::RegOpenKey);
    return ::RegOpenKeyExW(RealKeyOf(root), path.c_str(), REG_OPTION_OPEN_LINK, access | ViewAccess(view), key.put());
}

}  // namespace

bool IsRegistryLink(HKEY root, const std::wstring& path, RegistryView view) noexcept {
    unique_hkey key;
    if (OpenLinkKey(root, path, KEY_QUERY_VALUE, view, key) != ERROR_SUCCESS) return false;
    DWORD type = REG_NONE;
    CallCounter::Add(ApiCall::RegQueryValue);
    const LONG rc = ::RegQueryValueExW(key.get(), kLinkValue, nullptr, &type, nullptr, nullptr);
    return (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) && type == REG_LINK;
}

LONG DeleteKeyTreeNoLinks(HKEY root, const std::wstring& path, RegistryView view) noexcept {
    if (path.empty()) return ERROR_INVALID_PARAMETER;
    if (IsRegistryLink(root, path, view)) return ERROR_ACCESS_DENIED;
    RegistryKey key;
    LONG rc = key.Open(root, path, KEY_READ | KEY_WRITE | DELETE, view);
    if (rc != ERROR_SUCCESS) return rc;
    // Enumerate first, delete after: deleting while enumerating shifts the indexes.
    LONG firstFailure = ERROR_SUCCESS;
    for (const auto& child : key.SubKeyNames()) {
        rc = DeleteKeyTreeNoLinks(key.get(), child, view);
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND && firstFailure == ERROR_SUCCESS) firstFailure = rc;
    }
    key.Close();
    if (firstFailure != ERROR_SUCCESS) return firstFailure;
    return RegDeleteKeyInView(root, path, view);
}

LONG CreateRegistryLink(HKEY root, const std::wstring& path, const std::wstring& targetNtPath,
                        RegistryView view) noexcept {
    unique_hkey key;
    CallCounter::Add(ApiCall::RegCreateKey);
    LONG rc = ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS | KEY_CREATE_LINK | ViewAccess(view), nullptr, key.put(), nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    CallCounter::Add(ApiCall::RegSetValue);
    // The link's target is stored without a terminating zero.
    return ::RegSetValueExW(key.get(), kLinkValue, 0, REG_LINK, reinterpret_cast<const BYTE*>(targetNtPath.data()),
                            static_cast<DWORD>(targetNtPath.size() * sizeof(wchar_t)));
}

LONG DeleteRegistryLink(HKEY root, const std::wstring& path, RegistryView view) noexcept {
    using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
    unique_hkey key;
    LONG rc = OpenLinkKey(root, path, DELETE, view, key);
    if (rc != ERROR_SUCCESS) return rc;
    // RegDeleteKey would open the name and so follow the link; the native call deletes the
    // very key we hold.
    const auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
    if (!ntDeleteKey) return ERROR_CALL_NOT_IMPLEMENTED;
    CallCounter::Add(ApiCall::RegDeleteKey);
    return ntDeleteKey(key.get()) == 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

}  // namespace tarvo::platform
