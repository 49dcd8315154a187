// The owners and the traces of the orphan scan: who still uses which names and folders, then
// the folders of the program and data trees and the vendor keys that none of them owns.

#include <algorithm>

#include "common/paths.h"
#include "common/text.h"
#include "inventory/command_analysis.h"
#include "inventory/installer_records.h"
#include "language/language.h"
#include "leftovers/orphans/orphan_scanner.h"
#include "platform/files.h"
#include "platform/processes.h"

namespace tarvo::leftovers::orphans {

namespace {

using common::EqualsIgnoreCase;
using language::GetText;
using platform::RegistryKey;
using platform::ViewOf;

std::wstring EntryId(const std::wstring& rootName, const std::wstring& keyPath, bool view64) {
    return common::LowerCase(rootName + L"\\" + platform::RelativeKeyPath(keyPath) + (view64 ? L"|64" : L"|32"));
}

bool IsProgramFile(const std::wstring& name) {
    const auto dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return false;
    const std::wstring ext = common::LowerCase(name.substr(dot));
    return ext == L".exe" || ext == L".dll" || ext == L".sys" || ext == L".ocx" || ext == L".com" || ext == L".scr" ||
           ext == L".cpl";
}

// Looks a few levels deep, and a bounded number of entries: a folder that big is a program's.
bool HoldsProgramFiles(const std::wstring& folder, int depth, int& budget) {
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    if (!finder.FindFirst(common::WithTrailingBackslash(folder) + L"*", data)) return false;
    do {
        if (platform::IsDotName(data.cFileName)) continue;
        if (--budget < 0) return true;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (platform::IsReparsePoint(data.dwFileAttributes)) return true;
            if (depth < 4 && HoldsProgramFiles(common::WithTrailingBackslash(folder) + data.cFileName, depth + 1, budget))
                return true;
        } else if (IsProgramFile(data.cFileName)) {
            return true;
        }
    } while (finder.FindNext(data));
    return false;
}

std::vector<std::wstring> SubfolderNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    if (!finder.FindFirst(common::WithTrailingBackslash(folder) + L"*", data)) return names;
    do {
        if (platform::IsDotName(data.cFileName)) continue;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !platform::IsReparsePoint(data.dwFileAttributes))
            names.push_back(data.cFileName);
    } while (finder.FindNext(data));
    return names;
}

bool NamesExistingPath(const std::wstring& text) {
    for (const std::wstring& candidate : {common::Trim(text), inventory::FileFromCommandLine(text)}) {
        std::wstring path = candidate;
        if (path.size() >= 2 && path.front() == L'"') path = path.substr(1, path.find(L'"', 1) - 1);
        if (path.size() < 4 || path[1] != L':' || path[2] != L'\\') continue;
        if (platform::GetFileAttributesOf(path) != INVALID_FILE_ATTRIBUTES) return true;
    }
    return false;
}

}  // namespace

void TOrphanScanner::ReadOwners() {
    for (const auto& entry : catalogue_) {
        if (deadEntries_.count(EntryId(entry->RootKeyName, entry->KeyPath, entry->View64))) continue;
        std::wstring folder = common::Trim(entry->InstallLocation);
        if (folder.empty()) folder = inventory::CompletedInstallFolder(*entry);
        AddOwnerPlace(entry->DisplayName, entry->Publisher, folder);
    }
    ReadServices();
    for (const auto& process : platform::SnapshotProcesses()) {
        const auto handle = platform::OpenProcessOf(process.id, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
        if (!handle) continue;
        const std::wstring image = platform::ProcessImagePath(handle.get());
        if (!image.empty()) NoteLivePath(image);
    }
}

void TOrphanScanner::ReadServices() {
    const std::wstring services = L"SYSTEM\\CurrentControlSet\\Services";
    RegistryKey list;
    if (list.Open(HKEY_LOCAL_MACHINE, services, KEY_READ) != ERROR_SUCCESS) return;
    for (const auto& name : list.SubKeyNames()) {
        RegistryKey service;
        if (service.Open(HKEY_LOCAL_MACHINE, services + L"\\" + name, KEY_READ) != ERROR_SUCCESS) continue;
        const std::wstring image = inventory::FileFromCommandLine(service.QueryString(L"ImagePath").value_or(L""));
        std::wstring expanded;
        if (!image.empty() && StateOf(image, true, &expanded) == PathState::Alive) NoteLivePath(expanded);
    }
}

void TOrphanScanner::WalkFolderRoot(const std::wstring& root, bool programRoot) {
    for (const auto& name : SubfolderNames(root)) {
        if (IsSharedTraceName(name)) continue;
        const std::wstring path = common::WithTrailingBackslash(root) + name;
        const std::wstring form = FolderForm(path);
        if (reserved_->IsReservedFolder(form) || reserved_->IsAboveReservedFolder(form)) continue;
        (void)JudgeFolder(path, name, {}, programRoot, true);
        Pump();
    }
}

bool TOrphanScanner::JudgeFolder(const std::wstring& folder, const std::wstring& name, const std::wstring& parentName,
                                 bool programRoot, bool offer) {
    const bool deadNamed = facts.Dead().LabelOf(name).has_value();
    if (facts.InUserFolder(folder) || facts.InOwner(folder)) {
        if (deadNamed) report.LeaveAlone(folder, facts.FolderRefusal(folder));
        return false;
    }
    // An installed publisher's folder, or one holding a folder in use: what else lies in it
    // is judged one by one.
    if (parentName.empty() && (facts.HoldsOwner(folder) || facts.IsOwnedVendor(name))) {
        for (const auto& child : SubfolderNames(folder))
            (void)JudgeFolder(common::WithTrailingBackslash(folder) + child, child, name, programRoot, true);
        return false;
    }
    if (facts.HoldsOwner(folder)) return false;
    int budget = 2000;
    const bool programs = programRoot && HoldsProgramFiles(folder, 0, budget);
    std::wstring why;
    const auto verdict = JudgeTrace(facts, name, parentName, programs, programRoot, why);
    if (!verdict) {
        if (deadNamed || programs) report.LeaveAlone(folder, why);
        return false;
    }
    if (verdict->confidence >= Confidence::Medium) {
        if (offer) AddFolderTree(folder, verdict->evidence, verdict->program, verdict->confidence);
        return true;
    }
    // Nothing says whose it is. Under an installed publisher's folder that is doubt enough.
    if (!parentName.empty()) return false;
    bool childOffered = false;
    for (const auto& child : SubfolderNames(folder))
        childOffered |= JudgeFolder(common::WithTrailingBackslash(folder) + child, child, name, programRoot, false);
    if (childOffered) {
        for (const auto& child : SubfolderNames(folder))
            (void)JudgeFolder(common::WithTrailingBackslash(folder) + child, child, name, programRoot, true);
    } else if (offer) {
        AddFolderTree(folder, verdict->evidence, verdict->program, Confidence::Low);
    }
    return false;
}

void TOrphanScanner::WalkKeyRoot(HKEY root, bool view64) {
    const std::wstring base = root == HKEY_CURRENT_USER ? L"Software" : L"SOFTWARE";
    if (view64 && SharedAcrossViews(root, base)) return;
    RegistryKey software;
    if (software.Open(root, base, KEY_READ, ViewOf(view64)) != ERROR_SUCCESS) return;
    for (const auto& name : software.SubKeyNames()) {
        if (IsSharedTraceName(name) || IsSkippedVendorKey(name)) continue;
        // A key both views share was judged in the default view already.
        if (view64 && SharedAcrossViews(root, base + L"\\" + name)) continue;
        (void)JudgeKey(root, view64, base + L"\\" + name, name, {}, true);
    }
    Pump();
}

// True when a string value of the key or of its subkeys names a file or folder that exists:
// something may still read it.
bool TOrphanScanner::KeyNamesExistingFile(HKEY root, bool view64, const std::wstring& path, int depth) const {
    RegistryKey key;
    if (key.Open(root, path, KEY_READ, ViewOf(view64)) != ERROR_SUCCESS) return false;
    for (const auto& value : key.ValueNames())
        if (const auto text = key.QueryString(value); text && NamesExistingPath(*text)) return true;
    if (depth >= 3) return false;
    for (const auto& sub : key.SubKeyNames())
        if (KeyNamesExistingFile(root, view64, path + L"\\" + sub, depth + 1)) return true;
    return false;
}

bool TOrphanScanner::JudgeKey(HKEY root, bool view64, const std::wstring& path, const std::wstring& name,
                              const std::wstring& parentName, bool offer) {
    const bool deadNamed = facts.Dead().LabelOf(name).has_value();
    if (parentName.empty() && facts.IsOwnedVendor(name)) {
        RegistryKey key;
        if (key.Open(root, path, KEY_READ, ViewOf(view64)) != ERROR_SUCCESS) return false;
        for (const auto& child : key.SubKeyNames()) (void)JudgeKey(root, view64, path + L"\\" + child, child, name, true);
        return false;
    }
    std::wstring why;
    const auto verdict = JudgeTrace(facts, name, parentName, false, false, why);
    const std::wstring item = platform::RootName(root) + L"\\" + path;
    if (!verdict) {
        if (deadNamed) report.LeaveAlone(item, why);
        return false;
    }
    if (KeyNamesExistingFile(root, view64, path, 0)) {
        if (deadNamed) report.LeaveAlone(item, GetText(L"Orphans_NamesFile_M", L"names a file that exists"));
        return false;
    }
    if (verdict->confidence >= Confidence::Medium) {
        if (offer) AddRegistry(root, path, view64, {}, {}, verdict->evidence, verdict->program, verdict->confidence);
        return true;
    }
    if (!parentName.empty()) return false;
    RegistryKey key;
    if (key.Open(root, path, KEY_READ, ViewOf(view64)) != ERROR_SUCCESS) return false;
    const auto children = key.SubKeyNames();
    bool childOffered = false;
    for (const auto& child : children) childOffered |= JudgeKey(root, view64, path + L"\\" + child, child, name, false);
    if (childOffered) {
        for (const auto& child : children) (void)JudgeKey(root, view64, path + L"\\" + child, child, name, true);
    } else if (offer) {
        AddRegistry(root, path, view64, {}, {}, verdict->evidence, verdict->program, Confidence::Low);
    }
    return false;
}

}  // namespace tarvo::leftovers::orphans
