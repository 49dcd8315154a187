#pragma once
// Registry keys and values as text in the registry editor's ".reg" format (version 5.00),
// and that text written back. Only what the export writes needs to read back: keys, named
// and default values of every type.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/registry.h"

namespace tarvo::platform {

inline constexpr wchar_t kRegFileHeader[] = L"Windows Registry Editor Version 5.00";

// "HKEY_CURRENT_USER" for the predefined roots; empty otherwise.
[[nodiscard]] std::wstring RegRootName(HKEY root);
[[nodiscard]] HKEY RegRootFromName(const std::wstring& name) noexcept;

// Appends "[root\path]" and its values, then every subkey the same way, each block followed by
// an empty line. A subkey that is a link is not followed. False when the key cannot be opened.
bool AppendKeyTreeExport(HKEY root, const std::wstring& path, RegistryView view, std::wstring& text);
// Appends "[root\path]" with the one value. False when the value cannot be read.
bool AppendValueExport(HKEY root, const std::wstring& path, const std::wstring& valueName, RegistryView view,
                       std::wstring& text);
// One value line: "\"name\"=..." or "@=..." for the unnamed value.
[[nodiscard]] std::wstring RegValueLine(const std::wstring& name, const RegistryValue& value);

struct RegImportResult {
    int keys = 0;
    int values = 0;
    int failures = 0;  // keys that could not be created, values that could not be written or parsed
    // With keepExisting: "root\\path | name" ("Default" for the unnamed value) of every value
    // that was there already and was left as it is.
    std::vector<std::wstring> kept;
};
// Creates every key the text names and writes its values, in the given view. Lines that are
// neither keys nor values are skipped; "[-…]" deletions are not carried out. With keepExisting
// a value that exists already is never written over.
RegImportResult ImportRegText(const std::wstring& text, RegistryView view, bool keepExisting = false);

}  // namespace tarvo::platform
