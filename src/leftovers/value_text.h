#pragma once
// A registry value's data and a registry finding's line as the result tree shows them.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/registry.h"

namespace tarvo::leftovers {

// REG_SZ and REG_EXPAND_SZ as stored (unexpanded); REG_DWORD as a signed decimal number;
// every other type empty for no data, else the bytes as a zero-terminated ANSI string, and
// when that is blank, each byte in its shortest lower-case hex form without separators
// (00 0A FF 01 gives "0aff1").
[[nodiscard]] std::wstring ValueText(DWORD type, const BYTE* data, std::size_t size);

// The value read from the open key; empty when it cannot be read.
[[nodiscard]] std::wstring ReadValueText(const platform::KeyHandle& key, const std::wstring& valueName);

// "HKEY_CURRENT_USER\Software\X", and with a value: "… | Name - data" ("Default" for the
// unnamed value).
[[nodiscard]] std::wstring RegistryItemText(HKEY root, const std::wstring& keyPath,
                                            const std::wstring& valueName = {}, const std::wstring& data = {});

}  // namespace tarvo::leftovers
