#include "inventory/registry_access.h"

#include <cwchar>

#include "platform/registry.h"

namespace tarvo::inventory {

namespace {

using platform::RegistryKey;
using platform::RegistryView;

constexpr RegistryView ViewOf(bool view64) noexcept {
    return view64 ? RegistryView::Wow64_64Key : RegistryView::Default;
}

struct RootEntry {
    const wchar_t* name;
    HKEY root;
};

const RootEntry kRoots[] = {
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}, {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

bool OpenForRead(RegistryKey& key, const std::wstring& rootName, const std::wstring& keyPath, REGSAM access,
                 bool view64) noexcept {
    const HKEY root = RootFromName(rootName);
    if (!root) return false;
    return key.Open(root, RelativeKeyPath(keyPath), access, ViewOf(view64)) == ERROR_SUCCESS;
}

}  // namespace

std::wstring RelativeKeyPath(const std::wstring& keyPath) {
    const auto first = keyPath.find_first_not_of(L'\\');
    return first == std::wstring::npos ? std::wstring() : keyPath.substr(first);
}

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

std::wstring ReadStringValue(const std::wstring& rootName, const std::wstring& keyPath,
                             const std::wstring& valueName, bool view64) {
    RegistryKey key;
    if (!OpenForRead(key, rootName, keyPath, KEY_QUERY_VALUE, view64)) return {};
    const auto value = key.QueryValue(valueName);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return {};
    return value->AsString().value_or(std::wstring());
}

std::int64_t ReadIntegerValue(const std::wstring& rootName, const std::wstring& keyPath,
                              const std::wstring& valueName, bool view64) noexcept {
    RegistryKey key;
    if (!OpenForRead(key, rootName, keyPath, KEY_QUERY_VALUE, view64)) return 0;
    const auto value = key.QueryDword(valueName);
    return value ? static_cast<std::int64_t>(static_cast<std::int32_t>(*value)) : 0;
}

bool ValueExists(const std::wstring& rootName, const std::wstring& keyPath, const std::wstring& valueName,
                 bool view64) noexcept {
    RegistryKey key;
    return OpenForRead(key, rootName, keyPath, KEY_QUERY_VALUE, view64) && key.HasValue(valueName);
}

int ListKeyTree(const std::wstring& rootName, const std::wstring& keyPath, std::vector<std::wstring>& keys,
                bool view64) {
    // The list is walked from its first element while it grows: breadth first, and it
    // includes whatever the caller had in it already.
    keys.push_back(keyPath);
    std::wstring name;
    for (std::size_t i = keys.size() - 1; i < keys.size(); ++i) {
        RegistryKey key;
        if (!OpenForRead(key, rootName, keys[i], KEY_ENUMERATE_SUB_KEYS, view64)) continue;
        for (DWORD index = 0; key.EnumKey(index, name) == ERROR_SUCCESS; ++index)
            keys.push_back(keys[i] + L"\\" + name);
    }
    return static_cast<int>(keys.size());
}

bool DeleteKey(const std::wstring& rootName, const std::wstring& keyPath, bool view64) noexcept {
    return DeleteKey(RootFromName(rootName), keyPath, view64);
}

bool DeleteKey(HKEY root, const std::wstring& keyPath, bool view64) noexcept {
    if (!root || RootName(root).empty()) return false;
    const std::wstring relative = RelativeKeyPath(keyPath);
    if (relative.empty()) return false;
    const LONG rc = platform::DeleteKeyTree(root, relative, ViewOf(view64));
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool DeleteValue(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, bool view64) noexcept {
    if (!root) return true;
    RegistryKey key;
    if (key.Open(root, RelativeKeyPath(keyPath), KEY_SET_VALUE, ViewOf(view64)) != ERROR_SUCCESS) return true;
    const LONG rc = key.DeleteValue(valueName);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::wstring RegistryItemText(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                              const std::wstring& data) {
    std::wstring text = RootName(root) + L"\\" + RelativeKeyPath(keyPath);
    if (!valueName.empty() || !data.empty())
        text += L" | " + (valueName.empty() ? std::wstring(L"Default") : valueName) + L" - " + data;
    return text;
}

}  // namespace tarvo::inventory
