#include "leftovers/regedit_scan.h"

#include "common/paths.h"
#include "inventory/command_text.h"
#include "platform/registry.h"
#include "common/text.h"
#include "language/language.h"
#include "leftovers/scan_guard.h"
#include "leftovers/value_text.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"

namespace tarvo::leftovers {

namespace {

using common::LowerCase;
using common::Trim;
using language::GetText;

std::wstring SharedPlaceReason() { return GetText(L"Scan_Refused_Shared_M", L"a shared folder"); }
std::wstring OtherProgramReason() { return GetText(L"Scan_Refused_Other_M", L"belongs to another program"); }
std::wstring HolderReason() { return GetText(L"Scan_Refused_Holder_M", L"holds another program's folder"); }
std::wstring LinkReason() { return GetText(L"Scan_Refused_Link_M", L"reached through a link"); }

// "c:\a\b\" -> "c:\a\"; a volume root has no parent.
std::wstring ParentForm(const std::wstring& form) { return common::ParentFolder(form); }

bool IsPrefixOf(const std::wstring& ancestor, const std::wstring& path) {
    return path.size() >= ancestor.size() && path.compare(0, ancestor.size(), ancestor) == 0;
}

bool IsShortcutFile(const std::wstring& path) {
    return path.size() > 4 && common::EqualsIgnoreCase(std::wstring_view(path).substr(path.size() - 4), L".lnk");
}

}  // namespace

bool TVisitedSet::Add(const std::wstring& path) { return paths_.insert(Form(path)).second; }
bool TVisitedSet::Contains(const std::wstring& path) const { return paths_.count(Form(path)) != 0; }

std::wstring TVisitedSet::Form(const std::wstring& path) {
    std::wstring form = LowerCase(path);
    while (form.size() > 3 && form.back() == L'\\') form.pop_back();
    return form;
}

std::wstring LocationFolder(const std::wstring& installLocation) {
    std::wstring folder = Trim(installLocation);
    if (!folder.empty() && platform::FileExists(folder)) {
        folder = common::FolderPart(folder);
    }
    return folder;
}

std::wstring DeriveFolderKey(const std::wstring& installLocation, const TReservedFolders& reserved) {
    const std::wstring form = FolderForm(LocationFolder(installLocation));
    if (form.empty() || reserved.IsReservedFolder(form)) return {};
    // A needle that is a whole volume, a folder holding system folders, or a relative text
    // would match what belongs to everyone.
    if (IsVolumeRoot(form) || reserved.IsAboveReservedFolder(form) || !IsPlainAbsolutePath(form)) return {};
    return form;
}

TRegeditScanClasses::TRegeditScanClasses(const inventory::TSoftInfo& entry, TreeImages& images,
                                         const ScanOptions& options)
    : Entry(entry), images_(images), options_(options) {
    if (options_.reservedFolders) {
        reserved_ = options_.reservedFolders;
    } else {
        ownReserved_.emplace();
        reserved_ = &*ownReserved_;
    }
    makers_ = options_.makerTable ? options_.makerTable : &TFileterManage::Instance();
    FolderKey = DeriveFolderKey(Entry.InstallLocation, *reserved_);
    guardFolder_ = FolderForm(LocationFolder(Entry.InstallLocation));
    EntryKeyPath = Entry.KeyPath;
    EntryRootName = Trim(Entry.RootKeyName);
    windowsFolder_ = platform::GetWindowsFolder();
    systemFolder_ = platform::GetSystemFolder();
    if (options_.catalogue)
        ownership_ = TProgramOwnership(*options_.catalogue, Entry.DisplayName, guardFolder_, options_.bareFolder,
                                       *reserved_);
}

void TRegeditScanClasses::Refuse(const std::wstring& item, const std::wstring& reason) {
    if (options_.refusals && refused_.insert(LowerCase(item)).second) options_.refusals->push_back({item, reason});
}

platform::RegistryView TRegeditScanClasses::View() const noexcept {
    if (viewOverride_) return *viewOverride_;
    return platform::ViewOf(Entry.View64);
}

void TRegeditScanClasses::Pump() const {
    if (options_.pump) options_.pump();
}

bool TRegeditScanClasses::ContainsFolder(const std::wstring& text) const {
    return !FolderKey.empty() && platform::LowerCaseContains(text, FolderKey);
}

bool TRegeditScanClasses::OpenKey(TScanKey& key, HKEY root, const std::wstring& keyPath) const {
    std::wstring path = platform::RelativeKeyPath(keyPath);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    if (key.Key.Open(root, path, KEY_READ, View()) != ERROR_SUCCESS) return false;
    key.Root = root;
    key.Path = std::move(path);
    return true;
}

void TRegeditScanClasses::ReportKey(TRuleSet& set, HKEY root, const std::wstring& name, const std::wstring& keyPath) {
    if (set.Contains(name)) return;
    TScanKey key;
    if (!OpenKey(key, root, keyPath)) return;
    // A shared container is never offered, and neither is anything below it through it.
    if (IsProtectedKey(root, key.Path)) return;
    const auto subkeys = key.Key.SubKeyNames();
    const auto values = key.Key.ValueNames();
    TRegeditItemGroup& group = set.Add(name);
    const std::size_t before = RegResults.size();
    if (keyDepth_++ == 0) keyForeign_ = false;
    RegResults.push_back(
        {.RootKey = root, .KeyPath = key.Path, .ValueName = {}, .ValueData = {}, .View64 = platform::Is64(View())});
    for (const auto& subkey : subkeys) {
        Pump();
        ReportKey(group.Subkeys, root, subkey, key.Path + L"\\" + subkey);
    }
    for (const auto& value : values) ReportValue(key, value, &group);
    // A key that names another program's files is that program's too: none of it is offered,
    // and no rule may follow it to what hangs on it (a file class's extensions, its CurVer).
    if (--keyDepth_ == 0 && keyForeign_) {
        RegResults.resize(before);
        set.Remove(name);
        Refuse(RegistryItemText(root, key.Path, {}, {}), OtherProgramReason());
    }
}

void TRegeditScanClasses::ReportEntryKey(TRuleSet& set, HKEY root, const std::wstring& name,
                                         const std::wstring& keyPath) {
    entryKey_ = true;
    ReportKey(set, root, name, keyPath);
    entryKey_ = false;
}

void TRegeditScanClasses::ReportValue(const TScanKey& key, const std::wstring& valueName, TRegeditItemGroup* group) {
    const std::wstring text = ReadValueText(key.Key, valueName);
    if (valueName.empty() && text.empty()) return;
    if (!entryKey_ && ownership_.PointsIntoOther(text)) {
        if (keyDepth_ > 0)
            keyForeign_ = true;
        else
            Refuse(RegistryItemText(key.Root, key.Path, valueName, text), OtherProgramReason());
        return;
    }
    RegResults.push_back({.RootKey = key.Root,
                          .KeyPath = key.Path,
                          .ValueName = valueName,
                          .ValueData = text,
                          .View64 = platform::Is64(View())});
    if (group) group->Values.push_back({valueName, text});
}

bool TRegeditScanClasses::AddKeyFinding(HKEY root, const std::wstring& keyPath) {
    std::wstring path = platform::RelativeKeyPath(keyPath);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    if (IsProtectedKey(root, path)) return false;
    RegResults.push_back(
        {.RootKey = root, .KeyPath = path, .ValueName = {}, .ValueData = {}, .View64 = platform::Is64(View())});
    return true;
}

DWORD TRegeditScanClasses::AttributesOf(const std::wstring& path) const {
    return options_.attributesOf ? options_.attributesOf(path) : platform::GetFileAttributesOf(path);
}

DWORD TRegeditScanClasses::ListedAttributes(const std::wstring& path, DWORD listed) const {
    return options_.attributesOf ? options_.attributesOf(path) : listed;
}

bool TRegeditScanClasses::UnderForeignLink(const std::wstring& path) const {
    // A link on the way is fine where the program's own folder or a system folder lies
    // through it (a profile reached through "Documents and Settings"); anywhere else the
    // path leads into whatever the link points at.
    for (std::wstring ancestor = ParentForm(FolderForm(path)); !ancestor.empty() && !IsVolumeRoot(ancestor);
         ancestor = ParentForm(ancestor)) {
        if (IsPrefixOf(ancestor, guardFolder_) || reserved_->IsReservedFolder(ancestor) ||
            reserved_->IsAboveReservedFolder(ancestor))
            continue;
        auto cached = linkCache_.find(ancestor);
        if (cached == linkCache_.end())
            cached = linkCache_.emplace(ancestor, platform::IsReparsePoint(AttributesOf(ancestor.substr(0, ancestor.size() - 1)))).first;
        if (cached->second) return true;
    }
    return false;
}

std::wstring TRegeditScanClasses::Refusal(const std::wstring& path, bool listing) const {
    if (!IsPlainAbsolutePath(path)) return SharedPlaceReason();
    const std::wstring form = FolderForm(path);
    if (IsVolumeRoot(form) || reserved_->IsReservedFolder(form) || reserved_->IsAboveReservedFolder(form))
        return SharedPlaceReason();
    if (FolderForm(windowsFolder_) == form || FolderForm(systemFolder_) == form) return SharedPlaceReason();
    // A folder that holds the program's folder holds more than the program.
    if (!guardFolder_.empty() && guardFolder_.size() > form.size() && IsPrefixOf(form, guardFolder_))
        return SharedPlaceReason();
    if (ownership_.BelongsToOther(form)) return OtherProgramReason();
    if (!listing && ownership_.HoldsOther(form)) return HolderReason();
    return UnderForeignLink(path) ? LinkReason() : std::wstring();
}

bool TRegeditScanClasses::ReportPath(const std::wstring& path, PathKind kind, std::int64_t size) {
    if (const std::wstring refusal = PathRefusal(path); !refusal.empty()) {
        Refuse(path, refusal);
        return false;
    }
    // A shortcut lives outside the folder it starts from: whichever rule found it (the desktop,
    // a start-menu folder both programs of a vendor share), one that starts another program
    // is that program's.
    if (kind == PathKind::File && ownership_.KnowsOthers() && IsShortcutFile(path)) {
        const platform::ComApartment com;
        if (ownership_.PointsIntoOther(platform::ResolveShellLinkTarget(path))) {
            Refuse(path, OtherProgramReason());
            return false;
        }
    }
    TFileInfo info{.Path = path, .Size = size, .Kind = kind};
    const std::wstring iconPath = inventory::ExpandShellCommandMacros(path, windowsFolder_, systemFolder_, {});
    // A folder shows as a folder: asked as a file, the shell gives a folder's name the
    // icon of an unknown document.
    const DWORD attributes = kind == PathKind::Folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (auto icon = platform::GetFileIconOf(iconPath, true, attributes)) {
        const int index = images_.Add(std::move(icon));
        if (index > 0) info.TreeImage = index;
    }
    FileResults.push_back(std::move(info));
    return true;
}

void TRegeditScanClasses::ListFolder(const std::wstring& folder, TVisitedSet& visited) {
    std::wstring base = folder;
    while (!base.empty() && base.back() == L'\\') base.pop_back();
    if (base.empty()) return;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    for (bool found = finder.FindFirst(base + L"\\*.*", data); found; found = finder.FindNext(data)) {
        Pump();
        if (data.cFileName[0] == L'.') continue;
        const std::wstring full = base + L"\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (visited.Add(full)) ReportPath(full, PathKind::Folder, 0);
            // Never into a junction or link: its content belongs to wherever it points; nor
            // into another program's folder, none of which is offered.
            if (!platform::IsReparsePoint(ListedAttributes(full, data.dwFileAttributes)) &&
                !ownership_.BelongsToOther(FolderForm(full)))
                ListFolder(full, visited);
        } else if (visited.Add(full)) {
            const auto size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            ReportPath(full, PathKind::File, size);
        }
    }
}

}  // namespace tarvo::leftovers
