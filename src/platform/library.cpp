#include "platform/library.h"

namespace tarvo::platform {

unique_hmodule LoadLibraryOf(const std::wstring& path) noexcept {
    // No "cannot find the library" box on old systems: a missing library is an answer.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    unique_hmodule module(::LoadLibraryW(path.c_str()));
    ::SetErrorMode(previous);
    return module;
}

std::optional<std::string> LoadResourceBytes(HMODULE module, const wchar_t* type, const wchar_t* name,
                                             WORD language) noexcept {
    try {
        const HRSRC found = ::FindResourceExW(module, type, name, language);
        if (!found) return std::nullopt;
        const HGLOBAL loaded = ::LoadResource(module, found);
        const DWORD size = ::SizeofResource(module, found);
        const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
        if (!bytes) return std::nullopt;
        return std::string(static_cast<const char*>(bytes), size);
    } catch (...) {
        return std::nullopt;
    }
}

std::wstring LoadStringFrom(const std::wstring& library, UINT id, int capacity) noexcept {
    try {
        const unique_hmodule module(::LoadLibraryExW(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (!module || capacity <= 0) return {};
        std::wstring text(static_cast<std::size_t>(capacity), L'\0');
        const int length = ::LoadStringW(module.get(), id, text.data(), capacity);
        text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        return text;
    } catch (...) {
        return {};
    }
}

}  // namespace tarvo::platform
