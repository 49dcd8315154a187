#include "leftovers/orphans/orphan_report.h"

#include <algorithm>
#include <map>

#include "common/text.h"
#include "leftovers/removal.h"
#include "leftovers/value_text.h"
#include "platform/shell.h"

namespace tarvo::leftovers::orphans {

namespace {

bool SameItem(const TOrphanFinding& a, const TOrphanFinding& b) {
    if (a.kind != b.kind) return false;
    if (a.kind == FindingKind::File) return common::EqualsIgnoreCase(a.path, b.path);
    return a.root == b.root && a.view64 == b.view64 && common::EqualsIgnoreCase(a.keyPath, b.keyPath) &&
           common::EqualsIgnoreCase(a.valueName, b.valueName) && a.valueData == b.valueData;
}

std::unique_ptr<TTreeNode> Group(const std::wstring& name, int image, TNodeKind kind) {
    auto node = std::make_unique<TTreeNode>();
    node->Image = image;
    node->Data.NodeKind = kind;
    node->Data.ValueName = name;
    return node;
}

std::unique_ptr<TTreeNode> Item(const TOrphanFinding& f, TreeImages& images) {
    auto item = std::make_unique<TTreeNode>();
    item->Caption = ItemCaption(f);
    item->StateImage = f.confidence == Confidence::Low ? kStateUnticked : kStateTicked;
    auto& d = item->Data;
    d.View64 = f.view64;
    if (f.kind == FindingKind::Registry) {
        d.ItemKind = FindingKind::Registry;
        d.RootKey = f.root;
        d.KeyPath = f.keyPath;
        d.ValueName = f.valueName;
        d.ValueData = f.valueData;
        item->Image = IsValueItem(d) ? kImageRegistryValue : kImageRegistryKey;
    } else {
        d.ItemKind = FindingKind::File;
        d.FilePath = f.path;
        d.FileSize = f.size;
        d.FileKind = f.fileKind;
        const int icon = images.Add(platform::GetFileIconOf(
            f.path, true, f.fileKind == PathKind::Folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL));
        d.TreeImage = icon < 0 ? kImageFileGroup : icon;
        item->Image = d.TreeImage;
    }
    return item;
}

// A parent follows its children: ticked, unticked or partly.
void FollowChildren(TTreeNode& node) {
    bool anyTicked = false, anyUnticked = false;
    for (auto& child : node.Children) {
        if (!child->Children.empty()) FollowChildren(*child);
        anyTicked |= child->StateImage != kStateUnticked;
        anyUnticked |= child->StateImage != kStateTicked;
    }
    node.StateImage = anyTicked && anyUnticked ? kStatePartlyTicked : (anyTicked ? kStateTicked : kStateUnticked);
}

}  // namespace

bool TOrphanReport::Has(const TOrphanFinding& f) const {
    return std::any_of(findings.begin(), findings.end(), [&](const auto& g) { return SameItem(f, g); });
}

void TOrphanReport::Add(TOrphanFinding finding) {
    if (!Has(finding)) findings.push_back(std::move(finding));
}

void TOrphanReport::LeaveAlone(const std::wstring& item, const std::wstring& reason) {
    if (std::none_of(leftAlone.begin(), leftAlone.end(), [&](const auto& r) { return r.item == item; }))
        leftAlone.push_back({item, reason});
}

std::wstring ItemCaption(const TOrphanFinding& f) {
    const std::wstring text = f.kind == FindingKind::Registry
                                  ? RegistryItemText(f.root, f.keyPath, f.valueName, f.valueData)
                                  : f.path;
    return f.evidence.empty() ? text : text + L"  \x2014 " + f.evidence;
}

int BuildOrphanTree(const TOrphanReport& report, TResultTree& tree, TreeImages& images) {
    std::vector<std::wstring> order;
    std::map<std::wstring, std::vector<const TOrphanFinding*>> groups;
    for (const auto& f : report.findings) {
        const std::wstring key = common::LowerCase(f.program);
        if (!groups.count(key)) order.push_back(key);
        groups[key].push_back(&f);
    }
    int items = 0;
    for (const auto& key : order) {
        const auto& members = groups[key];
        auto program = Group(members.front()->program, 0, nkProgram);
        auto registry = Group(L"Registry", kImageRegistryGroup, nkRegistryGroup);
        auto files = Group(L"File", kImageFileGroup, nkFileGroup);
        for (const auto* f : members) {
            (f->kind == FindingKind::Registry ? registry : files)->Children.push_back(Item(*f, images));
            ++items;
        }
        if (!registry->Children.empty()) program->Children.push_back(std::move(registry));
        if (!files->Children.empty()) program->Children.push_back(std::move(files));
        FollowChildren(*program);
        tree.Programs.push_back(std::move(program));
    }
    for (const auto& keep : report.keepFolders)
        if (std::find(tree.KeepFolders.begin(), tree.KeepFolders.end(), keep) == tree.KeepFolders.end())
            tree.KeepFolders.push_back(keep);
    RecountCaptions(tree);
    return items;
}

}  // namespace tarvo::leftovers::orphans
