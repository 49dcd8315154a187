#pragma once
// Loading a library at run time and binding an entry point by name.

#include <windows.h>

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

}  // namespace tarvo::platform
