#include "leftovers/orphans/orphan_scanner.h"

#include <shlobj.h>

#include <algorithm>

#include "common/paths.h"
#include "common/text.h"
#include "leftovers/scan_guard.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/system.h"

namespace tarvo::leftovers::orphans {

namespace {

using common::Trim;

bool Within(const std::wstring& form, const std::wstring& folderForm) {
    return !folderForm.empty() && form.size() > folderForm.size() && form.compare(0, folderForm.size(), folderForm) == 0;
}

// Folder names inside a program's folder that say nothing about whose it is.
bool IsGenericPart(const std::wstring& key) {
    static const wchar_t* const kGeneric[] = {L"bin", L"lib", L"data", L"program", L"programs", L"common", L"shared",
                                              L"tools", L"plugins", L"x86", L"x64", L"app", L"apps", L"files"};
    return key.size() < 3 ||
           std::any_of(std::begin(kGeneric), std::end(kGeneric), [&](const wchar_t* g) { return key == g; });
}

std::wstring Unquoted(std::wstring text) {
    text = Trim(text);
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
    return text;
}

const wchar_t* const kUserKnownFolders[] = {
    L"{374DE290-123F-4565-9164-39C4925E467B}",  // Downloads
    L"{4C5C32FF-BB9D-43b0-B5B4-2D72E54EAAA4}",  // Saved Games
    L"{bfb9d5e0-c6a9-404c-b2b2-ae6db6af4968}",  // Links
    L"{56784854-C6CB-462b-8169-88E350ACB882}",  // Contacts
    L"{7d1d3a04-debb-4115-95cf-2f29da2920da}",  // Searches
};

}  // namespace

TOrphanScanner::TOrphanScanner(const inventory::TSoftList& catalogue, const TOrphanScanOptions& options)
    : catalogue_(catalogue), options_(options) {
    if (options_.reservedFolders) {
        reserved_ = options_.reservedFolders;
    } else {
        ownReserved_.emplace();
        reserved_ = &*ownReserved_;
    }
    windowsForm_ = FolderForm(platform::GetWindowsFolder());
    wow64_ = platform::IsProcessWow64(GetCurrentProcess()).value_or(false);
    for (const int csidl : {CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY, CSIDL_MYPICTURES, CSIDL_MYMUSIC, CSIDL_MYVIDEO,
                            CSIDL_FAVORITES, CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_PICTURES, CSIDL_COMMON_MUSIC,
                            CSIDL_COMMON_VIDEO})
        facts.AddUserFolder(platform::GetSpecialFolderPath(csidl));
    for (const wchar_t* id : kUserKnownFolders) {
        std::wstring path;
        if (platform::GetKnownFolderPathOf(id, path) == platform::KnownFolderResult::Found) facts.AddUserFolder(path);
    }
    std::vector<std::wstring> roots = {platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILES),
                                       platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILESX86),
                                       platform::GetEnvironmentString(L"ProgramW6432"),
                                       platform::GetSpecialFolderPath(CSIDL_COMMON_APPDATA),
                                       platform::GetSpecialFolderPath(CSIDL_APPDATA),
                                       platform::GetSpecialFolderPath(CSIDL_LOCAL_APPDATA)};
    for (const auto& root : roots) {
        const std::wstring form = FolderForm(root);
        if (form.size() > 3 && std::find(traceRoots_.begin(), traceRoots_.end(), form) == traceRoots_.end()) {
            traceRoots_.push_back(form);
            traceRootPaths_.push_back(common::WithoutTrailingBackslashes(root));
        }
    }
    // Local application data lies below roaming's parent on some systems: deepest first.
    std::vector<std::size_t> order(traceRoots_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return traceRoots_[a].size() > traceRoots_[b].size(); });
    std::vector<std::wstring> forms, paths;
    for (const std::size_t i : order) {
        forms.push_back(traceRoots_[i]);
        paths.push_back(traceRootPaths_[i]);
    }
    traceRoots_ = std::move(forms);
    traceRootPaths_ = std::move(paths);
}

std::vector<bool> TOrphanScanner::MachineViews() const {
    if (wow64_) return {false, true};
    return {false};
}

bool TOrphanScanner::SharedAcrossViews(HKEY root, const std::wstring& path) const {
    if (!wow64_) return true;
    const auto a = platform::RegistryKernelName(root, path, platform::RegistryView::Default);
    const auto b = platform::RegistryKernelName(root, path, platform::RegistryView::Wow64_64Key);
    return a && b && *a == *b;
}

void TOrphanScanner::Pump() const {
    if (options_.pump) options_.pump();
}

PathState TOrphanScanner::StateOf(const std::wstring& rawPath, bool view64, std::wstring* expanded) const {
    const std::wstring raw = Unquoted(rawPath);
    if (raw.empty()) return PathState::Unknown;
    std::vector<std::wstring> candidates;
    std::wstring text;
    if (!platform::ExpandEnvironmentOf(raw, text)) text = raw;
    candidates.push_back(text);
    // A 64-bit program's "%ProgramFiles%" is the native folder, which this 32-bit program
    // expands to the x86 one: a path is dead only when it is missing in both.
    if (wow64_ && raw.find(L'%') != std::wstring::npos) {
        std::wstring native = common::ReplaceAllIgnoreCase(raw, L"%ProgramFiles%", L"%ProgramW6432%");
        native = common::ReplaceAllIgnoreCase(native, L"%CommonProgramFiles%", L"%CommonProgramW6432%");
        std::wstring nativeText;
        if (native != raw && platform::ExpandEnvironmentOf(native, nativeText)) candidates.push_back(nativeText);
    }
    (void)view64;
    if (expanded) *expanded = candidates.front();
    for (const auto& path : candidates) {
        if (!IsPlainAbsolutePath(path) || path.size() < 4 || path[1] != L':') return PathState::Unknown;
        if (platform::GetDriveTypeOf(path.substr(0, 3)) != DRIVE_FIXED) return PathState::Unknown;
        const std::wstring form = FolderForm(path);
        if (Within(form, windowsForm_) || facts.InUserFolder(path)) return PathState::Unknown;
        if (platform::GetFileAttributesOf(path) != INVALID_FILE_ATTRIBUTES) return PathState::Alive;
    }
    return PathState::Dead;
}

std::wstring TOrphanScanner::NoteDeadPath(const std::wstring& path, const std::vector<std::wstring>& moreNames,
                                          const std::wstring& label) {
    const std::wstring form = FolderForm(path);
    std::wstring below;
    for (const auto& root : traceRoots_)
        if (Within(form, root)) {
            below = path.substr(root.size());
            break;
        }
    std::vector<std::wstring> names = moreNames;
    std::wstring first;
    std::size_t start = 0;
    while (start < below.size()) {
        std::size_t end = below.find(L'\\', start);
        if (end == std::wstring::npos) end = below.size();
        const std::wstring part = below.substr(start, end - start);
        const bool isFile = end == below.size();
        const std::wstring name = isFile ? common::SplitPath(part).name : part;
        if (!IsGenericPart(NameKey(name))) {
            std::wstring stem = name;
            if (isFile) {
                const auto dot = stem.rfind(L'.');
                if (dot != std::wstring::npos && dot > 0) stem.resize(dot);
            }
            names.push_back(stem);
            // An installed publisher's folder is not the removed program's name.
            if (first.empty() && !isFile && !facts.IsOwnedVendor(stem)) first = stem;
        }
        start = end + 1;
    }
    if (below.empty()) {
        std::wstring stem = common::NamePart(path);
        const auto dot = stem.rfind(L'.');
        if (dot != std::wstring::npos && dot > 0) stem.resize(dot);
        names.push_back(stem);
        if (first.empty()) first = stem;
    }
    std::wstring chosen = label.empty() ? first : label;
    if (chosen.empty()) chosen = names.empty() ? path : names.front();
    return facts.Dead().Add(names, chosen);
}

void TOrphanScanner::NoteLivePath(const std::wstring& path) {
    const std::wstring folder = FolderForm(common::FolderPart(path));
    if (IsUsableOwnerFolder(folder)) facts.AddOwner({{}, {}, folder});
}

// A folder that says whose something is: not a drive, a system or shared folder, nor one of
// the roots the traces are looked for in (a program "installed" there would own them all).
bool TOrphanScanner::IsUsableOwnerFolder(const std::wstring& folder) const {
    if (folder.size() <= 3 || reserved_->IsReservedFolder(folder) || reserved_->IsAboveReservedFolder(folder))
        return false;
    if (Within(windowsForm_, folder) || Within(folder, windowsForm_) || folder == windowsForm_) return false;
    for (const auto& root : traceRoots_)
        if (folder == root || Within(root, folder)) return false;
    return true;
}

void TOrphanScanner::AddOwnerPlace(const std::wstring& name, const std::wstring& publisher, const std::wstring& folder) {
    const std::wstring form = FolderForm(folder);
    facts.AddOwner({name, publisher, IsPlainAbsolutePath(form) && IsUsableOwnerFolder(form) ? form : std::wstring()});
}

void TOrphanScanner::AddRegistry(HKEY root, const std::wstring& keyPath, bool view64, const std::wstring& valueName,
                                 const std::wstring& valueData, const std::wstring& evidence,
                                 const std::wstring& program, Confidence confidence) {
    const bool isValue = !valueName.empty() || !valueData.empty();
    if (!isValue && IsProtectedKey(root, keyPath)) return;
    TOrphanFinding f;
    f.kind = FindingKind::Registry;
    f.root = root;
    f.keyPath = keyPath;
    f.view64 = view64;
    f.valueName = valueName;
    f.valueData = valueData;
    f.evidence = evidence;
    f.program = program;
    f.confidence = confidence;
    report.Add(std::move(f));
}

void TOrphanScanner::AddFile(const std::wstring& path, PathKind kind, const std::wstring& evidence,
                             const std::wstring& program, Confidence confidence) {
    const std::wstring form = FolderForm(path);
    if (!IsPlainAbsolutePath(path) || IsVolumeRoot(form) || reserved_->IsReservedFolder(form) ||
        reserved_->IsAboveReservedFolder(form))
        return;
    TOrphanFinding f;
    f.kind = FindingKind::File;
    f.path = path;
    f.fileKind = kind;
    if (kind == PathKind::File) f.size = static_cast<std::int64_t>(platform::GetFileSizeOf(path).value_or(0));
    f.evidence = evidence;
    f.program = program;
    f.confidence = confidence;
    report.Add(std::move(f));
}

void TOrphanScanner::AddFolderTree(const std::wstring& folder, const std::wstring& evidence,
                                   const std::wstring& program, Confidence confidence) {
    AddFile(folder, PathKind::Folder, evidence, program, confidence);
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    std::vector<std::wstring> subfolders;
    if (finder.FindFirst(common::WithTrailingBackslash(folder) + L"*", data)) {
        do {
            if (platform::IsDotName(data.cFileName)) continue;
            const std::wstring path = common::WithTrailingBackslash(folder) + data.cFileName;
            const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (isFolder && !platform::IsReparsePoint(data.dwFileAttributes))
                subfolders.push_back(path);
            else
                AddFile(path, isFolder ? PathKind::Folder : PathKind::File, {}, program, confidence);
        } while (finder.FindNext(data));
    }
    for (const auto& sub : subfolders) AddFolderTree(sub, {}, program, confidence);
}

TOrphanReport TOrphanScanner::Run() {
    ReadUninstallEntries();
    ReadOwners();
    Pump();
    ReadShortcuts();
    ReadAppPaths();
    ReadRunValues();
    Pump();
    ReadClasses();
    ReadSharedDlls();
    ReadFirewallRules();
    Pump();
    for (std::size_t i = 0; i < traceRoots_.size(); ++i) {
        // Walked by the name the system spells, so findings show the folders as they are.
        const std::wstring& root = traceRootPaths_[i];
        // Both Program Files folders, whichever of them this process calls its own.
        const bool programRoot =
            FolderForm(root) == FolderForm(platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILES)) ||
            FolderForm(root) == FolderForm(platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILESX86)) ||
            FolderForm(root) == FolderForm(platform::GetEnvironmentString(L"ProgramW6432"));
        WalkFolderRoot(root, programRoot);
        Pump();
    }
    WalkKeyRoot(HKEY_CURRENT_USER, false);
    for (const bool view64 : MachineViews()) WalkKeyRoot(HKEY_LOCAL_MACHINE, view64);
    report.keepFolders = facts.OwnerFolders();
    return std::move(report);
}

TOrphanReport ScanOrphans(const inventory::TSoftList& catalogue, const TOrphanScanOptions& options) {
    TOrphanScanner scanner(catalogue, options);
    return scanner.Run();
}

}  // namespace tarvo::leftovers::orphans
