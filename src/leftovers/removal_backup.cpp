#include "leftovers/removal_backup.h"

#include <algorithm>
#include <cwchar>

#include "common/paths.h"
#include "language/language.h"
#include "leftovers/removal_journal.h"
#include "platform/files.h"
#include "platform/registry_export.h"
#include "platform/text.h"
#include "uninstall/operation_log.h"
#include "uninstall/uninstall_stage.h"

namespace tarvo::leftovers {

namespace {

constexpr wchar_t kManifestName[] = L"manifest.txt";

std::wstring TextOfUtf16(const std::string& bytes) {
    std::wstring text;
    std::size_t at = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE' ? 2 : 0;
    for (; at + 1 < bytes.size(); at += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                     (static_cast<unsigned char>(bytes[at + 1]) << 8));
    return text;
}

using language::GetText;

// One line of a restore's problems, in the user's language: the window and the console show it.
std::wstring Problem(const wchar_t* key, const wchar_t* english, const std::wstring& path) {
    return uninstall::FormatMessagePattern(GetText(key, english), {path});
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    std::size_t at = 0;
    for (;;) {
        const auto next = text.find(separator, at);
        parts.push_back(text.substr(at, next == std::wstring::npos ? std::wstring::npos : next - at));
        if (next == std::wstring::npos) return parts;
        at = next + 1;
    }
}

std::wstring WithoutTrailingSlash(std::wstring path) {
    return common::WithoutTrailingBackslashes(std::move(path), common::TrailingCut::KeepVolumeRoot);
}

std::wstring ParentOf(const std::wstring& path) { return common::ParentKey(WithoutTrailingSlash(path)); }

std::wstring FolderName(const SYSTEMTIME& t) {
    wchar_t name[32];
    std::swprintf(name, 32, L"%04u-%02u-%02u_%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return name;
}

std::vector<std::wstring> SubfolderNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    if (!finder.FindFirst(folder + L"\\*", data)) return names;
    do {
        if (platform::IsDotName(data.cFileName)) continue;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !platform::IsReparsePoint(data.dwFileAttributes))
            names.emplace_back(data.cFileName);
    } while (finder.FindNext(data));
    return names;
}

}  // namespace

std::wstring BackupRootOf(const std::wstring& dataFolder) { return dataFolder + L"\\Backup"; }

TRemovalBackup::TRemovalBackup(std::wstring backupRoot, SYSTEMTIME now) : root_(std::move(backupRoot)), started_(now) {}

bool TRemovalBackup::Ensure() {
    if (!folder_.empty()) return true;
    if (failed_) return false;
    if (!uninstall::CreateFolderTree(root_)) {
        failed_ = true;
        return false;
    }
    const std::wstring base = root_ + L"\\" + FolderName(started_);
    // Two runs in the same second get their own folders.
    for (int n = 0; n < 100; ++n) {
        const std::wstring candidate = n == 0 ? base : base + L"_" + std::to_wstring(n);
        if (platform::GetFileAttributesOf(candidate) != INVALID_FILE_ATTRIBUTES) continue;
        if (platform::CreateDirectoryOf(candidate) && platform::CreateDirectoryOf(candidate + L"\\files")) {
            if (!journal_.Start(candidate, kManifestHeader)) break;
            folder_ = candidate;
            if (!plan_.empty()) failed_ = !journal_.RecordPlan(plan_) || failed_;
            for (const auto& program : programs_) failed_ = !journal_.Record(L"program\t\t" + program) || failed_;
            return true;
        }
    }
    failed_ = true;
    return false;
}

bool TRemovalBackup::SaveKey(const platform::RegistryLocation& key) {
    std::wstring text;
    // Nothing to export (the key is gone already) is nothing to lose.
    if (!platform::AppendKeyTreeExport(key.root, key.path, key.view, text)) return true;
    const bool saved = Ensure() && journal_.RecordRegistry(platform::Is64(key.view), text) &&
                       journal_.Record(std::wstring(L"key\t") + (platform::Is64(key.view) ? L"64" : L"32") + L"\t" +
                                       platform::RegRootName(key.root) + L"\\" + key.path);
    failed_ = failed_ || !saved;
    return saved;
}

bool TRemovalBackup::SaveValue(const platform::RegistryLocation& key, const std::wstring& valueName) {
    std::wstring text;
    if (!platform::AppendValueExport(key.root, key.path, valueName, key.view, text)) return true;
    const bool saved = Ensure() && journal_.RecordRegistry(platform::Is64(key.view), text) &&
                       journal_.Record(std::wstring(L"value\t") + (platform::Is64(key.view) ? L"64" : L"32") + L"\t" +
                                       platform::RegRootName(key.root) + L"\\" + key.path + L" | " + valueName);
    failed_ = failed_ || !saved;
    return saved;
}

TFileBackup TRemovalBackup::TakeFile(const std::wstring& path) {
    if (!Ensure()) return TFileBackup::Failed;
    const std::wstring stored = L"files\\" + std::to_wstring(++fileCount_);
    const std::wstring target = folder_ + L"\\" + stored;
    // The record first: a run that dies between it and the move leaves the file in its
    // place, which the restore leaves alone; the other way round the file would be in the
    // backup with nothing saying where it came from.
    if (!journal_.Record(L"file\t" + stored + L"\t" + path)) {
        failed_ = true;
        return TFileBackup::Failed;
    }
    TFileBackup result = TFileBackup::Failed;
    if (platform::MoveFileAcross(path, target)) {
        // Across volumes a file in use is copied and left in place.
        result = platform::GetFileAttributesOf(path) == INVALID_FILE_ATTRIBUTES ? TFileBackup::Moved : TFileBackup::Copied;
    } else if (platform::CopyFileOf(path, target)) {
        result = TFileBackup::Copied;
    }
    return result;
}

void TRemovalBackup::NoteProgram(const std::wstring& name) {
    if (std::find(programs_.begin(), programs_.end(), name) != programs_.end()) return;
    programs_.push_back(name);
    // Saved with the rest, never on its own: before the folder exists, Ensure writes it.
    if (!folder_.empty()) failed_ = !journal_.Record(L"program\t\t" + name) || failed_;
}

void TRemovalBackup::NoteFolder(const std::wstring& path) {
    if (Ensure()) failed_ = !journal_.Record(L"folder\t\t" + WithoutTrailingSlash(path)) || failed_;
}

void TRemovalBackup::Plan(const std::vector<std::wstring>& lines) {
    if (!folder_.empty()) failed_ = !journal_.RecordPlan(lines) || failed_;
    else plan_ = lines;  // Ensure writes it with the backup's first item
}

bool TRemovalBackup::Finish() {
    if (folder_.empty()) return !failed_;
    journal_.Close();
    PruneBackups(root_);
    return !failed_;
}

void DeleteTreeNoLinks(const std::wstring& folder) {
    const DWORD attributes = platform::GetFileAttributesOf(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!platform::IsReparsePoint(attributes)) {
        platform::FileFinder finder;
        WIN32_FIND_DATAW data{};
        if (finder.FindFirst(folder + L"\\*", data)) {
            do {
                if (platform::IsDotName(data.cFileName)) continue;
                const std::wstring child = folder + L"\\" + data.cFileName;
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !platform::IsReparsePoint(data.dwFileAttributes)) {
                    DeleteTreeNoLinks(child);
                } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    (void)platform::RemoveDirectoryOf(child);  // the link, not its target
                } else {
                    (void)platform::SetFileAttributesOf(child, FILE_ATTRIBUTE_NORMAL);
                    (void)platform::DeleteFileOf(child);
                }
            } while (finder.FindNext(data));
        }
    }
    (void)platform::RemoveDirectoryOf(folder);
}

void PruneBackups(const std::wstring& backupRoot, int keep) {
    std::vector<std::wstring> names = SubfolderNames(backupRoot);
    std::erase_if(names, [&](const std::wstring& name) {
        return platform::GetFileAttributesOf(backupRoot + L"\\" + name + L"\\" + kUnfinishedMarker) != INVALID_FILE_ATTRIBUTES;
    });
    // The names are the runs' times, so their order is the runs' order.
    std::sort(names.begin(), names.end());
    const auto excess = static_cast<std::ptrdiff_t>(names.size()) - keep;
    for (std::ptrdiff_t i = 0; i < excess; ++i)
        DeleteTreeNoLinks(backupRoot + L"\\" + names[static_cast<std::size_t>(i)]);
}

std::vector<std::wstring> ReadManifest(const std::wstring& backupFolder) {
    const auto bytes = platform::ReadFileBytes(backupFolder + L"\\" + kManifestName);
    if (!bytes) return {};
    const std::wstring text = TextOfUtf16(*bytes);
    std::vector<std::wstring> lines;
    for (auto& line : Split(text, L'\n')) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    if (!text.empty() && text.back() != L'\n') lines.pop_back();
    if (lines.empty() || lines[0] != kManifestHeader) return {};
    lines.erase(lines.begin());
    // An empty backup still reads as one, so it can be told from a folder that is not ours.
    if (lines.empty()) lines.emplace_back();
    return lines;
}

std::vector<std::wstring> ManifestFields(const std::wstring& line) { return Split(line, L'\t'); }

bool RestoredWhole(const TRestoreReport& report) noexcept {
    return report.manifestRead && report.leftAlone.empty() && report.problems.empty();
}

namespace {

// The manifest again with a "restored" line of this moment at its end.
void NoteRestored(const std::wstring& backupFolder, const std::vector<std::wstring>& lines) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t stamp[32];
    std::swprintf(stamp, std::size(stamp), L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    std::wstring text = std::wstring(kManifestHeader) + L"\r\n";
    for (const auto& line : lines)
        if (!line.empty()) text += line + L"\r\n";
    text += std::wstring(L"restored\t\t") + stamp + L"\r\n";
    (void)platform::WriteFileBytes(backupFolder + L"\\" + kManifestName, Utf16Bytes(text, true));
}

}  // namespace

TRestoreReport RestoreBackup(const std::wstring& backupFolder) {
    TRestoreReport report;
    const std::vector<std::wstring> lines = ReadManifest(backupFolder);
    if (lines.empty()) return report;
    report.manifestRead = true;
    for (const auto& line : lines) {
        const auto parts = Split(line, L'\t');
        if (parts.size() == 3 && parts[0] == L"folder") {
            if (uninstall::CreateFolderTree(parts[2]))
                ++report.foldersRestored;
            else
                report.problems.push_back(Problem(L"Backup_FolderNotCreated_M", L"folder not created: %s", parts[2]));
        }
    }
    for (const auto& line : lines) {
        const auto parts = Split(line, L'\t');
        if (parts.size() != 3 || parts[0] != L"registry") continue;
        const auto reg = platform::ReadFileBytes(backupFolder + L"\\" + parts[1]);
        if (!reg) {
            report.problems.push_back(Problem(L"Backup_RegistryFileMissing_M", L"registry file missing: %s", parts[1]));
            continue;
        }
        const auto view = platform::ViewOf(parts[2] == L"64");
        const auto result = platform::ImportRegText(TextOfUtf16(*reg), view, true);
        report.registryValues += result.values;
        report.leftAlone.insert(report.leftAlone.end(), result.kept.begin(), result.kept.end());
        if (result.failures > 0)
            report.problems.push_back(uninstall::FormatMessagePattern(
                GetText(L"Backup_RegistryLinesFailed_M", L"%d registry lines not restored from %s"),
                {std::to_wstring(result.failures), parts[1]}));
    }
    for (const auto& line : lines) {
        const auto parts = Split(line, L'\t');
        if (parts.size() != 3 || parts[0] != L"file") continue;
        const std::wstring stored = backupFolder + L"\\" + parts[1];
        if (platform::GetFileAttributesOf(parts[2]) != INVALID_FILE_ATTRIBUTES) {
            report.leftAlone.push_back(parts[2]);
            continue;
        }
        (void)uninstall::CreateFolderTree(ParentOf(parts[2]));
        if (platform::MoveFileAcross(stored, parts[2]))
            ++report.filesRestored;
        else
            report.problems.push_back(Problem(L"Backup_NotPutBack_M", L"could not be put back: %s", parts[2]));
    }
    NoteRestored(backupFolder, lines);
    return report;
}

}  // namespace tarvo::leftovers
