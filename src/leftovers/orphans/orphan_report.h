#pragma once
// The findings of one orphan scan, and the result tree they become: one program node per
// program they most likely belonged to, its registry and file groups, and the items with their
// evidence in the caption. Sure findings come ticked; doubtful ones unticked.

#include <string>
#include <vector>

#include "leftovers/orphans/orphan_facts.h"
#include "leftovers/regedit_scan.h"
#include "leftovers/result_tree.h"
#include "leftovers/scan_records.h"

namespace tarvo::leftovers::orphans {

struct TOrphanFinding {
    FindingKind kind = FindingKind::Registry;
    // Registry: the key, and the value when valueName or valueData is set.
    HKEY root = nullptr;
    std::wstring keyPath;
    std::wstring valueName;
    std::wstring valueData;
    bool view64 = false;
    // File: the path; a folder is listed with its content after it.
    std::wstring path;
    PathKind fileKind = PathKind::File;
    std::int64_t size = 0;

    Confidence confidence = Confidence::High;
    std::wstring evidence;
    std::wstring program;
};

struct TOrphanReport {
    std::vector<TOrphanFinding> findings;
    // What the scan looked at closely and left alone, with why.
    std::vector<TScanRefusal> leftAlone;
    // The folders something still uses (FolderForm): a removal never empties one away.
    std::vector<std::wstring> keepFolders;

    [[nodiscard]] bool Has(const TOrphanFinding& f) const;
    // Adds the finding unless the same item is there already.
    void Add(TOrphanFinding finding);
    // Notes why something was left alone, once per item.
    void LeaveAlone(const std::wstring& item, const std::wstring& reason);
};

// Appends one program node per group, in the order the groups were first found; registry
// before files within a group. Returns the number of items.
int BuildOrphanTree(const TOrphanReport& report, TResultTree& tree, TreeImages& images);

// The evidence an item node carries, from its caption ("… — evidence").
[[nodiscard]] std::wstring ItemCaption(const TOrphanFinding& finding);

}  // namespace tarvo::leftovers::orphans
