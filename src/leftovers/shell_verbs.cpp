#include "leftovers/shell_verbs.h"

#include "common/text.h"
#include "leftovers/class_walk.h"
#include "leftovers/regedit_scan.h"
#include "leftovers/value_text.h"
#include "platform/system.h"

namespace tarvo::leftovers {

namespace {

using platform::RegistryKey;
using platform::RegistryView;

std::wstring DefaultOf(HKEY root, const std::wstring& path, RegistryView view) {
    RegistryKey key;
    if (key.Open(root, path, KEY_READ, view) != ERROR_SUCCESS) return {};
    return common::Trim(ReadValueText(key, {}));
}

std::wstring Expanded(const std::wstring& text) {
    std::wstring expanded;
    return platform::ExpandEnvironmentOf(text, expanded) ? expanded : text;
}

// The server of a handler's class: the user's registration first where the handler is the
// user's, then the machine's.
std::wstring HandlerServer(HKEY root, const std::wstring& classesPath, const std::wstring& classId, RegistryView view) {
    if (classId.size() < 3 || classId.front() != L'{') return {};
    const std::wstring relative = L"\\CLSID\\" + classId + L"\\InprocServer32";
    std::wstring server = DefaultOf(root, classesPath + relative, view);
    if (server.empty() && root != HKEY_LOCAL_MACHINE)
        server = DefaultOf(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes" + relative, view);
    return Expanded(server);
}

}  // namespace

const std::vector<std::wstring>& ContextMenuClasses() {
    // Spelled as the class rules spell the shared classes, so both find one key only once.
    static const std::vector<std::wstring> classes = {L"*", L"allfilesystemobjects", L"directory",
                                                      L"directory\\background", L"drive", L"folder"};
    return classes;
}

std::vector<TShellEntry> ReadShellEntries(HKEY root, RegistryView view) {
    const std::wstring classesPath = root == HKEY_LOCAL_MACHINE ? L"SOFTWARE\\Classes" : L"Software\\Classes";
    std::vector<TShellEntry> entries;
    for (const auto& className : ContextMenuClasses()) {
        const std::wstring classPath = classesPath + L"\\" + className;
        RegistryKey shell;
        if (shell.Open(root, classPath + L"\\shell", KEY_READ, view) == ERROR_SUCCESS)
            for (const auto& verb : shell.SubKeyNames())
                entries.push_back({root, classesPath, className, className + L"\\shell\\" + verb,
                                   DefaultOf(shell.get(), verb + L"\\command", view)});
        RegistryKey handlers;
        if (handlers.Open(root, classPath + L"\\shellex\\ContextMenuHandlers", KEY_READ, view) != ERROR_SUCCESS)
            continue;
        for (const auto& name : handlers.SubKeyNames()) {
            // The class is the key's default, or its own name ("{…}" keys name themselves).
            std::wstring classId = DefaultOf(handlers.get(), name, view);
            if (classId.empty() || classId.front() != L'{') classId = name;
            entries.push_back({root, classesPath, className, className + L"\\shellex\\ContextMenuHandlers\\" + name,
                               HandlerServer(root, classesPath, classId, view)});
        }
    }
    return entries;
}

void ShellVerbRule(TRegeditScanClasses& scan) {
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        const bool machine = root == HKEY_LOCAL_MACHINE;
        for (const auto& entry : ReadShellEntries(root, scan.View())) {
            scan.Pump();
            if (!scan.ContainsFolder(entry.target) || scan.Ownership().PointsIntoOther(entry.target)) continue;
            // The verb's or handler's own key, named within its class as the class rules name it.
            std::wstring name = entry.relative.substr(entry.className.size() + 1);
            name.erase(0, name.find(L'\\') + 1);
            const std::wstring prefix = machine ? L"ReservedClass\\" : L"UserShellClass\\";
            const std::wstring path = entry.classesPath + L"\\" + entry.relative;
            if (machine)
                ReportWithCounterpart(scan, scan.Sets.Own(prefix + entry.className),
                                      scan.Sets.Own(L"ReservedClassRoot\\" + entry.className), name, path);
            else
                scan.ReportKey(scan.Sets.Own(prefix + entry.className), root, name, path);
        }
    }
}

}  // namespace tarvo::leftovers
