#pragma once
// Usage data: Explorer's own record of started programs (UserAssist), reduced to the last
// start inside each folder, and the look-up that classifies an installed program by it.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "inventory/soft_info.h"

namespace tarvo::inventory {

inline constexpr wchar_t kUserAssistKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist";
// The two UserAssist collections, read in this order.
inline constexpr const wchar_t* kUserAssistSources[] = {L"{F4E57C4B-2036-45F0-A9AB-443BCFE33D9F}",
                                                        L"{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}"};

// One folder that holds started programs.
struct TAppUseInfo {
    std::wstring path;  // with a trailing backslash, as decoded
    TDateTime lastUse = 0;
    TDateTime installDate = 0;
    TAppUseRange range = audUnknown;
    TAppUseRate rate = aurUnknown;
};

struct TUsageLookup {
    bool found = false;
    TAppUseRange range = audUnknown;
    TAppUseRate rate = aurUnknown;
    TDateTime lastUse = 0;
};

// Letters A-Z and a-z rotated by 13 places; everything else unchanged.
[[nodiscard]] std::wstring Rot13(std::wstring_view text);

// The last-start time of a UserAssist value: the FILETIME at offset 60, as a local DOS date
// and time. Nullopt for data too short to hold it or a time DOS cannot express.
[[nodiscard]] std::optional<TDateTime> UserAssistLastStart(const BYTE* data, std::size_t size) noexcept;

class TAppRateHelper {
public:
    struct Options {
        HKEY root = HKEY_CURRENT_USER;
        std::wstring userAssistPath = kUserAssistKeyPath;
        // Today's date for the classification; the local clock when not set.
        std::function<TDateTime()> today;
    };

    TAppRateHelper();
    explicit TAppRateHelper(Options options);

    // Reads both UserAssist collections into the folder list. Reading again only raises last-use
    // times that are newer; it adds folders seen for the first time.
    void LoadUsageData();

    // The first folder record (in the order folders were first seen) that is the location or
    // lies below it, ignoring case. The matched record keeps the install date and result.
    TUsageLookup Lookup(const std::wstring& installLocation, TDateTime installDate);

    // Records one start of the program at `decodedName` (a decoded, resolved path): its
    // folder's record is created on first sight and keeps the latest start.
    void AddStart(const std::wstring& decodedName, TDateTime lastStart);

    [[nodiscard]] const std::vector<TAppUseInfo>& Records() const noexcept { return records_; }

private:
    [[nodiscard]] std::wstring ResolveName(std::wstring name) const;
    void RebuildIndex();
    [[nodiscard]] std::ptrdiff_t FirstRecordUnder(const std::wstring& upperLocation) const;

    Options options_;
    std::vector<TAppUseInfo> records_;
    std::unordered_map<std::wstring, std::size_t> byPath_;  // exact path -> record
    // Look-ups outnumber records; keep the upper-case paths sorted so each look-up is a
    // binary search plus a range-minimum over list positions instead of a full scan.
    std::vector<std::pair<std::wstring, std::size_t>> sorted_;
    std::vector<std::vector<std::size_t>> sparseMin_;
    bool indexValid_ = false;
};

}  // namespace tarvo::inventory
