#include "cli/scan_verb.h"

#include "cli/batch_uninstall.h"

#include "cli/removal_verbs.h"
#include "cli/trace_verbs.h"

#include <nlohmann/json.hpp>

#include "common/paths.h"
#include "inventory/command_analysis.h"
#include "inventory/installer_records.h"
#include "inventory/inventory.h"
#include "inventory/program_places.h"
#include "platform/registry.h"
#include "common/text.h"
#include "leftovers/scan_driver.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tarvo::cli {

namespace {

using common::EqualsIgnoreCase;
using inventory::TSoftInfo;
using leftovers::TTreeNode;
using nlohmann::ordered_json;

std::string Utf8(const std::wstring& text) { return platform::Utf8FromWide(text); }

void AppendNode(const TTreeNode& node, int depth, std::wstring& text) {
    text.append(static_cast<std::size_t>(depth) * 2, L' ');
    text += node.Caption;
    text += L"\r\n";
    for (const auto& child : node.Children) AppendNode(*child, depth + 1, text);
}

// The entry a name or key names: the uninstall key ("HKEY_LOCAL_MACHINE\SOFTWARE\…\X" or
// the key's own name X) or the display name, visible entries first.
const TSoftInfo* FindEntry(const inventory::TSoftList& list, const std::wstring& target) {
    const std::wstring wanted = platform::RelativeKeyPath(target);
    for (const bool hidden : {false, true}) {
        for (const auto& e : list) {
            if (e->Hidden != hidden) continue;
            const std::wstring key = e->RootKeyName + L"\\" + platform::RelativeKeyPath(e->KeyPath);
            const std::wstring keyName = common::NamePart(e->KeyPath);
            if (EqualsIgnoreCase(key, wanted) || EqualsIgnoreCase(e->DisplayName, target) ||
                EqualsIgnoreCase(keyName, target))
                return e.get();
        }
    }
    return nullptr;
}

}  // namespace

std::wstring ScanTreeText(const leftovers::TResultTree& tree) {
    std::wstring text;
    for (const auto& program : tree.Programs) AppendNode(*program, 0, text);
    return text;
}

std::string ScanFindingsJson(const leftovers::TResultTree& tree) {
    ordered_json array = ordered_json::array();
    for (const auto& program : tree.Programs)
        for (const auto& group : program->Children)
            for (const auto& item : group->Children) {
                const auto& d = item->Data;
                ordered_json o;
                const bool registry = d.ItemKind == leftovers::FindingKind::Registry;
                o["kind"] = registry ? "registry" : "file";
                o["root"] = registry ? ordered_json(Utf8(platform::RootName(d.RootKey))) : ordered_json(nullptr);
                o["key"] = registry ? ordered_json(Utf8(d.KeyPath)) : ordered_json(nullptr);
                o["valueName"] = registry ? ordered_json(Utf8(d.ValueName)) : ordered_json(nullptr);
                o["valueData"] = registry ? ordered_json(Utf8(d.ValueData)) : ordered_json(nullptr);
                o["path"] = registry ? ordered_json(nullptr) : ordered_json(Utf8(d.FilePath));
                o["size"] = registry ? ordered_json(nullptr) : ordered_json(d.FileSize);
                o["fileKind"] = registry ? ordered_json(nullptr)
                                         : ordered_json(d.FileKind == leftovers::PathKind::File ? "file" : "folder");
                array.push_back(std::move(o));
            }
    return array.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

int RunScanVerb(std::span<const std::wstring> args, CliOutput& out) {
    bool json = false, folderMode = false, remove = false, shred = false, pending = false;
    std::wstring target;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--pending" && target.empty()) {
            pending = true;
        } else if (args[i] == L"--json") {
            json = true;
        } else if (args[i] == L"--delete") {
            remove = true;
        } else if (args[i] == L"--shred") {
            shred = true;
        } else if (args[i] == L"--folder" && i + 1 < args.size() && target.empty()) {
            folderMode = true;
            target = args[++i];
        } else if (args[i].rfind(L"--", 0) != 0 && target.empty()) {
            target = args[i];
        } else {
            out.Err(L"tarvo scan: unexpected argument \"" + args[i] + L"\"\r\n");
            return kExitUsage;
        }
    }
    if (pending && !target.empty()) return kExitUsage;
    if (pending && !(shred && !remove)) return ScanPending({json, remove, shred}, out);
    if (target.empty() || (shred && !remove)) return kExitUsage;

    inventory::TSoftList list;
    inventory::Inventory(list);
    const std::vector<inventory::TProgramPlace> catalogue = inventory::CataloguePlaces(list, true);
    const ScanReport how{json, remove, shred};
    if (folderMode) {
        // A folder named without its trailing backslash is still the folder to scan, not a
        // file in its parent.
        std::wstring folder = target;
        if (folder.back() != L'\\' && platform::FolderExists(folder)) folder += L'\\';
        return ScanAndReport(nullptr, folder, catalogue, how, out);
    }
    const TSoftInfo* found = FindEntry(list, target);
    if (!found) {
        out.Err(L"tarvo scan: no installed program \"" + target + L"\"\r\n");
        return kExitUnknownEntry;
    }
    return ScanAndReport(found, {}, catalogue, how, out);
}

int ScanAndReport(const inventory::TSoftInfo* found, const std::wstring& folder,
                  const std::vector<inventory::TProgramPlace>& catalogue, const ScanReport& how, CliOutput& out) {
    leftovers::TResultTree tree;
    leftovers::TIconList images;
    std::vector<leftovers::TScanRefusal> refusals;
    leftovers::ScanOptions options;
    options.refusals = &refusals;
    options.catalogue = &catalogue;
    if (found) {
        TSoftInfo entry = *found;
        // The catalogue completes a missing location from the uninstall command.
        if (common::Trim(entry.InstallLocation).empty())
            entry.InstallLocation = inventory::CompletedInstallFolder(entry);
        (void)leftovers::ScanLeftovers(&entry, tree, {}, images, options);
    } else {
        (void)leftovers::ScanLeftovers(nullptr, tree, folder, images, options);
    }
    // A traced program's recorded items come first; its changed values are put back on removal.
    const trace::TracedScan traced = AddTracedScan({found}, tree);
    const int count = PrintScan(tree, refusals, how, out);
    if (count == 0 && !(how.remove && traced.changedValues)) return how.nothingFoundIsSuccess ? kExitOk : kExitFailure;
    return how.remove ? DeleteFindings(tree, how.shred, out, traced.PutBackItems()) : kExitOk;
}

int PrintScan(const leftovers::TResultTree& tree, const std::vector<leftovers::TScanRefusal>& refusals,
              const ScanReport& how, CliOutput& out) {
    const int count = leftovers::FindingCount(tree);
    if (how.json)
        out.OutUtf8(ScanFindingsJson(tree));
    else
        out.Out(count > 0 ? ScanTreeText(tree) : std::wstring(L"No left items found.\r\n"));
    if (how.remove && !how.json)
        for (const auto& refusal : refusals) out.Out(L"Left alone: " + refusal.item + L" (" + refusal.reason + L")\r\n");
    return count;
}

}  // namespace tarvo::cli
