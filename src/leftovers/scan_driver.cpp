#include "leftovers/scan_driver.h"

#include <algorithm>
#include <map>
#include <optional>

#include "common/paths.h"
#include "inventory/command_text.h"
#include "leftovers/value_text.h"
#include "platform/registry.h"
#include "common/text.h"
#include "leftovers/path_elements.h"
#include "leftovers/rule_families.h"
#include "leftovers/scheduled_tasks.h"
#include "leftovers/shell_verbs.h"
#include "platform/folders.h"
#include "platform/read_memo.h"
#include "platform/shell.h"
#include "settings/system_info.h"

namespace tarvo::leftovers {

namespace {

using inventory::TSoftInfo;

// The file rules on the entry's location split into its folder and the file it names.
void FolderOnlyFileRules(TRegeditScanClasses& scan) {
    FileRuleInput input;
    common::PathSplit location = common::SplitPath(scan.Entry.InstallLocation);
    input.installFolder = std::move(location.folder);
    input.mainFileName = std::move(location.name);
    RunFileRules(scan, input);
}

platform::unique_hicon ProgramIcon(const TSoftInfo& entry, const ScanOptions& options) {
    if (const CatalogueImages* catalogue = options.catalogueImages) {
        const int index = entry.ImageIndex >= 0 && entry.ImageIndex < catalogue->Count() ? entry.ImageIndex : 0;
        return catalogue->Icon(index);
    }
    const std::wstring icon = inventory::ExpandShellCommandMacros(entry.DisplayIcon, platform::GetWindowsFolder(),
                                                                  platform::GetSystemFolder(), {});
    return platform::GetFileIconOf(icon, false);
}

std::unique_ptr<TTreeNode> GroupNode(const std::wstring& name, std::size_t count, int image, TNodeKind nodeKind,
                                     bool view64) {
    auto node = std::make_unique<TTreeNode>();
    node->Caption = CountCaption(name, count);
    node->Image = image;
    node->Data.View64 = view64;
    node->Data.ValueName = name;
    node->Data.NodeKind = nodeKind;
    return node;
}

// A 32-bit program's 64-bit shell extension or start-up entry lives in the other view, and so
// do a 64-bit program's 32-bit helpers: the rules that look where either bitness writes run
// once more there, with name sets of their own (a class of the same name there is another key).
void OtherViewRules(TRegeditScanClasses& scan) {
    const auto other = platform::ViewOf(!scan.Entry.View64);
    TRuleSets sets;
    std::swap(scan.Sets, sets);
    scan.OverrideView(other);
    ComClassRule(scan);
    ReservedClassVerbRule(scan);
    ShellVerbRule(scan);
    ClassesRule(scan, HKEY_LOCAL_MACHINE, scan.Sets.ProgIds);
    InterfaceRule(scan);
    RunKeyRule(scan, HKEY_LOCAL_MACHINE);
    AppPathsRule(scan);
    ShellExtensionApprovalRule(scan);
    VendorKeyWalk(scan, HKEY_LOCAL_MACHINE);
    scan.OverrideView(std::nullopt);
    std::swap(scan.Sets, sets);
}

// Where both views share a key, the other view's pass finds it again: one finding is enough.
// Only the key's kernel name tells a shared key from a redirected one of the same path.
void DropSharedKeyRepeats(TRegeditScanClasses& scan) {
    std::map<std::wstring, std::size_t> first;
    std::map<std::wstring, std::optional<std::wstring>> kernelNames;
    const auto kernelName = [&](const TShowRegInfo& r) -> const std::optional<std::wstring>& {
        const std::wstring id = (r.View64 ? L"64|" : L"32|") + platform::RootName(r.RootKey) + L"\\" +
                                common::LowerCase(r.KeyPath);
        auto found = kernelNames.find(id);
        if (found == kernelNames.end())
            found = kernelNames
                        .emplace(id, platform::RegistryKernelName(r.RootKey, r.KeyPath, platform::ViewOf(r.View64)))
                        .first;
        return found->second;
    };
    std::vector<TShowRegInfo> kept;
    kept.reserve(scan.RegResults.size());
    for (auto& r : scan.RegResults) {
        const std::wstring text = common::LowerCase(
            RegistryItemText(r.RootKey, r.KeyPath, r.ValueName, r.ValueData) + (r.ValueName.empty() ? L"|" : L"|v"));
        const auto [at, fresh] = first.emplace(text, kept.size());
        if (!fresh) {
            const TShowRegInfo& earlier = kept[at->second];
            if (earlier.View64 == r.View64) continue;
            const auto& a = kernelName(earlier);
            if (a && a == kernelName(r)) continue;
        }
        kept.push_back(std::move(r));
    }
    scan.RegResults = std::move(kept);
}

}  // namespace

void RunRegistryRules(TRegeditScanClasses& scan) {
    const bool folder = !scan.FolderKey.empty();
    if (folder) ComClassRule(scan);
    UninstallKeyRules(scan);
    AppIdKeysRule(scan);
    if (folder) {
        ReservedClassVerbRule(scan);
        ShellVerbRule(scan);
        ClassesRule(scan, HKEY_CURRENT_USER, scan.Sets.UserClasses);
        ClassesRule(scan, HKEY_LOCAL_MACHINE, scan.Sets.ProgIds);
        InterfaceRule(scan);
        ServicesRule(scan);
        FirewallRule(scan);
        RunKeyRule(scan, HKEY_LOCAL_MACHINE);
        RunKeyRule(scan, HKEY_CURRENT_USER);
        AppPathsRule(scan);
        PathElementRule(scan);
        ScheduledTaskRule(scan);
        ShellExtensionApprovalRule(scan);
        VendorKeyWalk(scan, HKEY_LOCAL_MACHINE);
        VendorKeyWalk(scan, HKEY_CURRENT_USER);
        ControlPanelRule(scan);
        ClientsRule(scan);
        EventLogRule(scan);
        DisplayNameCacheRule(scan);
        if (settings::IsWow64()) OtherViewRules(scan);
    }
    SettingsKeyRule(scan);
    MakerKeysRule(scan);
    DropSharedKeyRepeats(scan);
    RunFileRules(scan, {LocationFolder(scan.Entry.InstallLocation), common::NamePart(scan.EntryKeyPath), {}});
}

ScanMode DecideScan(const TSoftInfo* entry, const std::wstring& folderText, TSoftInfo& scanned) {
    if (!entry) {
        scanned = TSoftInfo();
        scanned.DisplayName = common::NamePart(folderText);
        scanned.InstallLocation = common::FolderPart(folderText);
        return ScanMode::FolderOnly;
    }
    scanned = *entry;
    const std::wstring& command = entry->UninstallString;
    if (command == inventory::kTarvoToolbarMarker) return ScanMode::None;
    if (command.find(inventory::kToolbarMarker) == std::wstring::npos) return ScanMode::Full;
    if (command == inventory::kToolbarMarker && platform::ParsesAsClassId(entry->ToolbarId)) {
        scanned.ToolbarKey = entry->ToolbarId;
        scanned.ToolbarFile = entry->InstallLocation;
        // The marker stands where the command would: such an entry has no uninstaller of its own.
        return ScanMode::Toolbar;
    }
    return ScanMode::None;
}

std::unique_ptr<TTreeNode> BuildProgramNode(const TRegeditScanClasses& scan, TreeImages& images,
                                            const ScanOptions& options) {
    const bool view64 = scan.Entry.View64;
    const std::size_t count = scan.RegResults.size() + scan.FileResults.size();
    auto program = GroupNode(scan.Entry.DisplayName, count, 0, nkProgram, view64);
    const int icon = images.Add(ProgramIcon(scan.Entry, options));
    program->Image = icon < 0 ? 0 : icon;
    if (!scan.RegResults.empty()) {
        auto group = GroupNode(L"Registry", scan.RegResults.size(), kImageRegistryGroup, nkRegistryGroup, view64);
        for (const auto& reg : scan.RegResults) {
            auto item = std::make_unique<TTreeNode>();
            const bool isValue = !reg.ValueName.empty() || !reg.ValueData.empty();
            item->Caption = RegistryItemText(reg.RootKey, reg.KeyPath, reg.ValueName, reg.ValueData);
            item->Image = isValue ? kImageRegistryValue : kImageRegistryKey;
            item->Data.ItemKind = FindingKind::Registry;
            item->Data.View64 = reg.View64;
            item->Data.RootKey = reg.RootKey;
            item->Data.KeyPath = reg.KeyPath;
            item->Data.ValueName = reg.ValueName;
            item->Data.ValueData = reg.ValueData;
            group->Children.push_back(std::move(item));
        }
        program->Children.push_back(std::move(group));
    }
    if (!scan.FileResults.empty()) {
        auto group = GroupNode(L"File", scan.FileResults.size(), kImageFileGroup, nkFileGroup, view64);
        for (const auto& file : scan.FileResults) {
            auto item = std::make_unique<TTreeNode>();
            item->Caption = file.Path;
            item->Image = file.TreeImage;
            item->Data.ItemKind = FindingKind::File;
            item->Data.View64 = view64;
            item->Data.FilePath = file.Path;
            item->Data.FileSize = file.Size;
            item->Data.FileKind = file.Kind;
            item->Data.TreeImage = file.TreeImage;
            group->Children.push_back(std::move(item));
        }
        program->Children.push_back(std::move(group));
    }
    return program;
}

int ScanLeftovers(const TSoftInfo* entry, TResultTree& tree, const std::wstring& folderText, TreeImages& images,
                  const ScanOptions& options) {
    TSoftInfo scanned;
    const ScanMode mode = DecideScan(entry, folderText, scanned);
    if (mode == ScanMode::None) return 0;
    ScanOptions scanOptions = options;
    scanOptions.bareFolder = mode == ScanMode::FolderOnly;
    TRegeditScanClasses scan(scanned, images, scanOptions);
    switch (mode) {
        case ScanMode::Full:
            RunRegistryRules(scan);
            break;
        case ScanMode::Toolbar:
            RunToolbarRule(scan, common::Trim(scan.Entry.ToolbarKey));
            FolderOnlyFileRules(scan);
            break;
        case ScanMode::FolderOnly:
            FolderOnlyFileRules(scan);
            break;
        case ScanMode::None:
            break;
    }
    const int count = static_cast<int>(scan.RegResults.size() + scan.FileResults.size());
    if (count > 0) tree.Programs.push_back(BuildProgramNode(scan, images, options));
    if (options.catalogue) {
        const std::wstring own = common::Trim(scanned.DisplayName);
        for (const auto& place : *options.catalogue) {
            const std::wstring form = FolderForm(place.folder);
            if (form.empty() || (!own.empty() && common::EqualsIgnoreCase(common::Trim(place.name), own))) continue;
            if (std::find(tree.KeepFolders.begin(), tree.KeepFolders.end(), form) == tree.KeepFolders.end())
                tree.KeepFolders.push_back(form);
        }
    }
    return count;
}

std::vector<int> ScanLeftoversBatch(const std::vector<const TSoftInfo*>& entries, TResultTree& tree,
                                    TreeImages& images, const ScanOptions& options,
                                    const std::function<bool()>& cancelRequested) {
    const platform::ReadMemoScope memo;
    std::vector<int> counts;
    counts.reserve(entries.size());
    for (const TSoftInfo* entry : entries) {
        const bool skip = !entry || (cancelRequested && cancelRequested());
        counts.push_back(skip ? 0 : ScanLeftovers(entry, tree, {}, images, options));
    }
    return counts;
}

}  // namespace tarvo::leftovers
