#pragma once
// Registry symbolic links: telling a link from a key, and deleting a key tree without ever
// following a link into whatever it points at.

#include <windows.h>

#include <string>

#include "platform/registry.h"

namespace tarvo::platform {

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
