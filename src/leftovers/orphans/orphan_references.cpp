// The dead references of the orphan scan: entries of the system's shared lists that name a
// file or folder no longer there. Each reader is a small function, so a fuller reader of the
// same place can take its part later.

#include <shlobj.h>

#include <algorithm>

#include "common/paths.h"
#include "common/text.h"
#include "inventory/command_analysis.h"
#include "inventory/shell_link_file.h"
#include "language/language.h"
#include "leftovers/orphans/orphan_scanner.h"
#include "leftovers/program_names.h"
#include "platform/folders.h"

namespace tarvo::leftovers::orphans {

namespace {

using common::EqualsIgnoreCase;
using language::GetText;
using platform::RegistryKey;
using platform::RegistryView;
using platform::ViewOf;

constexpr wchar_t kCurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

bool OpenRead(RegistryKey& key, HKEY root, const std::wstring& path, bool view64) {
    return key.Open(root, path, KEY_READ, ViewOf(view64)) == ERROR_SUCCESS;
}

std::wstring Stem(const std::wstring& name) {
    std::wstring stem = common::NamePart(name);
    const auto dot = stem.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) stem.resize(dot);
    return stem;
}

struct RootView {
    HKEY root;
    bool view64;
};

}  // namespace

void TOrphanScanner::ReadUninstallEntries() {
    std::vector<RootView> places;
    for (const bool v : MachineViews()) places.push_back({HKEY_LOCAL_MACHINE, v});
    places.push_back({HKEY_CURRENT_USER, false});
    const std::wstring container = std::wstring(kCurrentVersion) + L"\\Uninstall";
    for (const auto& [root, view64] : places) {
        RegistryKey list;
        if (!OpenRead(list, root, container, view64)) continue;
        for (const auto& name : list.SubKeyNames()) {
            RegistryKey entry;
            const std::wstring path = container + L"\\" + name;
            if (!OpenRead(entry, root, path, view64)) continue;
            const std::wstring command = entry.QueryString(L"UninstallString").value_or(L"");
            const std::wstring uninstaller = inventory::FileFromCommandLine(command);
            if (uninstaller.empty() || StateOf(uninstaller, view64) != PathState::Dead) continue;
            std::wstring location = common::Trim(entry.QueryString(L"InstallLocation").value_or(L""));
            if (location.empty()) location = common::FolderPart(uninstaller);
            if (StateOf(location, view64) != PathState::Dead) continue;
            const std::wstring displayName = entry.QueryString(L"DisplayName").value_or(name);
            std::vector<std::wstring> names = ProgramKeyNames(displayName);
            names.push_back(name);
            for (const auto& p : PublisherKeyNames(entry.QueryString(L"Publisher").value_or(L""))) names.push_back(p);
            const std::wstring label = NoteDeadPath(common::WithTrailingBackslash(location), names, displayName);
            deadEntries_.insert(platform::RootName(root) + L"\\" + path + (view64 ? L"|64" : L"|32"));
            AddRegistry(root, path, view64, {}, {},
                        GetText(L"Orphans_DeadEntry_M", L"its uninstaller and its folder are gone"), label);
        }
    }
}

void TOrphanScanner::ReadShortcuts() {
    for (const int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY})
        (void)ReadShortcutFolder(platform::GetSpecialFolderPath(csidl), -1);
    for (const int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS})
        (void)ReadShortcutFolder(platform::GetSpecialFolderPath(csidl), 0);
    (void)ReadShortcutFolder(
        platform::GetSpecialFolderPath(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\Quick Launch", -1);
}

// True when the folder held something and all of it was dead links (or folders of them).
// A depth of -1 reads only the folder's own files: the desktop's folders are the user's.
bool TOrphanScanner::ReadShortcutFolder(const std::wstring& folder, int depth) {
    if (folder.empty()) return false;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    bool any = false, allDead = true;
    std::wstring label;
    if (!finder.FindFirst(common::WithTrailingBackslash(folder) + L"*", data)) return false;
    do {
        if (platform::IsDotName(data.cFileName)) continue;
        any = true;
        const std::wstring path = common::WithTrailingBackslash(folder) + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (depth < 0 || depth >= 3 || platform::IsReparsePoint(data.dwFileAttributes) ||
                !ReadShortcutFolder(path, depth + 1)) {
                allDead = false;
                continue;
            }
            const auto& f = report.findings.back();  // the last link of the folder just read
            AddFile(path, PathKind::Folder,
                    GetText(L"Orphans_DeadLinkFolder_M", L"holds only shortcuts to missing files"), f.program);
            continue;
        }
        const std::wstring name = data.cFileName;
        if (name.size() < 5 || !EqualsIgnoreCase(name.substr(name.size() - 4), L".lnk")) {
            allDead = false;
            continue;
        }
        const std::wstring target = inventory::LinkTargetFromFile(path);
        const PathState state = StateOf(target, false);
        if (state == PathState::Alive) NoteLivePath(target);
        if (state != PathState::Dead) {
            allDead = false;
            continue;
        }
        const std::wstring owned = facts.FolderRefusal(common::FolderPart(target));
        if (!owned.empty()) {
            report.LeaveAlone(path, owned);
            allDead = false;
            continue;
        }
        label = NoteDeadPath(target, {Stem(name)});
        AddFile(path, PathKind::File, GetText(L"Orphans_DeadLink_M", L"shortcut to a missing file"), label);
    } while (finder.FindNext(data));
    return any && allDead;
}

void TOrphanScanner::ReadAppPaths() {
    const std::wstring container = std::wstring(kCurrentVersion) + L"\\App Paths";
    std::vector<RootView> places;
    for (const bool v : MachineViews())
        if (!v || !SharedAcrossViews(HKEY_LOCAL_MACHINE, container)) places.push_back({HKEY_LOCAL_MACHINE, v});
    places.push_back({HKEY_CURRENT_USER, false});
    for (const auto& [root, view64] : places) {
        RegistryKey list;
        if (!OpenRead(list, root, container, view64)) continue;
        for (const auto& name : list.SubKeyNames()) {
            RegistryKey app;
            const std::wstring path = container + L"\\" + name;
            if (!OpenRead(app, root, path, view64)) continue;
            const std::wstring target = app.QueryString(L"").value_or(L"");
            if (StateOf(target, view64) != PathState::Dead) continue;
            std::wstring expanded;
            (void)StateOf(target, view64, &expanded);
            const std::wstring owned = facts.FolderRefusal(common::FolderPart(expanded));
            if (!owned.empty()) {
                report.LeaveAlone(platform::RootName(root) + L"\\" + path, owned);
                continue;
            }
            const std::wstring label = NoteDeadPath(expanded, {Stem(name)});
            AddRegistry(root, path, view64, {}, {},
                        GetText(L"Orphans_DeadAppPath_M", L"App Paths entry of a missing program"), label);
        }
    }
}

void TOrphanScanner::ReadRunValues() {
    std::vector<RootView> places;
    for (const bool v : MachineViews()) places.push_back({HKEY_LOCAL_MACHINE, v});
    places.push_back({HKEY_CURRENT_USER, false});
    for (const auto& [root, view64] : places) {
        for (const wchar_t* sub : {L"\\Run", L"\\RunOnce"}) {
            const std::wstring path = std::wstring(kCurrentVersion) + sub;
            if (view64 && SharedAcrossViews(root, path)) continue;
            RegistryKey key;
            if (!OpenRead(key, root, path, view64)) continue;
            for (const auto& name : key.ValueNames()) {
                const std::wstring data = key.QueryString(name).value_or(L"");
                const std::wstring file = inventory::FileFromCommandLine(data);
                if (file.empty() || StateOf(file, view64) != PathState::Dead) continue;
                const std::wstring owned = facts.FolderRefusal(common::FolderPart(file));
                if (!owned.empty()) {
                    report.LeaveAlone(platform::RootName(root) + L"\\" + path + L" | " + name, owned);
                    continue;
                }
                const std::wstring label = NoteDeadPath(file, {name});
                AddRegistry(root, path, view64, name, data,
                            GetText(L"Orphans_DeadRun_M", L"starts a missing program"), label);
            }
        }
    }
}

void TOrphanScanner::ReadClasses() {
    std::vector<RootView> places;
    for (const bool v : MachineViews()) places.push_back({HKEY_LOCAL_MACHINE, v});
    places.push_back({HKEY_CURRENT_USER, false});
    for (const auto& [root, view64] : places) {
        const std::wstring classes = root == HKEY_CURRENT_USER ? L"Software\\Classes" : L"SOFTWARE\\Classes";
        RegistryKey list;
        if (!OpenRead(list, root, classes, view64)) continue;
        std::vector<std::wstring> deadClasses;
        const std::vector<std::wstring> names = list.SubKeyNames();
        for (const auto& name : names) {
            if (name.empty() || name[0] == L'.' || name[0] == L'{' || EqualsIgnoreCase(name, L"CLSID")) continue;
            if (IsReservedClass(name)) {
                ReadShellVerbs(root, classes, view64, name);
                continue;
            }
            RegistryKey shell;
            if (!OpenRead(shell, root, classes + L"\\" + name + L"\\shell", view64)) continue;
            int dead = 0, other = 0;
            std::wstring file;
            for (const auto& verb : shell.SubKeyNames()) {
                RegistryKey command;
                if (!OpenRead(command, root, classes + L"\\" + name + L"\\shell\\" + verb + L"\\command", view64)) continue;
                const std::wstring f = inventory::FileFromCommandLine(command.QueryString(L"").value_or(L""));
                if (!f.empty() && StateOf(f, view64) == PathState::Dead) {
                    ++dead;
                    file = f;
                } else {
                    ++other;
                }
            }
            if (dead == 0 || other > 0 || !facts.FolderRefusal(common::FolderPart(file)).empty()) continue;
            const std::wstring path = classes + L"\\" + name;
            if (view64 && SharedAcrossViews(root, path)) continue;
            RegistryKey cls;
            std::wstring description;
            if (OpenRead(cls, root, path, view64)) description = cls.QueryString(L"").value_or(L"");
            const std::wstring label = NoteDeadPath(file, {name.substr(0, name.find(L'.'))});
            AddRegistry(root, path, view64, {}, {},
                        GetText(L"Orphans_DeadClass_M", L"file class whose program is missing"), label);
            deadClasses.push_back(name);
        }
        // A file type that only pointed at a dead class goes with it; one that holds more is
        // some other program's too, and stays.
        for (const auto& name : names) {
            if (name.size() < 2 || name[0] != L'.') continue;
            RegistryKey ext;
            const std::wstring path = classes + L"\\" + name;
            if (!OpenRead(ext, root, path, view64)) continue;
            const std::wstring progId = ext.QueryString(L"").value_or(L"");
            const auto dead = std::find_if(deadClasses.begin(), deadClasses.end(),
                                           [&](const auto& c) { return EqualsIgnoreCase(c, progId); });
            if (dead == deadClasses.end() || !ext.SubKeyNames().empty()) continue;
            bool plain = true;
            for (const auto& value : ext.ValueNames())
                plain &= value.empty() || EqualsIgnoreCase(value, L"Content Type") ||
                         EqualsIgnoreCase(value, L"PerceivedType");
            if (!plain || (view64 && SharedAcrossViews(root, path))) continue;
            const auto label = facts.Dead().LabelOf(dead->substr(0, dead->find(L'.')));
            AddRegistry(root, path, view64, {}, {},
                        GetText(L"Orphans_DeadType_M", L"file type of a missing program"), label.value_or(*dead));
        }
        for (const wchar_t* special : {L"Directory\\Background", L"Folder", L"Drive", L"Directory", L"*"})
            ReadShellVerbs(root, classes, view64, special);
    }
}

// The verbs and context-menu handlers of a shared class: each is its own program's entry.
void TOrphanScanner::ReadShellVerbs(HKEY root, const std::wstring& classes, bool view64, const std::wstring& cls) {
    if (!EqualsIgnoreCase(cls, L"*") && !EqualsIgnoreCase(cls, L"Directory") && !EqualsIgnoreCase(cls, L"Folder") &&
        !EqualsIgnoreCase(cls, L"Drive") && !EqualsIgnoreCase(cls, L"Directory\\Background"))
        return;
    const std::wstring base = classes + L"\\" + cls;
    if (view64 && SharedAcrossViews(root, base)) return;
    RegistryKey shell;
    if (OpenRead(shell, root, base + L"\\shell", view64)) {
        for (const auto& verb : shell.SubKeyNames()) {
            RegistryKey command;
            const std::wstring path = base + L"\\shell\\" + verb;
            if (!OpenRead(command, root, path + L"\\command", view64)) continue;
            const std::wstring file = inventory::FileFromCommandLine(command.QueryString(L"").value_or(L""));
            if (file.empty() || StateOf(file, view64) != PathState::Dead) continue;
            if (!facts.FolderRefusal(common::FolderPart(file)).empty()) continue;
            AddRegistry(root, path, view64, {}, {}, GetText(L"Orphans_DeadVerb_M", L"shell verb of a missing program"),
                        NoteDeadPath(file, {verb}));
        }
    }
    RegistryKey handlers;
    const std::wstring handlersPath = base + L"\\shellex\\ContextMenuHandlers";
    if (!OpenRead(handlers, root, handlersPath, view64)) return;
    for (const auto& name : handlers.SubKeyNames()) {
        RegistryKey handler;
        if (!OpenRead(handler, root, handlersPath + L"\\" + name, view64)) continue;
        std::wstring clsid = handler.QueryString(L"").value_or(L"");
        if (clsid.empty() || clsid[0] != L'{') clsid = name;
        if (clsid.empty() || clsid[0] != L'{') continue;
        const std::wstring serverKey = classes + L"\\CLSID\\" + clsid;
        RegistryKey server;
        if (!OpenRead(server, root, serverKey + L"\\InprocServer32", view64)) continue;
        const std::wstring file = server.QueryString(L"").value_or(L"");
        if (StateOf(file, view64) != PathState::Dead) continue;
        std::wstring expanded;
        (void)StateOf(file, view64, &expanded);
        if (!facts.FolderRefusal(common::FolderPart(expanded)).empty()) continue;
        const std::wstring label = NoteDeadPath(expanded, {name});
        const std::wstring evidence =
            GetText(L"Orphans_DeadHandler_M", L"context-menu handler whose file is missing");
        AddRegistry(root, handlersPath + L"\\" + name, view64, {}, {}, evidence, label);
        AddRegistry(root, serverKey, view64, {}, {}, evidence, label);
    }
}

void TOrphanScanner::ReadSharedDlls() {
    const std::wstring path = std::wstring(kCurrentVersion) + L"\\SharedDLLs";
    for (const bool view64 : MachineViews()) {
        if (view64 && SharedAcrossViews(HKEY_LOCAL_MACHINE, path)) continue;
        RegistryKey key;
        if (!OpenRead(key, HKEY_LOCAL_MACHINE, path, view64)) continue;
        for (const auto& name : key.ValueNames()) {
            if (StateOf(name, view64) != PathState::Dead) continue;
            if (!facts.FolderRefusal(common::FolderPart(name)).empty()) continue;
            const DWORD count = key.QueryDword(name).value_or(0);
            AddRegistry(HKEY_LOCAL_MACHINE, path, view64, name, std::to_wstring(count),
                        GetText(L"Orphans_DeadShared_M", L"use count of a missing shared file"), NoteDeadPath(name));
        }
    }
}

void TOrphanScanner::ReadFirewallRules() {
    const std::wstring path =
        L"SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\Parameters\\FirewallPolicy\\FirewallRules";
    RegistryKey key;
    if (!OpenRead(key, HKEY_LOCAL_MACHINE, path, false)) return;
    for (const auto& name : key.ValueNames()) {
        const std::wstring data = key.QueryString(name).value_or(L"");
        const auto app = common::LowerCase(data).find(L"|app=");
        if (app == std::wstring::npos) continue;
        const auto end = data.find(L'|', app + 5);
        const std::wstring file = data.substr(app + 5, end == std::wstring::npos ? std::wstring::npos : end - app - 5);
        if (StateOf(file, true) != PathState::Dead) continue;
        std::wstring expanded;
        (void)StateOf(file, true, &expanded);
        if (!facts.FolderRefusal(common::FolderPart(expanded)).empty()) continue;
        AddRegistry(HKEY_LOCAL_MACHINE, path, false, name, data,
                    GetText(L"Orphans_DeadFirewall_M", L"firewall rule for a missing program"), NoteDeadPath(expanded));
    }
}

}  // namespace tarvo::leftovers::orphans
