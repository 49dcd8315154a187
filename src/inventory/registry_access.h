#pragma once
// Registry access by root name ("HKEY_LOCAL_MACHINE" …) and view flag, as the rest of the
// program addresses keys. Each call opens its own key and never throws; a failure reads as
// empty, 0 or false. Key paths may carry a leading backslash.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::inventory {

// The predefined root for one of the five root names (any case); nullptr otherwise.
[[nodiscard]] HKEY RootFromName(const std::wstring& rootName) noexcept;
// The name of a predefined root; empty for any other handle.
[[nodiscard]] std::wstring RootName(HKEY root);

// REG_SZ or REG_EXPAND_SZ as stored (not expanded); empty otherwise.
[[nodiscard]] std::wstring ReadStringValue(const std::wstring& rootName, const std::wstring& keyPath,
                                           const std::wstring& valueName, bool view64);
// REG_DWORD widened with its sign; 0 otherwise.
[[nodiscard]] std::int64_t ReadIntegerValue(const std::wstring& rootName, const std::wstring& keyPath,
                                            const std::wstring& valueName, bool view64) noexcept;
[[nodiscard]] bool ValueExists(const std::wstring& rootName, const std::wstring& keyPath,
                               const std::wstring& valueName, bool view64) noexcept;

// The key path itself, then every descendant at every depth, breadth first, each level in
// registry order. Returns the list's count.
int ListKeyTree(const std::wstring& rootName, const std::wstring& keyPath, std::vector<std::wstring>& keys,
                bool view64);

// Deletes the key with everything below it. True when it is gone (or was never there);
// false for an invalid root, an empty path (that would be the root itself) or a failed delete.
[[nodiscard]] bool DeleteKey(const std::wstring& rootName, const std::wstring& keyPath, bool view64) noexcept;
[[nodiscard]] bool DeleteKey(HKEY root, const std::wstring& keyPath, bool view64) noexcept;
// True when the value is gone: deleted, never there, or its key cannot be opened.
[[nodiscard]] bool DeleteValue(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                               bool view64) noexcept;

// "HKEY_CURRENT_USER\Software\X", and with a value: "… | Name - data" ("Default" for the
// unnamed value).
[[nodiscard]] std::wstring RegistryItemText(HKEY root, const std::wstring& keyPath,
                                            const std::wstring& valueName = {}, const std::wstring& data = {});

// Key paths are written with a leading backslash in entries; the registry wants none.
[[nodiscard]] std::wstring RelativeKeyPath(const std::wstring& keyPath);

}  // namespace tarvo::inventory
