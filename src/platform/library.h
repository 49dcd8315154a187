#pragma once
// Loading a library at run time and binding an entry point by name.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/unique_handle.h"

namespace tarvo::platform {

// LoadLibraryW; an empty handle when the library is missing or refuses to load.
[[nodiscard]] unique_hmodule LoadLibraryOf(const std::wstring& path) noexcept;

// GetProcAddress cast to the caller's function type; null when the name is not exported.
template <typename Fn>
[[nodiscard]] Fn GetProcAddressOf(HMODULE module, const char* name) noexcept {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The bytes of one resource of a loaded module (FindResourceExW, LoadResource,
// SizeofResource); nullopt when the module has no such resource.
[[nodiscard]] std::optional<std::string> LoadResourceBytes(HMODULE module, const wchar_t* type, const wchar_t* name,
                                                           WORD language) noexcept;

// LoadStringW from a library loaded for the call (as a data file), at most `capacity`
// characters; empty when the library or the string is missing.
[[nodiscard]] std::wstring LoadStringFrom(const std::wstring& library, UINT id, int capacity = 1000) noexcept;

}  // namespace tarvo::platform
