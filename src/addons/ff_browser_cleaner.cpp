#include "addons/ff_browser_cleaner.h"

#include <algorithm>

#include "addons/addon_text.h"
#include "addons/browser_process.h"
#include "addons/firefox_addon_database.h"
#include "addons/firefox_profile_files.h"
#include "addons/firefox_profiles.h"
#include "common/paths.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sqlite_database.h"
#include "platform/text.h"

namespace tarvo::addons {

namespace {

// The folder the add-on database is copied into before it is read.
const wchar_t kDatabaseCopyFolder[] = L"B77A0CC7-7129-4313-86FE-B10B53285749\\";

const char kExtensionQuery[] =
    "SELECT a.name,a.description,a.creator,b.id,b.active,b.userDisabled,b.descriptor,b.version FROM locale a "
    "INNER JOIN addon b ON a.id=b.defaultLocale WHERE b.type='extension'";

std::wstring WithoutEndMarks(std::wstring line) {
    for (std::size_t at = line.find(L"|$"); at != std::wstring::npos; at = line.find(L"|$", at)) line.erase(at, 2);
    return line;
}

const wchar_t kDatabaseFile[] = L"extensions.json";
const wchar_t kStartupCacheFile[] = L"addonStartup.json.lz4";

// The profile's file of that name; empty when it has none.
std::wstring ProfileFile(const std::wstring& profile, const wchar_t* name) {
    if (profile.empty()) return {};
    const std::wstring file = profile + name;
    return platform::FileExists(file) ? file : std::wstring();
}

bool HasFirefoxUninstallKey(HKEY root) {
    platform::RegistryKey key;
    if (key.Open(root, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", KEY_READ) != ERROR_SUCCESS)
        return false;
    const auto names = key.SubKeyNames();
    return std::any_of(names.begin(), names.end(), [](const std::wstring& name) {
        return platform::UpperCase(name).find(L"MOZILLA FIREFOX") != std::wstring::npos;
    });
}

}  // namespace

TFFBrowserCleaner::TFFBrowserCleaner(const CleanerEnvironment& environment)
    : TCustomBrowserCleaner(environment), sqlite_(environment.sqlite) {
    profileFolders_ = FindProfiles();
    if (!profileFolders_.empty()) profileFolder_ = profileFolders_.front();
}

bool TFFBrowserCleaner::IsInstalled() {
    return HasFirefoxUninstallKey(HKEY_LOCAL_MACHINE) || HasFirefoxUninstallKey(HKEY_CURRENT_USER);
}

std::vector<std::wstring> TFFBrowserCleaner::FindProfiles() const {
    if (AppDataFolder().empty()) return {};
    return FirefoxProfileFolders(common::WithTrailingBackslash(AppDataFolder()) + L"Mozilla\\Firefox\\");
}

std::wstring TFFBrowserCleaner::AddonDatabasePath() const { return ProfileFile(profileFolder_, L"extensions.sqlite"); }
std::wstring TFFBrowserCleaner::ExtensionsIniPath() const { return ProfileFile(profileFolder_, L"extensions.ini"); }

void TFFBrowserCleaner::ScanItems() {
    const Json policies =
        policyFile.path.empty() ? Json::object() : ReadPolicies(policyFile.path).value_or(Json::object());
    for (const std::wstring& profile : profileFolders_) {
        ScanExtensions(profile, policies);
        ScanPlugins(profile);
    }
}

void TFFBrowserCleaner::ScanExtensions(const std::wstring& profile, const Json& policies) {
    // A profile a current Firefox took over from an older one may still hold the old
    // database; "extensions.json" is the one Firefox reads.
    if (const std::wstring json = ProfileFile(profile, kDatabaseFile); !json.empty()) {
        ScanDatabaseFile(json, policies);
        return;
    }
    const std::wstring database = ProfileFile(profile, L"extensions.sqlite");
    if (database.empty() || !sqlite_) return;
    // Firefox keeps the live file open and may be writing it: read a copy of our own.
    const std::wstring copy = BackupFile(kDatabaseCopyFolder, database);
    if (copy.empty()) return;
    platform::SqliteDatabase db;
    if (db.Open(*sqlite_, copy, false) != platform::SqliteLibrary::kOk) return;
    auto query = db.Prepare(kExtensionQuery);
    if (!query.IsValid()) return;
    while (query.Step() == platform::SqliteLibrary::kRow) {
        const bool present = query.ColumnInt(4) == 1 && query.ColumnInt(5) == 0;
        AddItem({BrowserKind::Firefox, AddonKind::Extension, query.ColumnText(3), query.ColumnText(0),
                 query.ColumnText(1), query.ColumnText(6), query.ColumnText(2), query.ColumnText(7), present, 0,
                 nullptr, {}});
    }
}

void TFFBrowserCleaner::ScanDatabaseFile(const std::wstring& file, const Json& policies) {
    const auto database = ReadJsonObject(file);
    if (!database) return;
    for (const FirefoxAddon& addon : ExtensionsInDatabase(*database)) {
        // A blocked add-on is listed whatever the database says, so the user sees why.
        const bool blocked = PoliciesBlock(policies, addon.id);
        TPluginItem* item = AddItem({BrowserKind::Firefox, AddonKind::Extension, addon.id, addon.name,
                                     addon.description, addon.path, addon.creator, addon.version,
                                     addon.running || blocked, 0, nullptr, {}});
        if (item) item->BlockedByPolicy = blocked;
    }
}

void TFFBrowserCleaner::ScanPlugins(const std::wstring& profile) {
    const std::wstring file = ProfileFile(profile, L"pluginreg.dat");
    if (file.empty()) return;
    const auto bytes = platform::ReadFileBytes(file);
    if (!bytes) return;
    std::vector<std::wstring> lines;
    for (const ByteLine& line : SplitByteLines(*bytes)) lines.push_back(platform::WideFromUtf8(line.text));

    for (const auto& record : ReadPluginRecords(lines)) {
        std::size_t first = 0;
        try {
            const long count = std::stol(record.front());
            if (count < 0 || static_cast<unsigned long>(count) >= record.size()) continue;
            first = static_cast<std::size_t>(count) + 1;
        } catch (const std::exception&) {
            continue;  // not a number
        }
        const auto element = [&](std::size_t offset) {
            return first + offset < record.size() ? record[first + offset] : std::wstring();
        };
        const std::wstring fileName = WithoutEndMarks(element(0)), fullPath = WithoutEndMarks(element(1));
        std::wstring version = WithoutEndMarks(element(2)), description = WithoutEndMarks(element(4));
        const std::wstring name = first + 5 < record.size() ? WithoutEndMarks(element(5)) : description;
        if (name.empty() || fullPath.empty()) continue;
        const TMozilPlugFileInfo info = FileInfo(fullPath, false);
        if (!info.FileDescription.empty()) description = info.FileDescription;
        if (!info.FileVersion.empty()) version = info.FileVersion;
        // The state field is read before the end marks go: they are its closing "|".
        const bool present = StateField(element(3)) != L"4";
        AddItem({BrowserKind::Firefox, AddonKind::Plugin, fileName, name, description, fullPath, info.CompanyName,
                 version, present, 0, nullptr, {}});
    }
}

bool TFFBrowserCleaner::RemoveItem(TPluginItem& item) {
    if (!item.Present) return true;
    return SetItemEnabled(item, false);
}

bool TFFBrowserCleaner::RestoreItem(TPluginItem& item) {
    if (item.Present && !item.BlockedByPolicy) return true;
    return SetItemEnabled(item, true);
}

bool TFFBrowserCleaner::ProfilesInUse() const {
    if (firefoxRunning ? firefoxRunning() : IsBrowserRunning(BrowserKind::Firefox)) return true;
    return std::any_of(profileFolders_.begin(), profileFolders_.end(), IsProfileLocked);
}

bool TFFBrowserCleaner::SetItemEnabled(TPluginItem& item, bool enabled) {
    const std::wstring path = item.Paths.empty() ? std::wstring() : item.Paths.front();
    switch (item.Collection.AddonKind) {
        case AddonKind::Extension:
            // Back on means no block of ours either, whichever way it was switched off; a
            // block someone else set keeps the add-on off, whatever the profiles say.
            if (enabled && item.BlockedByPolicy) {
                item.BlockedByPolicy = !UnblockInPolicyFile(policyFile, item.ItemId, retries);
                if (item.BlockedByPolicy) return false;
                if (switchOffByPolicy) return true;
            }
            if (switchOffByPolicy) {
                const bool done = enabled ? UnblockInPolicyFile(policyFile, item.ItemId, retries)
                                          : BlockInPolicyFile(policyFile, item.ItemId, retries);
                if (done) item.BlockedByPolicy = !enabled;
                return done;
            }
            // Firefox writes its files back from memory: what we write under it is lost.
            if (ProfilesInUse()) return false;
            return SetExtensionEnabled(item.ItemId, path, enabled);
        case AddonKind::Plugin:
            if (ProfilesInUse()) return false;
            return SetPluginEnabled(item.ItemId, path, enabled);
        default: return false;
    }
}

bool TFFBrowserCleaner::SetExtensionEnabled(const std::wstring& id, const std::wstring& folder, bool enable) {
    bool anyDatabase = false, done = true;
    for (const std::wstring& profile : profileFolders_) {
        if (const std::wstring json = ProfileFile(profile, kDatabaseFile); !json.empty()) {
            anyDatabase = true;
            done = SetDatabaseFileEnabled(json, id, enable) && done;
        } else if (!ProfileFile(profile, L"extensions.sqlite").empty() && sqlite_) {
            anyDatabase = true;
            done = SetSqliteEnabled(profile, id, folder, enable) && done;
        }
    }
    return anyDatabase && done;
}

bool TFFBrowserCleaner::SetDatabaseFileEnabled(const std::wstring& file, const std::wstring& id, bool enable) {
    auto database = ReadJsonObject(file);
    if (!database) return false;
    // A profile without the add-on has nothing to switch.
    if (!SetAddonEnabledIn(*database, id, enable)) return true;
    if (!ReplaceFileWithRetries(file, database->dump(), retries)) return false;
    // Firefox starts the add-ons its start-up cache names without reading the database again;
    // without the cache it rebuilds it from the database we changed.
    const std::wstring cache = file.substr(0, file.find_last_of(L'\\') + 1) + kStartupCacheFile;
    if (platform::FileExists(cache)) (void)platform::DeleteFileOf(cache);
    return true;
}

bool TFFBrowserCleaner::SetSqliteEnabled(const std::wstring& profile, const std::wstring& id,
                                         const std::wstring& folder, bool enable) {
    const std::wstring database = ProfileFile(profile, L"extensions.sqlite");
    if (database.empty() || !sqlite_) return false;
    platform::SqliteDatabase db;
    if (db.Open(*sqlite_, database, false) != platform::SqliteLibrary::kOk) return false;
    auto update = db.Prepare("UPDATE addon SET active=?,userDisabled=? WHERE id=?");
    if (!update.IsValid() || update.BindInt(1, enable ? 1 : 0) != platform::SqliteLibrary::kOk ||
        update.BindInt(2, enable ? 0 : 1) != platform::SqliteLibrary::kOk ||
        update.BindText(3, id) != platform::SqliteLibrary::kOk || update.Step() != platform::SqliteLibrary::kDone)
        return false;

    const std::wstring ini = ProfileFile(profile, L"extensions.ini");
    if (ini.empty()) return true;
    const auto bytes = platform::ReadFileBytes(ini);
    if (!bytes) return true;
    const auto edited = EditExtensionDirs(*bytes, folder, enable);
    // The database says what Firefox loads; extensions.ini is only its cache of folders.
    if (edited) (void)ReplaceFileWithRetries(ini, *edited, retries);
    return true;
}

bool TFFBrowserCleaner::SetPluginEnabled(const std::wstring& fileName, const std::wstring& fullPath, bool enable) {
    bool done = true;
    for (const std::wstring& profile : profileFolders_) {
        const std::wstring file = ProfileFile(profile, L"pluginreg.dat");
        if (file.empty()) continue;
        const auto bytes = platform::ReadFileBytes(file);
        if (!bytes) {
            done = false;
            continue;
        }
        const std::string edited = SetPluginStateIn(*bytes, fileName, fullPath, enable);
        // No record matched: the browser's file is left exactly as it is.
        if (edited != *bytes) done = ReplaceFileWithRetries(file, edited, retries) && done;
    }
    return done;
}

}  // namespace tarvo::addons
