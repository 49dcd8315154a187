#pragma once
// The records one leftover scan produces: a registry finding, a file finding, and the data
// every node of the result tree carries.

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tarvo::leftovers {

// One registry finding. ValueName and ValueData are empty for a key finding.
struct TShowRegInfo {
    HKEY RootKey = nullptr;
    std::wstring KeyPath;  // below the root, no leading backslash
    std::wstring ValueName;
    std::wstring ValueData;
    // The view the finding was read in, which its removal must use: the entry's, except for
    // the records Windows Installer keeps in the native view whatever the product's bitness.
    bool View64 = false;

    [[nodiscard]] platform::RegistryLocation Location() const {
        return platform::RegistryLocation::FromRoot(RootKey, KeyPath, View64);
    }
};

// What a file finding names.
enum class PathKind : std::int32_t { Folder = 0, File = 1 };

// One file-system finding.
struct TFileInfo {
    std::wstring Path;
    std::int64_t Size = 0;  // as enumerated; 0 for folders and unenumerated files
    PathKind Kind = PathKind::Folder;
    std::int32_t TreeImage = 0;
};

enum TNodeKind : std::int32_t {
    nkProgram = 0,
    nkRegistryGroup = 1,
    nkFileGroup = 2,
    nkItem = 3,
};

// Where an item node's finding lies.
enum class FindingKind : std::int32_t { Registry = 0, File = 1 };

// The data of every node of the result tree, fields in their fixed order. Program and group
// nodes carry their caption without its count in ValueName.
struct TMyTreeData {
    FindingKind ItemKind = FindingKind::Registry;
    bool View64 = false;
    HKEY RootKey = nullptr;
    std::wstring KeyPath;
    std::wstring ValueName;
    std::wstring ValueData;
    std::wstring FilePath;
    std::int64_t FileSize = 0;
    PathKind FileKind = PathKind::Folder;
    std::int32_t TreeImage = 0;
    bool DeletedNow = false;
    TNodeKind NodeKind = nkItem;
    bool RebootMarked = false;

    // A registry item's key, in the view it was found in.
    [[nodiscard]] platform::RegistryLocation Location() const {
        return platform::RegistryLocation::FromRoot(RootKey, KeyPath, View64);
    }
};

// A registry item names a value when it has a value name or data: the default value has no
// name but its data. Only an item with neither is its key.
[[nodiscard]] inline bool IsValueItem(const TMyTreeData& item) noexcept {
    return !item.ValueName.empty() || !item.ValueData.empty();
}

// A value recorded under a reported key; only de-duplication reads it.
struct TRegeditItemInfo {
    std::wstring Name;
    std::wstring Data;
};

struct TRegeditItemGroup;

// Names a rule has reported, compared without regard to case. A name may carry the group of
// the key reported under it, whose nested set holds that key's subkeys.
class TRuleSet {
public:
    [[nodiscard]] bool Contains(const std::wstring& name) const;
    // Records the name (keeping a group already there); returns its group.
    TRegeditItemGroup& Add(const std::wstring& name);
    // Forgets a name whose key the guards refused, so that no rule follows it further.
    void Remove(const std::wstring& name);
    [[nodiscard]] std::size_t Size() const noexcept { return names_.size(); }
    [[nodiscard]] bool Empty() const noexcept { return names_.empty(); }
    [[nodiscard]] TRegeditItemGroup* Find(const std::wstring& name) const;

private:
    std::map<std::wstring, std::unique_ptr<TRegeditItemGroup>> names_;  // lower-case keys
};

struct TRegeditItemGroup {
    TRuleSet Subkeys;
    std::vector<TRegeditItemInfo> Values;
};

}  // namespace tarvo::leftovers
