#pragma once
// Move-only owners for Win32 handles, after WIL's unique_any: each traits type states how
// its handle closes and which value means "no handle".

#include <windows.h>
#include <utility>

namespace tarvo::platform {

template <typename Traits>
class unique_any {
public:
    using pointer = typename Traits::type;

    unique_any() noexcept = default;
    explicit unique_any(pointer value) noexcept : value_(value) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_any() { reset(); }

    [[nodiscard]] pointer get() const noexcept { return value_; }
    [[nodiscard]] bool is_valid() const noexcept { return value_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return is_valid(); }

    void reset(pointer value = Traits::invalid()) noexcept {
        pointer old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }
    [[nodiscard]] pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }

    // For out-parameter APIs: closes what is held, then hands out the address.
    [[nodiscard]] pointer* put() noexcept {
        reset();
        return &value_;
    }

private:
    pointer value_ = Traits::invalid();
};

namespace traits {
struct handle_null {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return nullptr; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct handle_invalid {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct find_handle {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::FindClose(h); }
};
struct registry_key {
    using type = HKEY;
    static HKEY invalid() noexcept { return nullptr; }
    static void close(HKEY h) noexcept { ::RegCloseKey(h); }
};
struct module_handle {
    using type = HMODULE;
    static HMODULE invalid() noexcept { return nullptr; }
    static void close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
}  // namespace traits

// Process, thread, job, event, mutex: null means none.
using unique_handle = unique_any<traits::handle_null>;
// CreateFile: INVALID_HANDLE_VALUE means none. Deliberately a different type.
using unique_hfile = unique_any<traits::handle_invalid>;
using unique_hfind = unique_any<traits::find_handle>;
using unique_hkey = unique_any<traits::registry_key>;
using unique_hmodule = unique_any<traits::module_handle>;

}  // namespace tarvo::platform
