#pragma once
// A trace as the first program node of the removal tree, "recorded at installation", every
// item ticked. Only what the installer created and what still exists is offered, and only
// where it holds nothing else: a key or folder the installer made that now also holds another
// program's or the user's values, keys or files is not offered itself (its traced content is,
// item by item), so the removal takes the installer's things and leaves the rest where it is.
// Changed values are not in the tree: they are put back, not deleted (put_back.h).

#include <functional>
#include <set>
#include <string>

#include "leftovers/result_tree.h"
#include "trace/trace_store.h"

namespace tarvo::trace {

// What the builder asks of the world; tests fake it.
struct PresentWorld {
    std::function<bool(const platform::RegistryLocation& key)> keyExists;
    std::function<bool(const platform::RegistryLocation& key, const std::wstring& value)> valueExists;
    // The names of a key's values and subkeys as they are now.
    std::function<std::vector<std::wstring>(const platform::RegistryLocation& key)> valueNames;
    std::function<std::vector<std::wstring>(const platform::RegistryLocation& key)> subkeyNames;
    // A folder's entries' names now; a file exists when its attributes say so.
    std::function<std::vector<std::wstring>(const std::wstring& folder)> folderEntries;
    std::function<DWORD(const std::wstring& path)> attributes;
};
[[nodiscard]] PresentWorld RealWorld();

// The program node for the trace (nothing when none of its items is left), put before every
// other program node; the same findings under the other nodes are dropped from them, so
// nothing is listed or removed twice. Returns the number of items offered.
int AddTracedNode(const Trace& trace, const std::wstring& programName, leftovers::TResultTree& tree,
                  const PresentWorld& world = RealWorld());

// The marker the node's caption carries, in the user's language.
[[nodiscard]] std::wstring RecordedCaption();

}  // namespace tarvo::trace
