#pragma once
// Finding a program's own folder in the large shared trees (application data, start menus)
// by its name. Those trees can hold tens of thousands of folders, so every tree is walked
// once per scan, whatever the number of needles and special folders that lie inside it.

#include <string>
#include <vector>

#include "leftovers/regedit_scan.h"

namespace tarvo::leftovers {

// What the walks cost, for benchmarks and tests.
struct TFolderSearchStats {
    // Per special folder, in the order given: how many times it was enumerated.
    std::vector<unsigned> RootEnumerations;
    // Folders enumerated in all, over every walk.
    unsigned long long FoldersEnumerated = 0;
    // Walks started (a special folder inside another one's tree needs none of its own).
    unsigned Walks = 0;
};

// For each special folder: below it, depth first, the first folder named like the name needle
// inside the first folder named like the publisher needle; when there is no such pair, the
// first folder named like the name needle; empty when there is none either, or when the name
// needle is empty. Needles are lower case. Names starting with "." are neither matched nor
// entered, and neither are links: what lies behind one belongs to wherever it points.
[[nodiscard]] std::vector<std::wstring> FindProgramFolders(const TRegeditScanClasses& scan,
                                                           const std::vector<std::wstring>& specialFolders,
                                                           const std::wstring& publisherNeedle,
                                                           const std::wstring& nameNeedle,
                                                           TFolderSearchStats* stats = nullptr);

// The first subfolder named `name` (lower case) below `folder`, depth first; empty when there
// is none or the folder text is empty.
[[nodiscard]] std::wstring FindSubfolder(const TRegeditScanClasses& scan, const std::wstring& folder,
                                         const std::wstring& name);

}  // namespace tarvo::leftovers
