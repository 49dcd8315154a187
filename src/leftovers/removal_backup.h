#pragma once
// The backup taken before a removal run deletes anything: registry keys and values exported
// as ".reg" files, files moved (not copied) into the backup folder, the original paths in a
// manifest. `RestoreBackup` puts everything back. The last ten runs are kept.
//
// Everything goes to the disk as the run goes (TRemovalJournal): an item's record is
// flushed before the item is deleted, so the backup of a run that died half-way restores
// what that run took.
//
// Layout of one backup, a folder below "<data folder>\Backup" named for the run's time:
//     manifest.txt       UTF-16LE with BOM; first line kManifestHeader, then tab-separated
//                        lines "registry<TAB>file.reg<TAB>32|64", "folder<TAB><TAB>path",
//                        "file<TAB>files\N<TAB>original path", and for the list of backups
//                        "program<TAB><TAB>name", "key<TAB>32|64<TAB>path",
//                        "value<TAB>32|64<TAB>path | name", and once it has been put back
//                        "restored<TAB><TAB>yyyy-mm-dd hh:mm:ss"
//     registry32.reg     the default view, registry64.reg the 64-bit view
//     files\1, files\2   the files themselves

#include <windows.h>

#include <string>
#include <vector>

#include "leftovers/removal_journal.h"
#include "platform/registry.h"

namespace tarvo::leftovers {

inline constexpr wchar_t kManifestHeader[] = L"Tarvo Uninstaller removal backup 1";
inline constexpr int kBackupsKept = 10;

[[nodiscard]] std::wstring BackupRootOf(const std::wstring& dataFolder);

enum class TFileBackup {
    Moved,   // the file is in the backup and gone from its place
    Copied,  // the file could not be moved (in use); a copy is in the backup
    Failed,  // neither: nothing of it is in the backup
};

class TRemovalBackup {
public:
    // Nothing is created until the first item is saved.
    TRemovalBackup(std::wstring backupRoot, SYSTEMTIME now);

    // False when the export could not be written: the item must then stay.
    [[nodiscard]] bool SaveKey(const platform::RegistryLocation& key);
    [[nodiscard]] bool SaveValue(const platform::RegistryLocation& key, const std::wstring& valueName);
    [[nodiscard]] TFileBackup TakeFile(const std::wstring& path);
    void NoteFolder(const std::wstring& path);
    // The program whose leftovers go; saved with the rest, never on its own.
    void NoteProgram(const std::wstring& name);
    // What the run means to remove, so that a run cut off can be finished later. Written
    // with the backup's first item, before that item goes: no backup, no plan.
    void Plan(const std::vector<std::wstring>& lines);

    // Ends the journal (the run is no longer unfinished), then prunes old backups. False
    // when something to save could not be written.
    bool Finish();
    // Empty until something has been saved.
    [[nodiscard]] const std::wstring& Folder() const noexcept { return folder_; }

private:
    bool Ensure();

    std::wstring root_;
    SYSTEMTIME started_;
    std::wstring folder_;
    bool failed_ = false;
    TRemovalJournal journal_;
    std::vector<std::wstring> plan_;
    std::vector<std::wstring> programs_;
    int fileCount_ = 0;
};

// Removes the oldest backups below `backupRoot` until `keep` remain; a run that has not
// ended (or was cut off and not yet dealt with) is never removed. Never enters a link.
void PruneBackups(const std::wstring& backupRoot, int keep = kBackupsKept);

// The manifest's lines after its header; nothing when the folder holds no manifest of ours.
// A last line cut off without its line break (a run that died writing it) is not read.
[[nodiscard]] std::vector<std::wstring> ReadManifest(const std::wstring& backupFolder);
// A manifest line cut at its tabs.
[[nodiscard]] std::vector<std::wstring> ManifestFields(const std::wstring& line);

struct TRestoreReport {
    bool manifestRead = false;
    int filesRestored = 0;
    int foldersRestored = 0;
    int registryValues = 0;
    // What is back in its place since the removal and was left as it is: file paths and
    // "root\\path | name" of registry values. Never written over.
    std::vector<std::wstring> leftAlone;
    std::vector<std::wstring> problems;  // one line each: what could not be put back and why
};
// Puts a backup back: folders, then registry, then files. Nothing that is back in its place
// is written over: such a file stays in the backup, such a value keeps its new data. The
// manifest notes the time of the restore, so the list of backups can tell it apart.
[[nodiscard]] TRestoreReport RestoreBackup(const std::wstring& backupFolder);
// Whether all of a backup came back: nothing left alone, nothing failed. Only such a backup
// holds nothing the user could still want.
[[nodiscard]] bool RestoredWhole(const TRestoreReport& report) noexcept;

// Deletes a folder tree; a link inside it is removed as a link, never followed.
void DeleteTreeNoLinks(const std::wstring& folder);

}  // namespace tarvo::leftovers
