#pragma once
// Text rules that turn an uninstall command, icon specification or install location into a
// path: quoting and NT prefixes stripped, the usual uninstaller wrappers removed, arguments
// cut. Pure functions of their text (and of the path macros).

#include <string>

#include "inventory/soft_info.h"

namespace tarvo::inventory {

// When a rundll loader word ("RUNDLL32.EXE" …) is removed from a command. The callers differ
// on purpose: a folder lookup tolerates more than a date lookup or a location repair.
enum class RundllRemoval {
    Anywhere,                // whenever the word occurs
    FirstOrAfterBlank,       // the word starts the text, or " word" occurs after the first character
    FirstOrBlankAnywhere,    // the word starts the text, or " word" occurs anywhere
};

// Quotes, "\??\" and doubled backslashes removed, path macros expanded, rundll words removed,
// the Visual Basic and driver-package uninstallers reduced to their argument, blanks trimmed.
// The wrapper words are matched in upper case only: callers upper-case when they mean it.
[[nodiscard]] std::wstring CleanCommandText(const std::wstring& text, RundllRemoval rundll);

// Cuts the text right after the earliest executable extension (".exe", ".dll" …); unchanged
// when there is none.
[[nodiscard]] std::wstring CutAtExecutable(const std::wstring& text);

// The text the file lookups start from: the upper-case uninstall command (or display icon for
// toolbar entries and entries without command), or "Readme" for Windows Installer products.
// With `preferToolbarFile`, a toolbar's manifest file wins.
[[nodiscard]] std::wstring MainFileText(const TSoftInfo& entry, bool preferToolbarFile = false);

// "{12345678-90AB-CDEF-1234-567890ABCDEF}" -> "87654321BA09FEDC2143658709BADCFE", the form
// Windows Installer keys its product records by; empty for a text that is not 38 characters.
[[nodiscard]] std::wstring PackedProductCode(const std::wstring& bracedGuid);

// "path,index" -> index as an integer; 0 when it is not a number.
[[nodiscard]] int IconIndexFromText(const std::wstring& text) noexcept;

// The stored-command macros: "%WINDOWS%", "%SYSTEM%", "%APP%\" and "%APP%/" (case-sensitive).
[[nodiscard]] std::wstring ExpandShellCommandMacros(const std::wstring& text, const std::wstring& windowsFolder,
                                                    const std::wstring& systemFolder,
                                                    const std::wstring& programFolder);

}  // namespace tarvo::inventory
