#pragma once
// What the orphan scan knows of the machine while it judges: who still owns which names and
// folders, which folders are the user's own, and the names the dead references carry. Plain
// data and plain decisions, so the judging can be tested without a machine.
//
// The rule throughout: something is offered only when nothing installed could still want it.
// An exact name of an installed program (hidden entries and system components included), a
// folder that holds or lies in a folder something still uses, a name merely like an installed
// program's: each leaves the trace alone, with the reason in words.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::leftovers::orphans {

// Lower-case letters and digits only: "Residue Labs, Inc." and "residuelabs" meet here.
[[nodiscard]] std::wstring NameKey(const std::wstring& name);

enum class Confidence { Low = 0, Medium = 1, High = 2 };

// The names a dead reference carries, with the program they most likely belonged to.
struct TDeadNames {
    // Records the names under a label, or under the label one of them already has; returns
    // the label used. Names shorter than three characters say nothing and are not recorded.
    std::wstring Add(const std::vector<std::wstring>& names, const std::wstring& label);
    // The label of a dead name, by NameKey.
    [[nodiscard]] std::optional<std::wstring> LabelOf(const std::wstring& name) const;

    std::map<std::wstring, std::wstring> labels;  // NameKey -> label
};

// Something a still-installed program, service, process or live link uses.
struct TOwner {
    std::wstring name;       // display name, or empty for a bare folder (a service's image folder)
    std::wstring publisher;  // may be empty
    std::wstring folder;     // FolderForm, may be empty
};

class TOrphanFacts {
public:
    void AddOwner(const TOwner& owner);
    // The user's own folders (Documents, Desktop, Downloads …), any form.
    void AddUserFolder(const std::wstring& folder);
    TDeadNames& Dead() noexcept { return dead_; }
    [[nodiscard]] const TDeadNames& Dead() const noexcept { return dead_; }

    // Why a folder may not be offered: inside a user's folder, a folder something still uses
    // lies in it or it lies in one. Empty when none of these holds.
    [[nodiscard]] std::wstring FolderRefusal(const std::wstring& folder) const;
    // Why a trace named `name` may not be offered: an installed program, publisher or folder
    // goes by exactly that name, or by a name that contains it or that it contains (a
    // shorter or longer edition of a program still here). Empty when no owner is like it.
    [[nodiscard]] std::wstring NameRefusal(const std::wstring& name) const;
    // A name kept for an installed publisher: its vendor folder and key stay, while what lies
    // below them is judged one by one.
    [[nodiscard]] bool IsOwnedVendor(const std::wstring& name) const;
    // A folder something still uses lies in it, or it lies in one.
    [[nodiscard]] bool HoldsOwner(const std::wstring& folder) const;
    [[nodiscard]] bool InOwner(const std::wstring& folder) const;
    // Inside one of the user's own folders.
    [[nodiscard]] bool InUserFolder(const std::wstring& path) const;

    [[nodiscard]] const std::vector<std::wstring>& OwnerFolders() const noexcept { return folders_; }

private:
    std::vector<std::wstring> names_;       // NameKey of program names and their short forms
    std::vector<std::wstring> publishers_;  // NameKey of publishers and their short forms
    std::vector<std::wstring> folders_;     // FolderForm
    std::vector<std::wstring> folderNames_; // NameKey of each owner folder's components
    std::vector<std::wstring> userFolders_; // FolderForm
    TDeadNames dead_;
};

// How sure the scan is of a trace it found no owner for, and the evidence in words; nothing
// when it has none to give and leaves the trace alone. `name` is the trace's own name (folder
// or key); `parentName` the vendor level above it, empty at the top; `holdsPrograms` says the
// folder still holds executable files; `programFolder` that it lies in a Program Files root.
struct TTraceVerdict {
    Confidence confidence = Confidence::Low;
    std::wstring evidence;
    std::wstring program;  // the group it goes to
};
[[nodiscard]] std::optional<TTraceVerdict> JudgeTrace(const TOrphanFacts& facts, const std::wstring& name,
                                                      const std::wstring& parentName, bool holdsPrograms,
                                                      bool programFolder, std::wstring& whyNot);

// Top-level names under the trace roots that belong to the system, the shell or shared
// runtimes, and the hardware makers' and Microsoft's shared keys: never looked into.
[[nodiscard]] bool IsSharedTraceName(const std::wstring& name);

}  // namespace tarvo::leftovers::orphans
