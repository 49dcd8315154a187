#pragma once
// SoftwareCache.ini: what the analysis measured, kept per program (section = display name)
// so the next start need not measure again while the program is unchanged.

#include <string>

#include "inventory/inventory.h"
#include "inventory/soft_info.h"
#include "platform/crypto_hash.h"
#include "settings/ext_ini_file.h"

namespace tarvo::inventory {

inline constexpr wchar_t kSoftwareCacheFileName[] = L"SoftwareCache.ini";

// The data folder's SoftwareCache.ini.
[[nodiscard]] std::wstring SoftwareCachePath();

// MD5 of install-date text + uninstall command in the system's ANSI code page, as 32
// lower-case hex digits; empty when no hash provider is available.
[[nodiscard]] std::wstring CacheFingerprint(const std::wstring& installDateText, const std::wstring& uninstallString,
                                            const platform::Md5Hasher& hasher);
[[nodiscard]] std::wstring CacheFingerprint(const std::wstring& installDateText, const std::wstring& uninstallString);

// A section belongs to the entry when its stored fingerprint matches its stored install date
// and the entry's current uninstall command: a reinstall or an update that changes the
// command invalidates everything in it.
[[nodiscard]] bool IsCacheSectionValid(const settings::TExtIniFile& cache, const TSoftInfo& entry,
                                       const platform::Md5Hasher& hasher);

// Fills the visible entries' gaps from valid sections. Main thread.
void LoadCache(TSoftList& entries, const settings::TExtIniFile& cache);
// The same from the file; a missing or unreadable file changes nothing.
void LoadCache(TSoftList& entries, const std::wstring& cacheFile);

}  // namespace tarvo::inventory
