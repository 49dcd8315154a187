#pragma once
// The rules that turn one uninstall key's values into an entry, each on its own so the
// inventory walk stays a walk and every rule can be checked on plain text.

#include <cstdint>
#include <optional>
#include <string>

#include "inventory/soft_info.h"

namespace tarvo::inventory {

// What the inventory reads from one uninstall key, as stored.
struct UninstallKeyValues {
    std::wstring DisplayName;
    std::wstring UninstallString;
    std::wstring Publisher;
    std::wstring HelpLink;
    std::wstring DisplayVersion;
    std::wstring URLInfoAbout;
    std::wstring URLUpdateInfo;
    std::wstring InstallDate;
    std::wstring InstallLocation;
    std::wstring DisplayIcon;
    std::wstring Readme;
    std::int64_t SystemComponent = 0;
    std::int64_t EstimatedSize = 0;
};

// A Windows Installer install command is turned into the matching remove command.
[[nodiscard]] std::wstring RewriteMsiInstallCommand(const std::wstring& command);
// The remove command for an installer product key that names none: "MsiExec.exe /X {GUID}"
// from a key path ending in a product code; empty otherwise.
[[nodiscard]] std::wstring MsiCommandFromKeyPath(const std::wstring& keyPath);
// COM registration entries of Windows itself are not programs.
[[nodiscard]] bool IsWindowsRegistrationCommand(const std::wstring& command, const std::wstring& publisher);
[[nodiscard]] bool IsUpdateEntry(const std::wstring& name, const std::wstring& publisher);
[[nodiscard]] bool IsToolbarEntry(const std::wstring& name, const std::wstring& command);
// "20130512" -> 12 May 2013; anything that is not eight digits of a real day gives nullopt.
[[nodiscard]] std::optional<TDateTime> ParseInstallDate(const std::wstring& raw);

// The entry for a key, or nullopt when the key is not a listable program. `now` becomes the
// entry's last access date. May touch the file system (install-location repair).
[[nodiscard]] std::optional<TSoftInfo> EntryFromKey(const UninstallKeyValues& values, const std::wstring& rootName,
                                                    const std::wstring& keyPath, platform::RegistryView view,
                                                    TDateTime now);

// Fills the kept entry's empty fields from the dropped twin.
void MergeEntries(TSoftInfo& kept, const TSoftInfo& dropped);

}  // namespace tarvo::inventory
