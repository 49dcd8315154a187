#pragma once
// Registry keys and values in either view of a WOW64 process: open, read, write, delete,
// the links and key identities the kernel knows. Thin, counted, never throws.

#include <windows.h>

#include <cstdint>
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
// The 64-bit build asks for the WOW6432Node side by name, so both builds mean the same keys.
enum class RegistryView { Default, Wow64_64Key };

[[nodiscard]] REGSAM ViewAccess(RegistryView view) noexcept;

// The records the program keeps (entries, findings) name a key by its root's name
// ("HKEY_LOCAL_MACHINE"), a path that may start with a backslash, and a flag for the 64-bit
// view. They are turned into a RegistryLocation once, where they are read; everything below
// speaks locations.
[[nodiscard]] constexpr RegistryView ViewOf(bool view64) noexcept {
    return view64 ? RegistryView::Wow64_64Key : RegistryView::Default;
}
[[nodiscard]] constexpr bool Is64(RegistryView view) noexcept { return view == RegistryView::Wow64_64Key; }

// The predefined root for one of the five root names (any case); nullptr otherwise.
[[nodiscard]] HKEY RootFromName(const std::wstring& rootName) noexcept;
// The name of a predefined root; empty for any other handle.
[[nodiscard]] std::wstring RootName(HKEY root);
// Key paths are written with a leading backslash in entries; the registry wants none.
[[nodiscard]] std::wstring RelativeKeyPath(const std::wstring& keyPath);

// One key: its root, its path below the root (no leading backslash) and the view to open it in.
struct RegistryLocation {
    HKEY root = nullptr;
    std::wstring path;
    RegistryView view = RegistryView::Default;

    auto operator<=>(const RegistryLocation&) const = default;

    // From a record's root name, path and view flag; the root is nullptr for an unknown name.
    [[nodiscard]] static RegistryLocation FromNames(const std::wstring& rootName, const std::wstring& keyPath,
                                                    bool view64);
    // From a record's root handle, path and view flag.
    [[nodiscard]] static RegistryLocation FromRoot(HKEY root, const std::wstring& keyPath, bool view64);
};

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    // The data as text when it is a string type: cut at the first zero, tolerating a missing
    // terminator and an odd byte count. Other types give nullopt.
    [[nodiscard]] std::optional<std::wstring> AsString() const;
    // REG_DWORD (4 bytes or more); other types give nullopt.
    [[nodiscard]] std::optional<DWORD> AsDword() const;
};

// The operations on an open key, whoever owns it. Never made on its own: a key is either a
// RegistryKey (opened here, closed by its destructor) or a BorrowedKey (a predefined root or a
// handle someone else owns, never closed).
class KeyHandle {
public:
    [[nodiscard]] HKEY get() const noexcept { return key_; }
    [[nodiscard]] bool IsOpen() const noexcept { return key_ != nullptr; }

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

protected:
    KeyHandle() noexcept = default;
    explicit KeyHandle(HKEY key) noexcept : key_(key) {}
    KeyHandle(const KeyHandle&) noexcept = default;
    KeyHandle& operator=(const KeyHandle&) noexcept = default;
    ~KeyHandle() = default;

    HKEY key_ = nullptr;  // mirrors the owner's handle; never closed through this member
};

// A key this object opened or created; closed when it goes.
class RegistryKey : public KeyHandle {
public:
    RegistryKey() noexcept = default;
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey();

    [[nodiscard]] LONG Open(HKEY parent, const std::wstring& path, REGSAM access = KEY_READ,
                            RegistryView view = RegistryView::Default) noexcept;
    [[nodiscard]] LONG Create(HKEY parent, const std::wstring& path,
                              REGSAM access = KEY_READ | KEY_WRITE,
                              RegistryView view = RegistryView::Default) noexcept;
    void Close() noexcept;

private:
    unique_hkey owned_;
};

// A predefined root (HKEY_LOCAL_MACHINE …) or a key someone else owns: read and written
// through the same operations, never closed here.
class BorrowedKey : public KeyHandle {
public:
    explicit BorrowedKey(HKEY key) noexcept : KeyHandle(key) {}
};

// RegDeleteKeyEx where it exists (XP x64 and later), RegDeleteKey otherwise.
[[nodiscard]] LONG RegDeleteKeyInView(HKEY parent, const std::wstring& subkey, RegistryView view) noexcept;
// Deletes a key with every subkey and value below it, all in one view.
[[nodiscard]] LONG DeleteKeyTree(HKEY parent, const std::wstring& path, RegistryView view) noexcept;
[[nodiscard]] bool RegKeyExists(HKEY parent, const std::wstring& path, RegistryView view) noexcept;

// Creates `path` one level at a time and appends the keys this call made (outermost first)
// to `created`, so whoever registers something can later take away exactly the keys it
// added and none that were there before.
LONG CreateKeyNotingNew(HKEY root, const std::wstring& path, RegistryView view, std::vector<std::wstring>& created);
// Deletes each key of `paths`, innermost first, that has neither subkeys nor values left.
void DeleteKeysLeftEmpty(HKEY root, const std::vector<std::wstring>& paths, RegistryView view) noexcept;

// Reads and deletes by location. Each call opens its own key and never throws; a failure
// reads as empty, 0 or false.

// REG_SZ or REG_EXPAND_SZ as stored (not expanded); empty otherwise.
[[nodiscard]] std::wstring ReadStringValue(const RegistryLocation& key, const std::wstring& valueName);
// REG_DWORD widened with its sign; 0 otherwise.
[[nodiscard]] std::int64_t ReadIntegerValue(const RegistryLocation& key, const std::wstring& valueName) noexcept;
[[nodiscard]] bool ValueExists(const RegistryLocation& key, const std::wstring& valueName) noexcept;
// The key path itself, then every descendant at every depth, breadth first, each level in
// registry order, appended to `keys`. Returns the list's count.
int ListKeyTree(const RegistryLocation& key, std::vector<std::wstring>& keys);
// Deletes the key with everything below it. True when it is gone (or was never there);
// false for a root that is not predefined, an empty path (that would be the root itself) or
// a failed delete.
[[nodiscard]] bool DeleteKey(const RegistryLocation& key) noexcept;
// True when the value is gone: deleted, never there, or its key cannot be opened.
[[nodiscard]] bool DeleteValue(const RegistryLocation& key, const std::wstring& valueName) noexcept;

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
