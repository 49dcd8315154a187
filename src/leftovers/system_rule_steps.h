#pragma once
// The steps inside the installer, service and value rules, and the small walks they share.
// The scan sequence reaches them through the rule families; tests call them directly.

#include <windows.h>

#include <string>
#include <vector>

#include "leftovers/regedit_scan.h"

namespace tarvo::leftovers {

inline constexpr wchar_t kInstallerDataKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer";
inline constexpr wchar_t kServicesKey[] = L"SYSTEM\\CurrentControlSet\\services";
inline constexpr wchar_t kDeviceEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum";

// The packed form Windows Installer files a product under, for an uninstall key named by a
// braced product code; empty for any other name.
[[nodiscard]] std::wstring PackedCodeOfKeyName(const std::wstring& keyName);

// Windows Installer's records of one product (packed code) below one base: the machine's
// classes "Installer" key, or the user's "Software\Microsoft\Installer".
void InstallerRule(TRegeditScanClasses& scan, HKEY root, const std::wstring& base, const std::wstring& packed);
// The per-user installer data, the machine's upgrade codes and the installer's folder list.
void MsiUserDataRule(TRegeditScanClasses& scan, const std::wstring& packed);
// Device keys of services, from instance paths such as Root\LEGACY_FOO\0000.
void DeviceKeysRule(TRegeditScanClasses& scan, const std::vector<std::wstring>& deviceInstances);

// Registry text as the needle is compared with: lower case, and with a backslash appended
// when asked and missing, so a folder written without its trailing backslash matches.
[[nodiscard]] bool TextHasFolder(const TRegeditScanClasses& scan, const std::wstring& text, bool appendBackslash);
// True when any value of the open key, read as text, holds the folder. Only string values
// are read when stringsOnly is set.
[[nodiscard]] bool AnyValueHasFolder(const TRegeditScanClasses& scan, const TScanKey& key, bool stringsOnly,
                                     bool appendBackslash);
// Reports each value of root\keyPath whose text holds the folder.
void ReportValuesWithFolder(TRegeditScanClasses& scan, HKEY root, const std::wstring& keyPath);
// Opens a subkey through its parent's handle, in the parent's view.
[[nodiscard]] bool OpenChild(const TRegeditScanClasses& scan, const TScanKey& parent, const std::wstring& name,
                             TScanKey& child);

}  // namespace tarvo::leftovers
