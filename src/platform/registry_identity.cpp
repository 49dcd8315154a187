#include "platform/registry_identity.h"

#include <cstring>
#include <cwctype>
#include <vector>

namespace tarvo::platform {

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
        LONG status = query(key.get(), kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status != 0 && needed > buffer.size()) {
            buffer.resize(needed);
            status = query(key.get(), kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
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

}  // namespace tarvo::platform
