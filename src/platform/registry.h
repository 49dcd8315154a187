#pragma once
// Registry keys and values in either view of a WOW64 process: open, read, write, delete,
// the links and key identities the kernel knows. Thin, counted, never throws.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/unique_handle.h"

namespace tarvo::platform {

// Registry keys in either view of a WOW64 process. Thin, counted, never throws: a failed
// call returns its Win32 error and leaves the outputs alone; a missing value is nullopt.

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

// Reads every value of an open key in one sweep of RegEnumValue, reusing its buffers from
// key to key: the cheap way to read many values of many small keys.

class RegistryValueSweep {
public:
    // Receives each value in registry order; the views are valid only during the call.
    // OnValue must not throw: the sweep is called from code that cannot unwind.
    class Visitor {
    public:
        virtual void OnValue(std::wstring_view name, DWORD type, const BYTE* data, DWORD size) = 0;

    protected:
        ~Visitor() = default;
    };

    // ERROR_SUCCESS when every value was visited (ERROR_NO_MORE_ITEMS is the normal end);
    // otherwise the error that stopped the sweep, after the values before it were visited.
    [[nodiscard]] LONG Sweep(HKEY key, Visitor& visitor) noexcept;

private:
    std::vector<wchar_t> name_ = std::vector<wchar_t>(260);
    std::vector<BYTE> data_ = std::vector<BYTE>(4096);
};

// Which key a path really names. On 64-bit Windows the same path opens one key in both views
// where the key is shared, and two different keys where the 32-bit view is redirected; only
// the key's own kernel name tells which.

// The key's kernel name ("\REGISTRY\MACHINE\SOFTWARE\Wow6432Node\…"), upper case; nothing
// when the key does not open or the system will not say (NtQueryKey, KeyNameInformation).
[[nodiscard]] std::optional<std::wstring> RegistryKernelName(HKEY root, const std::wstring& path,
                                                             RegistryView view) noexcept;

// Registry symbolic links: telling a link from a key, and deleting a key tree without ever
// following a link into whatever it points at.

// True when `path` below `root` is itself a symbolic link (opened with REG_OPTION_OPEN_LINK,
// it holds a REG_LINK value "SymbolicLinkValue").
[[nodiscard]] bool IsRegistryLink(HKEY root, const std::wstring& path, RegistryView view) noexcept;

// Deletes the key with its subkeys and values, in one view. A subkey that is a link is left
// alone (so its parent cannot go either: the call then fails); the key itself being a link
// is refused with ERROR_ACCESS_DENIED. ERROR_SUCCESS when the key is gone.
[[nodiscard]] LONG DeleteKeyTreeNoLinks(HKEY root, const std::wstring& path, RegistryView view) noexcept;

// For tests and repairs: creates `path` as a link to `targetNtPath` ("\Registry\Machine\…").
[[nodiscard]] LONG CreateRegistryLink(HKEY root, const std::wstring& path, const std::wstring& targetNtPath,
                                      RegistryView view) noexcept;
// Removes a link key itself, never its target.
[[nodiscard]] LONG DeleteRegistryLink(HKEY root, const std::wstring& path, RegistryView view) noexcept;

}  // namespace tarvo::platform
