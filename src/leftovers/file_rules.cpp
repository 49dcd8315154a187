// The file system: the install folder with everything in it, and the program's folders in
// the data, start-menu and desktop trees. Steps that have not landed yet find nothing.
#include "leftovers/rule_families.h"

#include <shlobj.h>

#include "inventory/text_util.h"
#include "platform/files.h"

namespace tarvo::leftovers {

namespace {

using inventory::LowerCase;

void MsiComponentFolderRule(TRegeditScanClasses&, TVisitedSet&) {}
void NamedFolderRule(TRegeditScanClasses&, int /*csidl*/, TVisitedSet&) {}
void InstallerIconCacheRule(TRegeditScanClasses&, int /*csidl*/, const std::wstring& /*productCode*/, TVisitedSet&) {}
void ShortcutRule(TRegeditScanClasses&, int /*csidl*/, const std::wstring& /*installFolder*/) {}
void MakerPathsRule(TRegeditScanClasses&, TVisitedSet&) {}
void MainFileRule(TRegeditScanClasses&, const std::wstring& /*filePath*/) {}

// The install folder and its content. A maker row's filter keeps the listed files, and
// then the folder itself, out of the findings.
void InstallFolderRule(TRegeditScanClasses& scan, const std::wstring& installFolder, TVisitedSet& visited) {
    const DWORD attributes = scan.AttributesOf(installFolder);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    bool filtered = false;
    std::wstring row;
    if (scan.Makers().FindMakerRow(MakerKeyOf(scan.Entry), row, [&] { scan.Pump(); })) {
        const std::wstring filter = scan.Makers().MakerRowField(row, L"filter", {});
        for (const auto& item : SplitItems(filter)) {
            const std::wstring path = LowerCase(ExpandItemMacro(item, scan.Entry));
            if (path.empty()) continue;
            filtered = true;
            visited.Add(path);
            if (platform::FileExists(path)) visited.Add(path.substr(0, path.find_last_of(L'\\')));
        }
    }
    if (!filtered) scan.ReportPath(installFolder, kFileKindFolder, 0);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) scan.ListFolder(installFolder, visited);
}

}  // namespace

void RunFileRules(TRegeditScanClasses& scan, const FileRuleInput& input) {
    const std::wstring installFolder = FolderForm(input.installFolder);
    // A folder that is no program's own (a system folder, a volume, a relative text) is
    // never listed.
    if (DeriveFolderKey(installFolder, scan.Reserved()).empty()) return;
    TVisitedSet visited;
    visited.Add(installFolder);
    InstallFolderRule(scan, installFolder, visited);
    MsiComponentFolderRule(scan, visited);
    NamedFolderRule(scan, CSIDL_COMMON_APPDATA, visited);
    NamedFolderRule(scan, CSIDL_APPDATA, visited);
    if (!input.productCode.empty()) {
        InstallerIconCacheRule(scan, CSIDL_COMMON_APPDATA, input.productCode, visited);
        InstallerIconCacheRule(scan, CSIDL_APPDATA, input.productCode, visited);
    }
    NamedFolderRule(scan, CSIDL_COMMON_PROGRAMS, visited);
    NamedFolderRule(scan, CSIDL_PROGRAMS, visited);
    ShortcutRule(scan, CSIDL_DESKTOPDIRECTORY, installFolder);
    ShortcutRule(scan, CSIDL_COMMON_DESKTOPDIRECTORY, installFolder);
    const bool hasName = !scan.Entry.DisplayName.empty();
    const bool hasPublisher = !scan.Entry.Publisher.empty();
    if (hasName && hasPublisher)
        MakerPathsRule(scan, visited);
    else if (!hasName && !hasPublisher)
        MainFileRule(scan, installFolder + input.mainFileName);
    scan.MsiComponentFolders.clear();
}

}  // namespace tarvo::leftovers
