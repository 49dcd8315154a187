#pragma once
// The exported program list: a plain text file a user can read, mail or print. UTF-16LE with
// a byte-order mark and CR LF line ends, so Notepad on every Windows version opens it.

#include <string>

#include "inventory/inventory.h"

namespace tarvo::inventory {

inline constexpr wchar_t kExportDefaultName[] = L"Software List";
inline constexpr wchar_t kExportDefaultExtension[] = L"txt";
inline constexpr wchar_t kExportFilter[] = L"Text(*.txt)|*.txt";

struct ExportHeader {
    std::wstring applicationVersion;  // our own file version
    std::wstring windowsName;
    TDateTime exportedAt = 0;
};

// The header of this run: our file version, the Windows name, now.
[[nodiscard]] ExportHeader CurrentExportHeader();

// A chosen file name without ".txt" anywhere in it (ignoring case) gets ".txt" appended.
[[nodiscard]] std::wstring ExportFileName(const std::wstring& chosen);

// The whole text: the header block, then one block per visible entry (updates included) in
// catalogue order.
[[nodiscard]] std::wstring ExportText(const TSoftList& entries, const ExportHeader& header);

// The file's bytes: byte-order mark, then the text in UTF-16LE.
[[nodiscard]] std::string ExportBytes(const std::wstring& text);

// Writes the list to `path`; false when the file could not be written completely.
bool WriteExportFile(const std::wstring& path, const TSoftList& entries, const ExportHeader& header);

}  // namespace tarvo::inventory
