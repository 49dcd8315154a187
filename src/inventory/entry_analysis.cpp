#include "inventory/entry_analysis.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "common/paths.h"
#include "inventory/command_analysis.h"
#include "common/date_time.h"
#include "inventory/folder_size.h"
#include "inventory/installer_records.h"
#include "inventory/software_cache.h"
#include "common/text.h"
#include "inventory/usage_class.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "settings/system_info.h"

namespace tarvo::inventory {

using common::FileTimeToDate;
using common::NowLocal;
using common::ReplaceAll;
using common::ShortDateText;
using common::SizeText;
using common::Trim;

namespace {

using common::FolderPart;

TDateTime CreationDate(const std::wstring& path, TFileFacts& facts) {
    const auto times = facts.Times(path);
    return times ? FileTimeToDate(times->creation) : 0;
}

std::int64_t MeasureSize(const TSoftInfo& entry, std::wstring& folder, const TAnalysisContext& context,
                         const std::function<const TRefusedFolders&()>& refused, TFileFacts& facts) {
    // A folder found from the command has passed the removable-folder test already.
    const bool accepted = entry.InstallLocation.empty() && !folder.empty();
    if (!entry.InstallLocation.empty()) folder = entry.InstallLocation;
    if (folder.empty() && !entry.Readme.empty()) {
        const std::wstring readmeFolder = FolderPart(ReplaceAll(entry.Readme, L"\"", L""));
        if (!readmeFolder.empty() && facts.FolderExists(readmeFolder)) folder = readmeFolder;
    }
    if (!accepted && !refused().IsRemovable(folder)) return 0;
    const std::wstring onDisk = PathInEntryCase(folder, entry);
    // The walk lists the folder the icon search usually looks into; the search reads that
    // listing instead of listing the folder once more.
    TFolderListing topLevel;
    // A toolbar's walk may stop as soon as the cap is reached: the rest would not be shown.
    const std::int64_t limit = entry.IsToolbar ? kToolbarSizeCap : std::numeric_limits<std::int64_t>::max();
    const std::int64_t size = std::min(FolderSize(onDisk, limit, context.cancel, &topLevel), limit);
    facts.RememberListing(std::move(topLevel));
    return size;
}

TDateTime InstallDateOf(const TSoftInfo& entry, TFileFacts& facts) {
    TDateTime date = FolderDateFromEntry(entry, facts);
    if (date == 0 && !entry.DisplayIcon.empty()) {
        if (facts.FileExists(entry.DisplayIcon))
            date = CreationDate(FolderPart(entry.DisplayIcon), facts);
        else if (facts.FolderExists(entry.DisplayIcon))
            date = CreationDate(entry.DisplayIcon, facts);
    }
    return date;
}

TDateTime LastAccessOf(const TSoftInfo& entry, const TAnalysisContext& context, TFileFacts& facts) {
    if (context.lastAccessTracked && !entry.DisplayIcon.empty() && facts.FileExists(entry.DisplayIcon)) {
        if (const auto times = facts.Times(entry.DisplayIcon)) {
            const TDateTime date = FileTimeToDate(times->lastAccess);
            if (date != 0) return date;
        }
    }
    return NowLocal();
}

}  // namespace

bool NeedsAnalysis(const TSoftInfo& entry) noexcept {
    return entry.InstallLocation.empty() || entry.Size <= 0 || entry.ImageIndex <= 0 || entry.InstallDate == 0;
}

TAnalysisResult AnalyseEntry(const TSoftInfo& entry, const TAnalysisContext& context) {
    std::optional<TRefusedFolders> ownRefused;
    const auto refused = [&]() -> const TRefusedFolders& {
        if (context.refused) return *context.refused;
        if (!ownRefused) ownRefused = TRefusedFolders::Read();
        return *ownRefused;
    };

    // Folder, size, icon and dates look at the same few paths: each is asked about once.
    TFileFacts facts;
    // The folder of the main file serves both the size and the icon search; it is looked up
    // once, and only when one of them needs it.
    std::optional<std::wstring> commandFolder;
    std::optional<TInstallerRecords> ownRecords;
    const auto records = [&]() -> TInstallerRecords& {
        if (context.installer) return *context.installer;
        if (!ownRecords) ownRecords.emplace();
        return *ownRecords;
    };
    const auto folderOfCommand = [&]() -> const std::wstring& {
        if (!commandFolder) commandFolder = CompletedInstallFolder(entry, refused(), facts, records());
        return *commandFolder;
    };

    TAnalysisResult result;
    if (entry.InstallLocation.empty()) result.folder = folderOfCommand();
    if (entry.Size <= 0) result.size = MeasureSize(entry, result.folder, context, refused, facts);

    if (entry.ImageIndex <= 0) {
        int index = 0;
        // An installer product's entry usually names no icon; its product record does.
        if (Trim(entry.DisplayIcon).empty()) result.iconFile = TInstallerRecords::ProductIcon(InstallerPackedCode(entry), index);
        if (result.iconFile.empty()) result.iconFile = IconSourceFromEntry(entry, index, folderOfCommand, facts);
        result.iconIndex = index;
        if (context.extractIcons && !result.iconFile.empty()) {
            const std::wstring iconFile = PathInEntryCase(result.iconFile, entry);
            if (facts.FileExists(iconFile)) result.icons = platform::ExtractIconPairOf(iconFile, index);
        }
    }

    result.installDate = InstallDateOf(entry, facts);
    result.installDateText = result.installDate != 0 ? ShortDateText(result.installDate) : entry.InstallDateText;
    result.lastAccessDate = LastAccessOf(entry, context, facts);
    return result;
}

void ApplyAnalysisResult(TSoftInfo& entry, const TAnalysisResult& result, int imageIndex,
                         settings::TExtIniFile& cache, const platform::Md5Hasher& hasher) {
    const std::wstring& section = entry.DisplayName;
    bool changed = false;
    if (entry.Size == 0) {
        entry.Size = result.size;
        entry.SizeText = result.size > 0 ? SizeText(result.size) : std::wstring();
        cache.WriteInt64(section, L"size", result.size);
        cache.WriteString(section, L"UseSize", entry.SizeText);
        changed = true;
    }
    if (entry.ImageIndex == 0) entry.ImageIndex = imageIndex;
    if (entry.InstallLocation.empty()) {
        entry.InstallLocation = result.folder;
        cache.WriteString(section, L"Location", result.folder);
        changed = true;
    }
    if (entry.DisplayIcon.empty()) {
        entry.DisplayIcon = result.iconFile;
        entry.IconIndex = result.iconIndex;
        cache.WriteString(section, L"DisplayIcon", result.iconFile);
        cache.WriteInteger(section, L"IconIndex", result.iconIndex);
        changed = true;
    }
    cache.WriteString(section, L"AppUseRange", UseRangeName(entry.UseRange));
    cache.WriteString(section, L"AppUseRate", UseRateName(entry.UseRate));
    if (entry.InstallDateText.empty()) {
        entry.InstallDateText = result.installDateText;
        entry.InstallDate = result.installDate;
        changed = true;
    }
    cache.WriteString(section, L"InstallDate", entry.InstallDateText);
    cache.WriteFloat(section, L"InstallDateT", entry.InstallDate);
    if (std::fabs(result.lastAccessDate - entry.LastAccessDate) >= 1.0) {
        entry.LastAccessDate = result.lastAccessDate;
        cache.WriteFloat(section, L"LastAccessDate", entry.LastAccessDate);
    }
    if (changed) cache.WriteString(section, L"MD5", CacheFingerprint(entry.InstallDateText, entry.UninstallString, hasher));
}

void ApplyUsage(TSoftInfo& entry, TAppUseRange range, TAppUseRate rate, TDateTime lastUse, bool checked) {
    entry.UseRange = range;
    entry.UseRate = rate;
    entry.LastUseTime = lastUse;
    entry.UseChecked = checked;
    entry.UseText = UseText(entry);
}

bool LastAccessTimesTracked() {
    platform::RegistryKey key;
    const auto view = platform::ViewOf(settings::IsWow64());
    if (key.Open(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\FileSystem", KEY_QUERY_VALUE, view) !=
        ERROR_SUCCESS)
        return false;
    const auto value = key.QueryValue(L"NtfsDisableLastAccessUpdate");
    return value && value->type == REG_DWORD && value->AsDword() == DWORD{0};
}

}  // namespace tarvo::inventory
