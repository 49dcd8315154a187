#pragma once
// The short list of places a recording never looks at: what the system, Wine and this program
// change on their own while an installer runs (logs, caches, temporary folders, our own data
// folder, the registry's bookkeeping). It is a list, shown to the user and in the console's
// "traces --filter", never a guess: anything not on it that changes is in the trace.

#include <string>
#include <vector>

namespace tarvo::trace {

class TraceFilter {
public:
    // A folder (with everything below it) the file recording leaves out.
    void AddFolder(std::wstring folder);
    // A key (root name and path, "HKEY_CURRENT_USER\Software\Wine") left out with its subkeys.
    void AddKey(std::wstring key);

    [[nodiscard]] bool SkipsFolder(const std::wstring& path) const;
    [[nodiscard]] bool SkipsKey(const std::wstring& rootName, const std::wstring& path) const;

    // Every entry, folders first, as the user sees the list.
    [[nodiscard]] std::vector<std::wstring> Lines() const;

private:
    std::vector<std::wstring> folders_;  // lower case, no trailing backslash
    std::vector<std::wstring> keys_;     // lower case
};

// The list for this machine: temporary folders, the system's logs and caches, the recycle
// bin, our data folder; Wine's own keys and the registry's shell bookkeeping.
[[nodiscard]] TraceFilter DefaultTraceFilter(const std::wstring& dataFolder);

}  // namespace tarvo::trace
