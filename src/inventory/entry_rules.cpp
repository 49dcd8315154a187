#include "inventory/entry_rules.h"

#include "inventory/command_analysis.h"
#include "common/date_time.h"
#include "common/text.h"
#include "platform/files.h"

namespace tarvo::inventory {

using common::Contains;
using common::EqualsIgnoreCase;
using common::LowerCase;
using common::ParseYearMonthDay;
using common::ReplaceAll;
using common::ReplaceAllIgnoreCase;
using common::ShortDateText;
using common::SizeText;
using common::StartsWith;
using common::Trim;
using common::UpperCase;

std::wstring RewriteMsiInstallCommand(const std::wstring& command) {
    if (!Contains(UpperCase(command), L"MSIEXEC.EXE /I")) return command;
    return ReplaceAllIgnoreCase(command, L"MsiExec.exe /I", L"MsiExec.exe /X");
}

std::wstring MsiCommandFromKeyPath(const std::wstring& keyPath) {
    if (keyPath.size() <= 37) return {};
    const std::wstring tail = keyPath.substr(keyPath.size() - 38);
    if (!Contains(tail, L"{") || !Contains(tail, L"}")) return {};
    return L"MsiExec.exe /X " + tail;
}

bool IsWindowsRegistrationCommand(const std::wstring& command, const std::wstring& publisher) {
    return StartsWith(command, L"regsvr32") && Contains(LowerCase(publisher), L"microsoft");
}

bool IsUpdateEntry(const std::wstring& name, const std::wstring& publisher) {
    const std::wstring upper = UpperCase(name);
    return Contains(upper, L"(KB") ||
           (Contains(upper, L"SERVICE PACK") && Contains(UpperCase(publisher), L"MICROSOFT"));
}

bool IsToolbarEntry(const std::wstring& name, const std::wstring& command) {
    if (Contains(UpperCase(command), L"V9TARVO.EXE")) return true;
    std::wstring squeezed = ReplaceAll(UpperCase(name), L"-", L"");
    squeezed = ReplaceAll(squeezed, L" ", L"");
    return Contains(squeezed, L"TOOLBAR");
}

std::optional<TDateTime> ParseInstallDate(const std::wstring& raw) {
    if (raw.empty()) return std::nullopt;
    // Stored as yyyymmdd; dashes go in before the 7th and then the 5th character.
    std::wstring text = raw;
    text.insert(text.size() < 6 ? text.size() : 6, 1, L'-');
    text.insert(text.size() < 4 ? text.size() : 4, 1, L'-');
    return ParseYearMonthDay(text);
}

std::optional<TSoftInfo> EntryFromKey(const UninstallKeyValues& values, const std::wstring& rootName,
                                      const std::wstring& keyPath, platform::RegistryView view, TDateTime now) {
    const std::wstring name = Trim(values.DisplayName);
    if (EqualsIgnoreCase(name, L"veldane surfing protection")) return std::nullopt;

    std::wstring command = RewriteMsiInstallCommand(values.UninstallString);
    if (command.empty() && values.SystemComponent == 0) command = MsiCommandFromKeyPath(keyPath);
    if (name.empty() || command.empty()) return std::nullopt;
    if (IsWindowsRegistrationCommand(command, values.Publisher)) return std::nullopt;

    TSoftInfo entry;
    entry.DisplayName = name;
    entry.HelpLink = Trim(values.HelpLink);
    entry.Publisher = Trim(values.Publisher);
    entry.DisplayVersion = Trim(values.DisplayVersion);
    entry.URLInfoAbout = values.URLInfoAbout;
    entry.URLUpdateInfo = values.URLUpdateInfo;
    entry.InstallLocation = values.InstallLocation;
    entry.RootKeyName = rootName;
    entry.KeyPath = keyPath;
    entry.UninstallString = command;
    entry.DisplayIcon = values.DisplayIcon;
    entry.Size = values.EstimatedSize * 1024;
    entry.SizeText = SizeText(entry.Size);
    entry.IsUpdate = IsUpdateEntry(name, values.Publisher);
    entry.View64 = platform::Is64(view);
    entry.IsToolbar = IsToolbarEntry(name, command);
    entry.SystemComponent = values.SystemComponent == 1;
    entry.LastAccessDate = now;
    entry.Readme = values.Readme;

    if (entry.HelpLink.empty()) entry.HelpLink = L"-";
    if (entry.Publisher.empty()) entry.Publisher = L" ";
    if (entry.DisplayVersion.empty()) entry.DisplayVersion = L"-";

    if (!entry.InstallLocation.empty() && !platform::FolderExists(entry.InstallLocation))
        entry.InstallLocation = RepairInstallLocation(entry.InstallLocation);

    if (const auto date = ParseInstallDate(values.InstallDate)) {
        entry.InstallDate = *date;
        entry.InstallDateText = ShortDateText(*date);
    }
    return entry;
}

void MergeEntries(TSoftInfo& kept, const TSoftInfo& dropped) {
    const auto fill = [](std::wstring& into, const std::wstring& from) {
        if (into.empty() && !from.empty()) into = from;
    };
    fill(kept.HelpLink, dropped.HelpLink);
    fill(kept.Publisher, dropped.Publisher);
    fill(kept.DisplayVersion, dropped.DisplayVersion);
    fill(kept.URLInfoAbout, dropped.URLInfoAbout);
    fill(kept.URLUpdateInfo, dropped.URLUpdateInfo);
    fill(kept.InstallDateText, dropped.InstallDateText);
    if (kept.InstallDate == 0 && dropped.InstallDate != 0) kept.InstallDate = dropped.InstallDate;
    if (kept.Size == 0 && dropped.Size != 0) {
        kept.Size = dropped.Size;
        kept.SizeText = dropped.SizeText;
    }
    fill(kept.SizeText, dropped.SizeText);
    fill(kept.DisplayIcon, dropped.DisplayIcon);
    fill(kept.InstallLocation, dropped.InstallLocation);
    if (kept.IconIndex == 0 && dropped.IconIndex != 0) kept.IconIndex = dropped.IconIndex;
    fill(kept.Readme, dropped.Readme);
}

}  // namespace tarvo::inventory
