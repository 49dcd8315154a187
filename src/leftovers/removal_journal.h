#pragma once
// The part of a removal backup that is on the disk while the run is still going. Every
// record is appended and flushed before the item it saves is deleted, so a run that dies
// half-way (power cut, killed process) leaves a backup that restores everything that went.
// A marker file in the backup folder names the process running the removal; a marker that
// outlives its process is an unfinished removal, which the next start offers to finish (the
// planned items still there are removed, backed up like any other) or to undo (the partial
// backup is restored).
//
// Files beside the backup's manifest:
//     plan.txt           UTF-16LE with BOM, written before the first item goes: what the
//                        run means to remove, one tab-separated line per item, fields
//                        escaped ("%09" tab, "%0A", "%0D", "%25")
//     unfinished.txt     the removing process's id; gone once the run has ended

#include <string>
#include <vector>

#include "leftovers/result_tree.h"
#include "platform/file_stream.h"

namespace tarvo::leftovers {

inline constexpr wchar_t kUnfinishedMarker[] = L"unfinished.txt";
inline constexpr wchar_t kPlanFile[] = L"plan.txt";

// Text as the backup's files hold it: UTF-16LE, with the byte-order mark at a file's start.
[[nodiscard]] std::string Utf16Bytes(const std::wstring& text, bool withMark);

class TRemovalJournal {
public:
    // Starts the journal in a new, empty backup folder: the manifest with its header, and the
    // marker naming this process. False when either cannot be written.
    [[nodiscard]] bool Start(const std::wstring& folder, const std::wstring& manifestHeader);
    // One manifest line; on the disk when this returns true.
    [[nodiscard]] bool Record(const std::wstring& line);
    // An export appended to registry32.reg or registry64.reg; the first of a view writes the
    // file's header and the manifest line naming the file.
    [[nodiscard]] bool RecordRegistry(bool view64, const std::wstring& exportText);
    // What the run means to remove (PlanOf), before the first item goes.
    [[nodiscard]] bool RecordPlan(const std::vector<std::wstring>& lines);
    // The run has ended, however: the marker goes.
    void Close();

    [[nodiscard]] bool Started() const noexcept { return !folder_.empty(); }

private:
    std::wstring folder_;
    platform::FileStream manifest_;  // open for the whole run: one flush per record, no reopening
    bool registry32_ = false;
    bool registry64_ = false;
};

// Plan lines of every ticked item of the tree, and the folders a removal must keep.
[[nodiscard]] std::vector<std::wstring> PlanOf(const TResultTree& tree);

// True when the folder's marker is there and the process it names has ended.
[[nodiscard]] bool IsUnfinishedRemoval(const std::wstring& backupFolder);
// Backup folders below the root whose removal was cut off, oldest first.
[[nodiscard]] std::vector<std::wstring> FindUnfinishedRemovals(const std::wstring& backupRoot);

// A tree of the planned items that are still there as they were planned, every one ticked,
// under one program node; the removal runs over it to finish what was cut off. A file or
// folder that has become a link or changed kind since is left out.
[[nodiscard]] TResultTree TreeOfRemainingPlan(const std::wstring& backupFolder);

// The unfinished run has been dealt with (finished or undone): its marker goes, the backup
// stays in the list of backups.
void SettleUnfinished(const std::wstring& backupFolder);

}  // namespace tarvo::leftovers
