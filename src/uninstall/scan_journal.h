#pragma once
// Programs uninstalled but not yet scanned for leftovers. Before each uninstaller of a batch
// starts, the entry as read is written down; once a scan has run for it, it is struck off.
// When the program or the machine stops in between, the next start finds the programs that
// still need their scan, with everything the scan needs even though the entry's key is gone.

#include <string>
#include <vector>

#include "inventory/soft_info.h"

namespace tarvo::uninstall {

// The entry's uninstall key is still there: its uninstaller did not finish (cancelled, failed,
// stopped with the batch), so a leftover scan would take the installed program for leftovers.
[[nodiscard]] bool EntryStillListed(const inventory::TSoftInfo& entry);

class TScanJournal {
public:
    static constexpr const wchar_t* kFileName = L"PendingScans.ini";
    // The journal file in the data folder; empty without one (nothing is then written down).
    [[nodiscard]] static std::wstring DefaultPath();
    explicit TScanJournal(std::wstring path) : path_(std::move(path)) {}

    // Writes the entry down (again, when it is there already). False when the file could
    // not be written, which the caller reports: a crash would then lose the record.
    bool Add(const inventory::TSoftInfo& entry) const;
    // Strikes the entries off; the file goes with the last one.
    bool Remove(const std::vector<const inventory::TSoftInfo*>& entries) const;
    // The entries still waiting, in the order they were written down.
    [[nodiscard]] std::vector<inventory::TSoftInfo> Pending() const;

private:
    std::wstring path_;
};

}  // namespace tarvo::uninstall
