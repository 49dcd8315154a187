#include "leftovers/backup_list.h"

#include <algorithm>

#include "language/language.h"
#include "platform/files.h"
#include "uninstall/uninstall_stage.h"

namespace tarvo::leftovers {

namespace {

using language::GetText;

// "2013-05-12_140307" or "2013-05-12_140307_1" as "2013-05-12 14:03:07"; the name itself
// when it is not one of ours.
std::wstring TimeOfFolderName(const std::wstring& name) {
    if (name.size() < 17 || name[10] != L'_') return name;
    return name.substr(0, 10) + L" " + name.substr(11, 2) + L":" + name.substr(13, 2) + L":" + name.substr(15, 2);
}

std::wstring NameOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Lines(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const auto& item : items) text += L"\r\n    " + item;
    return text;
}

}  // namespace

BackupRecord ReadBackupRecord(const std::wstring& folder) {
    BackupRecord record;
    const std::vector<std::wstring> lines = ReadManifest(folder);
    if (lines.empty()) return record;
    record.folder = folder;
    record.when = TimeOfFolderName(NameOf(folder));
    for (const auto& line : lines) {
        const auto fields = ManifestFields(line);
        if (fields.size() != 3) continue;
        if (fields[0] == L"program") record.programs.push_back(fields[2]);
        else if (fields[0] == L"key") ++record.keys;
        else if (fields[0] == L"value") ++record.values;
        else if (fields[0] == L"file") ++record.files;
        else if (fields[0] == L"folder") ++record.folders;
        else if (fields[0] == L"restored") record.restored = fields[2];
    }
    return record;
}

std::vector<BackupRecord> ListBackups(const std::wstring& backupRoot) {
    std::vector<BackupRecord> records;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    if (!finder.FindFirst(backupRoot + L"\\*", data)) return records;
    do {
        if (platform::IsDotName(data.cFileName) || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            platform::IsReparsePoint(data.dwFileAttributes))
            continue;
        BackupRecord record = ReadBackupRecord(backupRoot + L"\\" + data.cFileName);
        if (!record.folder.empty()) records.push_back(std::move(record));
    } while (finder.FindNext(data));
    // The folder names are the runs' times, so their order is the runs' order.
    std::sort(records.begin(), records.end(),
              [](const BackupRecord& a, const BackupRecord& b) { return NameOf(a.folder) > NameOf(b.folder); });
    return records;
}

std::wstring ProgramsText(const BackupRecord& record) {
    if (record.programs.empty()) return GetText(L"Backup_UnknownProgram_M", L"(unknown program)");
    std::wstring text;
    for (const auto& program : record.programs) text += (text.empty() ? L"" : L", ") + program;
    return text;
}

BackupList::BackupList(std::wstring backupRoot) : root_(std::move(backupRoot)) {}

void BackupList::Refresh() {
    items_ = ListBackups(root_);
    selected_ = -1;
}

void BackupList::Select(int index) noexcept {
    selected_ = index >= 0 && static_cast<std::size_t>(index) < items_.size() ? index : -1;
}

std::wstring BackupList::RestoreQuestion() const {
    if (selected_ < 0) return {};
    const BackupRecord& record = items_[static_cast<std::size_t>(selected_)];
    return uninstall::FormatMessagePattern(
        GetText(L"Backup_Restore_ASK",
                L"Restore what the removal of %s took away on %s? Nothing that is back in its place will be "
                L"overwritten."),
        {ProgramsText(record), record.when});
}

TRestoreReport BackupList::RestoreSelected() {
    if (selected_ < 0) return {};
    const int selected = selected_;
    TRestoreReport report = RestoreBackup(items_[static_cast<std::size_t>(selected)].folder);
    Refresh();
    Select(selected);
    return report;
}

std::wstring BackupList::OutcomeText(const TRestoreReport& report) {
    if (!report.manifestRead) return GetText(L"Backup_Unreadable_M", L"This backup cannot be read.");
    std::wstring text = uninstall::FormatMessagePattern(
        GetText(L"Backup_Restored_M", L"Restored: %d files, %d folders, %d registry values."),
        {std::to_wstring(report.filesRestored), std::to_wstring(report.foldersRestored),
         std::to_wstring(report.registryValues)});
    if (!report.leftAlone.empty())
        text += L"\r\n\r\n" +
                GetText(L"Backup_LeftAlone_M", L"Left alone, because something is back in its place:") +
                Lines(report.leftAlone);
    if (!report.problems.empty())
        text += L"\r\n\r\n" + GetText(L"Backup_NotRestored_M", L"Could not be restored:") + Lines(report.problems);
    return text;
}

std::wstring BackupList::DeleteOfferText(const TRestoreReport& report) {
    if (!RestoredWhole(report)) return {};
    return OutcomeText(report) + L"\r\n\r\n" +
           GetText(L"Backup_DeleteRestored_ASK", L"Everything is back in its place. Delete this backup now?");
}

std::wstring BackupList::DeleteQuestion() const {
    if (selected_ < 0) return {};
    const BackupRecord& record = items_[static_cast<std::size_t>(selected_)];
    if (!record.restored.empty())
        return uninstall::FormatMessagePattern(
            GetText(L"Backup_DeleteRestored_M", L"Delete the backup of %s? It was restored on %s."),
            {ProgramsText(record), record.restored});
    return uninstall::FormatMessagePattern(
        GetText(L"Backup_DeleteUnrestored_M",
                L"Delete the backup of %s? It has not been restored: what it holds cannot be brought back "
                L"afterwards."),
        {ProgramsText(record)});
}

bool BackupList::DeleteSelected() {
    if (selected_ < 0) return false;
    const std::wstring folder = items_[static_cast<std::size_t>(selected_)].folder;
    // Only a folder that still holds our manifest is ours to delete.
    if (ReadManifest(folder).empty()) return false;
    DeleteTreeNoLinks(folder);
    Refresh();
    return platform::GetFileAttributesOf(folder) == INVALID_FILE_ATTRIBUTES;
}

LogManagerButtons ButtonsFor(LogManagerView view, bool logSelected, bool logsListed, const BackupList& backups) {
    LogManagerButtons buttons;
    if (view == LogManagerView::Traces) {
        // The traces page shows its own Delete; the window decides it from its trace list.
        buttons.dayLogButtonsShown = false;
        return buttons;
    }
    if (view == LogManagerView::Backups) {
        buttons.dayLogButtonsShown = false;
        buttons.restoreShown = true;
        buttons.restoreEnabled = backups.CanRestore();
        buttons.backupDeleteShown = true;
        buttons.backupDeleteEnabled = backups.CanDelete();
        return buttons;
    }
    buttons.openEnabled = logSelected;
    buttons.deleteEnabled = logSelected;
    buttons.deleteAllEnabled = logsListed;
    return buttons;
}

}  // namespace tarvo::leftovers
