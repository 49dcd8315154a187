#pragma once
// One installed program as every subsystem sees it. A plain record: the inventory fills it,
// the analysis job and the usage lookup complete it, and the catalogue owns it for the run.

#include <cstdint>
#include <string>

#include "common/date_time.h"
#include "platform/registry.h"

namespace tarvo::inventory {

using common::TDateTime;

enum TAppUseRange : std::uint8_t {
    audUnknown = 0,
    audToday,
    aud3Day,
    audWeek,
    aud2Week,
    audMonth,
    aud2Month,
    aud3Month,
    audMore,
};

enum TAppUseRate : std::uint8_t {
    aurUnknown = 0,
    aurOften,
    aurLess,
    aurRarely,
};

// Markers that stand in the uninstall command of browser toolbar entries; they are not commands.
inline constexpr wchar_t kToolbarMarker[] = L"_SPECIAL_TOOLBAR_";
inline constexpr wchar_t kTarvoToolbarMarker[] = L"_SPECIAL_TARVOTOOLBAR_";

// Field order is part of the record's contract (the cache and the export walk it in this order).
struct TSoftInfo {
    std::wstring DisplayName;
    std::wstring HelpLink;
    std::wstring Publisher;
    std::wstring DisplayVersion;
    std::wstring URLInfoAbout;
    std::wstring URLUpdateInfo;
    std::wstring InstallDateText;
    std::wstring SizeText;
    std::wstring RootKeyName;
    std::wstring KeyPath;
    std::wstring UninstallString;
    std::wstring DisplayIcon;
    std::wstring InstallLocation;
    std::int32_t IconIndex = 0;
    std::int32_t ImageIndex = 0;
    std::int64_t Size = 0;
    TDateTime InstallDate = 0;
    TDateTime LastAccessDate = 0;
    bool View64 = false;
    bool IsUpdate = false;
    bool SpareFlag = false;
    bool Hidden = false;
    bool SystemComponent = false;
    TAppUseRange UseRange = audUnknown;
    TAppUseRate UseRate = aurUnknown;
    TDateTime LastUseTime = 0;
    bool UseChecked = false;
    std::wstring UseText;
    bool IsToolbar = false;
    std::wstring ToolbarId;
    std::wstring ToolbarKey;
    std::wstring ToolbarFile;
    std::wstring SpareText1;
    std::wstring SpareText2;
    std::wstring SpareText3;
    std::wstring Readme;

    // The entry's uninstall key, from its root name, path and view flag.
    [[nodiscard]] platform::RegistryLocation Location() const {
        return platform::RegistryLocation::FromNames(RootKeyName, KeyPath, View64);
    }
};

[[nodiscard]] inline bool IsToolbarMarker(const std::wstring& command) noexcept {
    return command == kToolbarMarker || command == kTarvoToolbarMarker;
}

}  // namespace tarvo::inventory
