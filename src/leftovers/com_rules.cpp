// COM classes: the classes whose servers or verbs lie in the program's folder, and what hangs
// off them (application IDs, type libraries, programmatic IDs, interfaces, browser and shell
// registrations). The file classes and the shell's core classes are in class_rules.cpp.
#include <map>

#include "common/text.h"
#include "leftovers/class_walk.h"
#include "leftovers/rule_families.h"
#include "leftovers/value_text.h"

namespace tarvo::leftovers {

namespace {

using common::LowerCase;
using common::Trim;
using platform::RegistryKey;

constexpr wchar_t kMachineClsid[] = L"SOFTWARE\\Classes\\CLSID";
constexpr wchar_t kMachineIeToolbar[] = L"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
constexpr wchar_t kUserIeToolbar[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser";

// Reports the value named `name` of root\keyPath when the key has one.
void ReportNamedValue(TRegeditScanClasses& scan, HKEY root, const std::wstring& keyPath, const std::wstring& name) {
    TScanKey key;
    if (!scan.OpenKey(key, root, keyPath) || !key.Key.HasValue(name)) return;
    scan.ReportValue(key, name, nullptr);
}

// Everything the COM class rule reports for a class whose server lies in the folder.
void ReportServerClass(TRegeditScanClasses& scan, const std::wstring& classId, const ClassVisit& visit) {
    TRuleSets& sets = scan.Sets;
    ReportWithCounterpart(scan, sets.ClassIds, sets.ClassIdsRoot, classId, std::wstring(kMachineClsid) + L"\\" + classId);
    scan.ReportKey(sets.ClassIdsUser, HKEY_CURRENT_USER, classId, L"Software\\Classes\\CLSID\\" + classId);
    if (!visit.appId.empty() && !sets.AppIds.Contains(visit.appId)) {
        scan.ReportKey(sets.AppIds, HKEY_LOCAL_MACHINE, visit.appId, L"SOFTWARE\\Classes\\AppID\\" + visit.appId);
        scan.ReportKey(sets.AppIdsRoot, HKEY_CLASSES_ROOT, visit.appId, L"AppID\\" + visit.appId);
    }
    if (!visit.typeLib.empty() && !sets.TypeLibs.Contains(visit.typeLib)) {
        scan.ReportKey(sets.TypeLibs, HKEY_LOCAL_MACHINE, visit.typeLib, L"SOFTWARE\\Classes\\TypeLib\\" + visit.typeLib);
        scan.ReportKey(sets.TypeLibsRoot, HKEY_CLASSES_ROOT, visit.typeLib, L"TypeLib\\" + visit.typeLib);
    }
    if (!visit.progId.empty() && !sets.ProgIds.Contains(visit.progId)) {
        scan.ReportKey(sets.ProgIds, HKEY_LOCAL_MACHINE, visit.progId, L"SOFTWARE\\Classes\\" + visit.progId);
        scan.ReportKey(sets.ProgIdsRoot, HKEY_CLASSES_ROOT, visit.progId, visit.progId);
    }
    ReportNamedValue(scan, HKEY_LOCAL_MACHINE, kMachineIeToolbar, classId);
    scan.ReportKey(sets.Own(L"IeExtensions"), HKEY_LOCAL_MACHINE,
                   classId, L"SOFTWARE\\Microsoft\\Internet Explorer\\Extensions\\" + classId);
    scan.ReportKey(sets.Own(L"ExtPreApproved"), HKEY_LOCAL_MACHINE, classId,
                   L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Ext\\PreApproved\\" + classId);
    scan.ReportKey(sets.Own(L"ExtSettingsMachine"), HKEY_LOCAL_MACHINE, classId,
                   L"SOFTWARE\\Classes\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\" + classId);
    scan.ReportKey(sets.Own(L"ExtSettingsUser"), HKEY_CURRENT_USER, classId,
                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\" + classId);
    scan.ReportKey(sets.Own(L"ExtStatsUser"), HKEY_CURRENT_USER, classId,
                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\" + classId);
    ReportNamedValue(scan, HKEY_CURRENT_USER, kUserIeToolbar, classId);
    scan.ReportKey(sets.Own(L"BrowserHelperObjects"), HKEY_LOCAL_MACHINE, classId,
                   L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\" + classId);
}

}  // namespace

void ComClassRule(TRegeditScanClasses& scan) {
    TScanKey clsid;
    if (!scan.OpenKey(clsid, HKEY_LOCAL_MACHINE, kMachineClsid)) return;
    std::wstring classId;
    // Reporting reads and never writes, so the enumeration's indexes stay valid throughout.
    for (DWORD i = 0; clsid.Key.EnumKey(i, classId) == ERROR_SUCCESS; ++i) {
        scan.Pump();
        const ClassVisit visit = VisitClass(scan, clsid.Key.get(), classId);
        if (visit.serverInFolder) {
            ReportServerClass(scan, classId, visit);
        } else if (visit.commandKey) {
            const std::wstring name = CommandSearchName(classId, *visit.commandKey);
            ReportWithCounterpart(scan, scan.Sets.ClassIds, scan.Sets.ClassIdsRoot, name, name);
        }
    }
}

void AppIdKeysRule(TRegeditScanClasses& scan) {
    if (scan.Sets.AppIds.Empty()) return;
    TScanKey appIds;
    if (!scan.OpenKey(appIds, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\AppID")) return;
    std::wstring name;
    for (DWORD i = 0; appIds.Key.EnumKey(i, name) == ERROR_SUCCESS; ++i) {
        scan.Pump();
        if (scan.Sets.AppIds.Contains(name)) continue;  // a found ID's own key, already reported
        RegistryKey key;
        if (key.Open(appIds.Key.get(), name, KEY_READ, scan.View()) != ERROR_SUCCESS) continue;
        const std::wstring appId = Trim(ReadValueText(key, L"AppID"));
        if (appId.empty() || !scan.Sets.AppIds.Contains(appId)) continue;
        ReportWithCounterpart(scan, scan.Sets.AppIds, scan.Sets.AppIdsRoot, name, L"SOFTWARE\\Classes\\AppID\\" + name);
    }
}

void InterfaceRule(TRegeditScanClasses& scan) {
    TScanKey interfaces;
    if (!scan.OpenKey(interfaces, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Interface")) return;
    TScanKey typeLibs;
    const bool haveTypeLibs = scan.OpenKey(typeLibs, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\TypeLib");
    // Many interfaces name one library; its tree is walked once per scan.
    std::map<std::wstring, bool> libraryInFolder;
    auto inFolder = [&](const std::wstring& typeLib) {
        if (scan.Sets.TypeLibs.Contains(typeLib)) return true;
        if (!haveTypeLibs) return false;
        const std::wstring id = LowerCase(typeLib);
        auto known = libraryInFolder.find(id);
        if (known == libraryInFolder.end())
            known = libraryInFolder.emplace(id, TypeLibInFolder(scan, typeLibs.Key.get(), typeLib)).first;
        return known->second;
    };
    std::wstring name;
    for (DWORD i = 0; interfaces.Key.EnumKey(i, name) == ERROR_SUCCESS; ++i) {
        scan.Pump();
        bool found = false;
        bool decided = false;
        RegistryKey typeLib;
        if (typeLib.Open(interfaces.Key.get(), name + L"\\TypeLib", KEY_READ, scan.View()) == ERROR_SUCCESS) {
            const std::wstring library = Trim(ReadValueText(typeLib, {}));
            if (!library.empty()) {
                decided = true;
                found = inFolder(library);
            }
        }
        if (!decided && !scan.Sets.ClassIds.Empty()) {
            RegistryKey proxy;
            if (proxy.Open(interfaces.Key.get(), name + L"\\ProxyStubClsid32", KEY_READ, scan.View()) == ERROR_SUCCESS) {
                const std::wstring proxyClass = Trim(ReadValueText(proxy, {}));
                found = !proxyClass.empty() && scan.Sets.ClassIds.Contains(proxyClass);
            }
        }
        if (found)
            ReportWithCounterpart(scan, scan.Sets.Interfaces, scan.Sets.InterfacesRoot, name,
                                  L"SOFTWARE\\Classes\\Interface\\" + name);
    }
}

void ShellExtensionApprovalRule(TRegeditScanClasses& scan) {
    if (scan.Sets.ClassIds.Empty()) return;
    TScanKey lists;
    if (!scan.OpenKey(lists, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions"))
        return;
    for (const auto& listName : lists.Key.SubKeyNames()) {
        scan.Pump();
        TScanKey list;
        if (!scan.OpenKey(list, HKEY_LOCAL_MACHINE, lists.Path + L"\\" + listName)) continue;
        for (const auto& value : list.Key.ValueNames())
            if (!value.empty() && scan.Sets.ClassIds.Contains(value)) scan.ReportValue(list, value, nullptr);
    }
}

void RunToolbarRule(TRegeditScanClasses& scan, const std::wstring& toolbarKey) {
    const std::wstring key = Trim(toolbarKey);
    if (key.empty()) return;
    ReportNamedValue(scan, HKEY_LOCAL_MACHINE, kMachineIeToolbar, key);
    scan.ReportKey(scan.Sets.Own(L"Toolbar"), HKEY_CLASSES_ROOT, key, L"CLSID\\" + key);
    ReportNamedValue(scan, HKEY_CURRENT_USER, kUserIeToolbar, key);
}

}  // namespace tarvo::leftovers
