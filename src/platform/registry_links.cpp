#include "platform/registry_links.h"

#include "platform/call_counter.h"

#ifndef REG_OPTION_OPEN_LINK
#define REG_OPTION_OPEN_LINK 0x00000008L
#endif

namespace tarvo::platform {

namespace {

constexpr wchar_t kLinkValue[] = L"SymbolicLinkValue";

LONG OpenLinkKey(HKEY root, const std::wstring& path, REGSAM access, RegistryView view, unique_hkey& key) noexcept {
    CallCounter::Add(ApiCall::RegOpenKey);
    return ::RegOpenKeyExW(root, path.c_str(), REG_OPTION_OPEN_LINK, access | ViewAccess(view), key.put());
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
