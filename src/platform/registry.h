#pragma once
// Registry keys in either view of a WOW64 process. Thin, counted, never throws: a failed
// call returns its Win32 error and leaves the outputs alone; a missing value is nullopt.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace tarvo::platform {

// Which view a 32-bit process sees. Default is what the process gets without asking
// (the WOW6432Node side on 64-bit Windows); Wow64_64Key asks for the native 64-bit view.
enum class RegistryView { Default, Wow64_64Key };

[[nodiscard]] REGSAM ViewAccess(RegistryView view) noexcept;

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    // The data as text when it is a string type: cut at the first zero, tolerating a missing
    // terminator and an odd byte count. Other types give nullopt.
    [[nodiscard]] std::optional<std::wstring> AsString() const;
    // REG_DWORD (4 bytes or more); other types give nullopt.
    [[nodiscard]] std::optional<DWORD> AsDword() const;
};

class RegistryKey {
public:
    RegistryKey() noexcept = default;
    explicit RegistryKey(HKEY borrowed) noexcept;  // wraps a predefined root; never closed

    [[nodiscard]] LONG Open(HKEY parent, const std::wstring& path, REGSAM access = KEY_READ,
                            RegistryView view = RegistryView::Default) noexcept;
    [[nodiscard]] LONG Create(HKEY parent, const std::wstring& path,
                              REGSAM access = KEY_READ | KEY_WRITE,
                              RegistryView view = RegistryView::Default) noexcept;
    void Close() noexcept;

    [[nodiscard]] HKEY get() const noexcept { return borrowed_ ? borrowed_ : key_.get(); }
    [[nodiscard]] bool IsOpen() const noexcept { return get() != nullptr; }

    // Registry order, as RegEnumKeyEx/RegEnumValue give it.
    [[nodiscard]] LONG EnumKey(DWORD index, std::wstring& name) const noexcept;
    [[nodiscard]] LONG EnumValue(DWORD index, std::wstring& name, RegistryValue* value = nullptr) const noexcept;
    [[nodiscard]] std::vector<std::wstring> SubKeyNames() const noexcept;
    [[nodiscard]] std::vector<std::wstring> ValueNames() const noexcept;

    [[nodiscard]] std::optional<RegistryValue> QueryValue(const std::wstring& name) const noexcept;
    [[nodiscard]] std::optional<std::wstring> QueryString(const std::wstring& name) const noexcept;
    [[nodiscard]] std::optional<DWORD> QueryDword(const std::wstring& name) const noexcept;
    [[nodiscard]] bool HasValue(const std::wstring& name) const noexcept;

    [[nodiscard]] LONG SetValue(const std::wstring& name, DWORD type, const void* data, DWORD size) noexcept;
    [[nodiscard]] LONG SetString(const std::wstring& name, const std::wstring& value, DWORD type = REG_SZ) noexcept;
    [[nodiscard]] LONG SetDword(const std::wstring& name, DWORD value) noexcept;
    [[nodiscard]] LONG DeleteValue(const std::wstring& name) noexcept;

private:
    unique_hkey key_;
    HKEY borrowed_ = nullptr;
};

// RegDeleteKeyEx where it exists (XP x64 and later), RegDeleteKey otherwise.
[[nodiscard]] LONG RegDeleteKeyInView(HKEY parent, const std::wstring& subkey, RegistryView view) noexcept;
// Deletes a key with every subkey and value below it, all in one view.
[[nodiscard]] LONG DeleteKeyTree(HKEY parent, const std::wstring& path, RegistryView view) noexcept;
[[nodiscard]] bool RegKeyExists(HKEY parent, const std::wstring& path, RegistryView view) noexcept;

}  // namespace tarvo::platform
