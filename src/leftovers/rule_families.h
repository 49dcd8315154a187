#pragma once
// The rule families of a leftover scan. The driver calls them in a fixed order (later rules
// read what earlier ones recorded in the shared sets); each family lives in a file of its
// own group and reports only through the scanner's primitives.

#include <windows.h>

#include <string>

#include "leftovers/regedit_scan.h"

namespace tarvo::leftovers {

// COM classes and file classes.
void ComClassRule(TRegeditScanClasses& scan);
void AppIdKeysRule(TRegeditScanClasses& scan);
void ReservedClassVerbRule(TRegeditScanClasses& scan);
// root: HKEY_CURRENT_USER (into UserClasses) or HKEY_LOCAL_MACHINE (into ProgIds).
void ClassesRule(TRegeditScanClasses& scan, HKEY root, TRuleSet& reportSet);
void InterfaceRule(TRegeditScanClasses& scan);
void ShellExtensionApprovalRule(TRegeditScanClasses& scan);
void RunToolbarRule(TRegeditScanClasses& scan, const std::wstring& toolbarKey);

// Installer records, services and the other registry locations.
void UninstallKeyRules(TRegeditScanClasses& scan);
void ServicesRule(TRegeditScanClasses& scan);
void FirewallRule(TRegeditScanClasses& scan);
void RunKeyRule(TRegeditScanClasses& scan, HKEY root);
void AppPathsRule(TRegeditScanClasses& scan);
void VendorKeyWalk(TRegeditScanClasses& scan, HKEY root);
// "Software\<Publisher>\<Program>" in both roots and, on 64-bit Windows, both views.
void SettingsKeyRule(TRegeditScanClasses& scan);
void ControlPanelRule(TRegeditScanClasses& scan);
void ClientsRule(TRegeditScanClasses& scan);
void EventLogRule(TRegeditScanClasses& scan);
void DisplayNameCacheRule(TRegeditScanClasses& scan);
void MakerKeysRule(TRegeditScanClasses& scan);

// The file system. installFolder: where the program's files are; productCode: the
// installer's product code text (empty for a folder-only scan); mainFileName: the file
// a bare path named (empty for a full scan); searchStats: when given, what the search of the
// application-data and start-menu trees cost.
struct TFolderSearchStats;
struct FileRuleInput {
    std::wstring installFolder;
    std::wstring productCode;
    std::wstring mainFileName;
    TFolderSearchStats* searchStats = nullptr;
};
void RunFileRules(TRegeditScanClasses& scan, const FileRuleInput& input);

// The whole registry sequence of a full scan, ending with the file rules.
void RunRegistryRules(TRegeditScanClasses& scan);

}  // namespace tarvo::leftovers
