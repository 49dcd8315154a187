#pragma once
// One leftover scan from start to end: decide whether and how to scan, run the rules, and
// add the program's node with its findings to the result tree.
//
// For the uninstall dialog's "Powerful Scan":
//     TResultTree tree; TIconList images;   // or the window's own TreeImages
//     const int found = ScanLeftovers(&entry, tree, {}, images, {.pump = PumpWaitingMessages});
// and for the forced uninstall of a bare folder pass a null entry and the folder text.

#include <functional>
#include <string>
#include <vector>

#include "inventory/soft_info.h"
#include "leftovers/regedit_scan.h"
#include "leftovers/result_tree.h"

namespace tarvo::leftovers {

enum class ScanMode {
    None,        // nothing is scanned
    FolderOnly,  // a bare folder: the file rules alone
    Toolbar,     // a toolbar entry without uninstall command: its toolbar keys, then its files
    Full,        // every registry rule, then the file rules
};

// What a scan of this input does. `scanned` receives the entry the scan works on: a copy of
// the entry (with the toolbar fields set for a toolbar marker), or the temporary entry made
// for a bare folder.
[[nodiscard]] ScanMode DecideScan(const inventory::TSoftInfo* entry, const std::wstring& folderText,
                                  inventory::TSoftInfo& scanned);

// Runs one scan and appends its program node to the tree (nothing when it finds nothing).
// Returns the number of findings, registry and file together; 0 when the entry is not
// scanned. `images` must already hold the four fixed images.
int ScanLeftovers(const inventory::TSoftInfo* entry, TResultTree& tree, const std::wstring& folderText,
                  TreeImages& images, const ScanOptions& options = {});

// Scans a batch of programs in the given order into one tree: each registry tree and each
// folder is read from the system once, by the first program's scan, and the later programs'
// rules test their own needles against that reading. The tree, the findings and their order
// are those of one ScanLeftovers per entry; the counts come back in the same order.
// Nothing may write to the registry or the scanned folders while it runs. When
// `cancelRequested` turns true the entries not yet begun are skipped (counted 0).
std::vector<int> ScanLeftoversBatch(const std::vector<const inventory::TSoftInfo*>& entries, TResultTree& tree,
                                    TreeImages& images, const ScanOptions& options = {},
                                    const std::function<bool()>& cancelRequested = {});

// The program node for a finished scan (exposed for the tree's own tests).
[[nodiscard]] std::unique_ptr<TTreeNode> BuildProgramNode(const TRegeditScanClasses& scan, TreeImages& images,
                                                          const ScanOptions& options);

}  // namespace tarvo::leftovers
