#include "inventory/software_cache.h"

#include <windows.h>

#include "common/date_time.h"
#include "common/short_date.h"
#include "inventory/usage_class.h"
#include "platform/crypto_hash.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/app_frame.h"
#include "settings/number_text.h"

namespace tarvo::inventory {

using common::NowLocal;
using common::ParseShortDate;
using common::SizeText;

std::wstring SoftwareCachePath() {
    const std::wstring folder = settings::DataFolder();
    return folder.empty() ? std::wstring() : folder + L"\\" + kSoftwareCacheFileName;
}

std::wstring CacheFingerprint(const std::wstring& installDateText, const std::wstring& uninstallString) {
    return CacheFingerprint(installDateText, uninstallString, platform::Md5Hasher());
}

std::wstring CacheFingerprint(const std::wstring& installDateText, const std::wstring& uninstallString,
                              const platform::Md5Hasher& hasher) {
    const std::string ansi = platform::WideToMultiByte(installDateText + uninstallString, CP_ACP);
    const auto digest = hasher.Compute(ansi.data(), ansi.size());
    if (!digest) return {};
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring text;
    text.reserve(32);
    for (const unsigned char byte : *digest) {
        text.push_back(kHex[byte >> 4]);
        text.push_back(kHex[byte & 0x0F]);
    }
    return text;
}

bool IsCacheSectionValid(const settings::TExtIniFile& cache, const TSoftInfo& entry,
                         const platform::Md5Hasher& hasher) {
    const std::wstring stored = cache.ReadString(entry.DisplayName, L"MD5", L"");
    if (stored.empty()) return false;
    const std::wstring expected = CacheFingerprint(cache.ReadString(entry.DisplayName, L"InstallDate", L""),
                                                   entry.UninstallString, hasher);
    if (expected.empty() || stored.size() != expected.size()) return false;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const wchar_t ch = stored[i] >= L'A' && stored[i] <= L'Z' ? static_cast<wchar_t>(stored[i] + 32) : stored[i];
        if (ch != expected[i]) return false;
    }
    return true;
}

void LoadCache(TSoftList& entries, const settings::TExtIniFile& cache) {
    const platform::Md5Hasher hasher;
    for (auto& pointer : entries) {
        TSoftInfo& entry = *pointer;
        if (entry.Hidden || !IsCacheSectionValid(cache, entry, hasher)) continue;
        const std::wstring& section = entry.DisplayName;

        if (entry.InstallDateText.empty()) entry.InstallDateText = cache.ReadString(section, L"InstallDate", L"");
        if (const auto date = ParseShortDate(entry.InstallDateText)) {
            entry.InstallDate = *date;
        } else {
            entry.InstallDate = 0;
            entry.InstallDateText.clear();
        }

        // A name that is no value name reads as unknown rather than as a value outside the
        // enumeration, which the views would otherwise sort and filter as if it meant something.
        entry.UseRange = UseRangeFromName(cache.ReadString(section, L"AppUseRange", L"audUnknown")).value_or(audUnknown);
        entry.UseRate = UseRateFromName(cache.ReadString(section, L"AppUseRate", L"aurUnknown")).value_or(aurUnknown);
        entry.UseText = UseText(entry);

        if (entry.Size == 0)
            entry.Size = settings::ParseInteger(cache.ReadString(section, L"size", L"0")).value_or(0);
        entry.SizeText = entry.Size > 0 ? SizeText(entry.Size) : std::wstring();

        if (entry.DisplayIcon.empty()) {
            entry.DisplayIcon = cache.ReadString(section, L"DisplayIcon", L"");
            entry.IconIndex = cache.ReadInteger(section, L"IconIndex", 0);
        }
        if (entry.InstallLocation.empty()) entry.InstallLocation = cache.ReadString(section, L"Location", L"");
        entry.LastAccessDate = cache.ReadFloat(section, L"LastAccessDate", NowLocal());
    }
}

void LoadCache(TSoftList& entries, const std::wstring& cacheFile) {
    if (cacheFile.empty() || !platform::FileExists(cacheFile)) return;
    settings::TExtIniFile cache;
    if (!cache.LoadFromFile(cacheFile)) return;
    LoadCache(entries, cache);
}

}  // namespace tarvo::inventory
