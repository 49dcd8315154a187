#pragma once
// What Windows Installer recorded of a product whose uninstall entry names neither a folder
// nor an icon: the folders of its components and its product icon. Every component of every
// product is listed under one key, so the lists are read once and kept for every product.

#include <map>
#include <string>
#include <vector>

#include "inventory/soft_info.h"

namespace tarvo::inventory {

class TRefusedFolders;

// The packed product code of an installer product's entry (its key is named by the braced
// product code); empty for any other entry.
[[nodiscard]] std::wstring InstallerPackedCode(const TSoftInfo& entry);

class TInstallerRecords {
public:
    // The deepest folder the product's component paths share, from every user's records
    // (registry components aside); empty when there is none or it is a place no program owns.
    [[nodiscard]] std::wstring ProductFolder(const std::wstring& packed, const TRefusedFolders& refused);
    // The product icon of its advertised record (machine-wide, then the user's): a file and
    // an icon index. Empty when the product has none.
    [[nodiscard]] static std::wstring ProductIcon(const std::wstring& packed, int& iconIndex);

private:
    void ReadComponents();
    bool read_ = false;
    std::map<std::wstring, std::vector<std::wstring>> paths_;  // upper-case packed code -> paths
};

class TFileFacts;

// The folder an entry's files are in when its key names none: the uninstall command's, or
// for an installer product (whose command is only "MsiExec /X{code}") its components'.
[[nodiscard]] std::wstring CompletedInstallFolder(const TSoftInfo& entry, const TRefusedFolders& refused,
                                                  TFileFacts& facts, TInstallerRecords& records);
// The same with the places and records read for this one entry.
[[nodiscard]] std::wstring CompletedInstallFolder(const TSoftInfo& entry);

// The deepest folder all the paths lie in: a path ending in a backslash is a folder, any other
// names a file in its folder. Compared without regard to case; empty when they share none.
[[nodiscard]] std::wstring DeepestCommonFolder(const std::vector<std::wstring>& paths);

}  // namespace tarvo::inventory
