#pragma once
// What a removal empties on its way: the publisher folder that held only the program's data
// folder, the key "Software\<Publisher>" that held only the program's settings key. Each one
// the removal left empty goes too, up to a place that is not the program's to empty: a
// reserved folder, a folder another program's folder lies in, a shared or vendor-list key.

#include <windows.h>

#include <compare>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tarvo::leftovers {

class TEmptyShells {
public:
    using Key = platform::RegistryLocation;
    struct Actions {
        std::function<bool(const std::wstring& folder)> removeFolder;
        std::function<bool(const Key& key)> deleteKey;
        // Before anything goes: a backup's chance to note it. Either may be empty.
        std::function<void(const std::wstring& folder)> beforeFolder;
        std::function<void(const Key& key)> beforeKey;
    };

    // `keepFolders`: folders of other programs (FolderForm); neither they nor a folder above
    // them is ever emptied away.
    explicit TEmptyShells(std::vector<std::wstring> keepFolders = {});

    void RemovedPath(const std::wstring& path);
    // A value deleted leaves its key to look at; a key deleted, its parent.
    void RemovedRegistry(const platform::RegistryLocation& item, bool wasValue);

    // Removes what was left empty, deepest first; returns what went, folders then keys, for
    // the log.
    struct Removed {
        std::vector<std::wstring> folders;
        std::vector<Key> keys;
    };
    Removed Remove(const Actions& actions);

    // The places a removal may empty away (exposed for tests).
    [[nodiscard]] static bool IsProgramKeyPlace(HKEY root, const std::wstring& keyPath);

private:
    [[nodiscard]] bool MayEmptyFolder(const std::wstring& form) const;

    std::vector<std::wstring> keep_;
    std::map<std::wstring, std::wstring> folders_;  // FolderForm -> the path as the removal knew it
    std::set<Key> keys_;
};

}  // namespace tarvo::leftovers
