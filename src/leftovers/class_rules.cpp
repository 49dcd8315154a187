// File classes: the programmatic IDs and file classes that lead to a found class or whose
// shell verbs run the program, their file-name extensions, and the verbs and handlers the
// program added to the shell's core classes.
#include <optional>
#include <vector>

#include "common/text.h"
#include "leftovers/class_walk.h"
#include "leftovers/exclusion.h"
#include "leftovers/rule_families.h"
#include "leftovers/value_text.h"

namespace tarvo::leftovers {

namespace {

using common::Trim;
using platform::RegistryKey;

// The default value of parent\path, trimmed; nullopt when the key does not open.
std::optional<std::wstring> KeyDefault(const TRegeditScanClasses& scan, HKEY parent, const std::wstring& path) {
    RegistryKey key;
    if (key.Open(parent, path, KEY_READ, scan.View()) != ERROR_SUCCESS) return std::nullopt;
    return Trim(ReadValueText(key, {}));
}

// The first verb below a shell key that has a command decides; true when that command runs
// something in the folder.
bool FirstVerbRunsFromFolder(const TRegeditScanClasses& scan, const RegistryKey& shell) {
    std::wstring verb;
    for (DWORD i = 0; shell.EnumKey(i, verb) == ERROR_SUCCESS; ++i) {
        RegistryKey command;
        if (command.Open(shell.get(), verb + L"\\command", KEY_READ, scan.View()) != ERROR_SUCCESS) continue;
        return scan.ContainsFolder(ReadValueText(command, {}));
    }
    return false;
}

// HandlerForFoundClass: the first handler below a handler-type key that names a found class,
// by its own name or by its default value.
std::optional<std::wstring> HandlerForFoundClass(const TRegeditScanClasses& scan, const RegistryKey& handlerType) {
    const TRuleSet& classes = scan.Sets.ClassIds;
    std::wstring handler;
    for (DWORD i = 0; handlerType.EnumKey(i, handler) == ERROR_SUCCESS; ++i) {
        if (classes.Contains(handler)) return handler;
        const auto classId = KeyDefault(scan, handlerType.get(), handler);
        if (classId && !classId->empty() && classes.Contains(*classId)) return handler;
    }
    return std::nullopt;
}

}  // namespace

void ReservedClassVerbRule(TRegeditScanClasses& scan) {
    TRuleSets& sets = scan.Sets;
    for (const auto& reserved : ReservedClasses()) {
        sets.ProgIdsRoot.Add(reserved);
        sets.ProgIds.Add(reserved);
    }
    for (const auto& reserved : ReservedClasses()) {
        scan.Pump();
        TRuleSet& machineSet = sets.Own(L"ReservedClass\\" + reserved);
        TRuleSet& rootSet = sets.Own(L"ReservedClassRoot\\" + reserved);
        const std::wstring classPath = L"SOFTWARE\\Classes\\" + reserved;
        TScanKey shell;
        if (scan.OpenKey(shell, HKEY_LOCAL_MACHINE, classPath + L"\\shell")) {
            for (const auto& verb : shell.Key.SubKeyNames()) {
                scan.Pump();
                const auto command = KeyDefault(scan, shell.Key.get(), verb + L"\\command");
                if (command && scan.ContainsFolder(*command))
                    ReportWithCounterpart(scan, machineSet, rootSet, verb, shell.Path + L"\\" + verb);
            }
        }
        // No handler can name a found class while none was found.
        if (sets.ClassIds.Empty()) continue;
        TScanKey shellex;
        if (!scan.OpenKey(shellex, HKEY_LOCAL_MACHINE, classPath + L"\\shellex")) continue;
        for (const auto& type : shellex.Key.SubKeyNames()) {
            scan.Pump();
            RegistryKey handlerType;
            if (handlerType.Open(shellex.Key.get(), type, KEY_READ, scan.View()) != ERROR_SUCCESS) continue;
            const auto handler = HandlerForFoundClass(scan, handlerType);
            if (!handler) continue;
            const std::wstring relative = type + L"\\" + *handler;
            ReportWithCounterpart(scan, machineSet, rootSet, relative, shellex.Path + L"\\" + relative);
        }
    }
}

void ClassesRule(TRegeditScanClasses& scan, HKEY root, TRuleSet& reportSet) {
    TRuleSets& sets = scan.Sets;
    const bool machine = root == HKEY_LOCAL_MACHINE;
    TScanKey classes;
    if (!scan.OpenKey(classes, root, L"Software\\Classes")) return;
    // One enumeration serves both passes: the classes now, their extensions after.
    const auto names = classes.Key.SubKeyNames();
    const HKEY parent = classes.Key.get();
    auto report = [&](TRuleSet& set, const std::wstring& name) {
        const std::wstring path = classes.Path + L"\\" + name;
        scan.ReportKey(set, root, name, path);
        if (machine) scan.ReportKey(sets.ProgIdsRoot, HKEY_CLASSES_ROOT, name, ClassesRootCounterpart(path));
    };
    TRuleSet byCommand;
    std::vector<std::wstring> byCommandNames;
    for (const auto& name : names) {
        if (name.empty() || name.front() == L'.') continue;
        scan.Pump();
        // Each test below opens the one subkey it needs straight from the classes key; the
        // class key itself is never opened unless it is reported.
        if (!sets.ProgIds.Empty()) {
            if (const auto current = KeyDefault(scan, parent, name + L"\\CurVer")) {
                if (!current->empty() && sets.ProgIds.Contains(*current)) report(reportSet, name);
                continue;
            }
        }
        if (!sets.ClassIds.Empty()) {
            if (const auto classId = KeyDefault(scan, parent, name + L"\\CLSID")) {
                if (!classId->empty() && sets.ClassIds.Contains(*classId)) report(reportSet, name);
                continue;
            }
        }
        if (IsReservedClass(name)) continue;
        RegistryKey shell;
        if (shell.Open(parent, name + L"\\shell", KEY_READ, scan.View()) != ERROR_SUCCESS) continue;
        if (!FirstVerbRunsFromFolder(scan, shell)) continue;
        report(byCommand, name);
        if (byCommand.Contains(name)) byCommandNames.push_back(name);
    }
    if (!byCommand.Empty()) {
        for (const auto& name : names) {
            if (name.empty() || name.front() != L'.') continue;
            scan.Pump();
            const auto className = KeyDefault(scan, parent, name);
            if (className && !className->empty() && byCommand.Contains(*className)) report(reportSet, name);
        }
    }
    for (const auto& name : byCommandNames) reportSet.Add(name);
}

}  // namespace tarvo::leftovers
