#include "addons/ff_browser_cleaner.h"

#include <algorithm>

#include "addons/addon_text.h"
#include "addons/firefox_profile_files.h"
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
    profileFolder_ = FindProfile();
}

bool TFFBrowserCleaner::IsInstalled() {
    return HasFirefoxUninstallKey(HKEY_LOCAL_MACHINE) || HasFirefoxUninstallKey(HKEY_CURRENT_USER);
}

std::wstring TFFBrowserCleaner::FindProfile() const {
    const std::wstring base = common::WithTrailingBackslash(AppDataFolder()) + L"Mozilla\\Firefox\\";
    const std::wstring ini = base + L"profiles.ini";
    if (AppDataFolder().empty() || !platform::FileExists(ini)) return {};
    const std::wstring relative = Trim(platform::GetPrivateProfileStringOf(ini, L"Profile0", L"IsRelative", L"0"));
    std::wstring path = platform::GetPrivateProfileStringOf(ini, L"Profile0", L"path", L"");
    std::replace(path.begin(), path.end(), L'/', L'\\');
    const std::wstring folder = common::WithTrailingBackslash(relative == L"1" ? base + path : path);
    return !path.empty() && platform::FolderExists(folder) ? folder : std::wstring();
}

std::wstring TFFBrowserCleaner::ProfileFile(const wchar_t* name) const {
    if (profileFolder_.empty()) return {};
    const std::wstring file = profileFolder_ + name;
    return platform::FileExists(file) ? file : std::wstring();
}

std::wstring TFFBrowserCleaner::AddonDatabasePath() const { return ProfileFile(L"extensions.sqlite"); }
std::wstring TFFBrowserCleaner::ExtensionsIniPath() const { return ProfileFile(L"extensions.ini"); }

void TFFBrowserCleaner::ScanItems() {
    ScanExtensions();
    ScanPlugins();
}

void TFFBrowserCleaner::ScanExtensions() {
    const std::wstring database = AddonDatabasePath();
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

void TFFBrowserCleaner::ScanPlugins() {
    const std::wstring file = ProfileFile(L"pluginreg.dat");
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
    if (item.Present) return true;
    return SetItemEnabled(item, true);
}

bool TFFBrowserCleaner::SetItemEnabled(const TPluginItem& item, bool enabled) {
    const std::wstring path = item.Paths.empty() ? std::wstring() : item.Paths.front();
    switch (item.Collection.AddonKind) {
        case AddonKind::Extension: return SetExtensionEnabled(item.ItemId, path, enabled);
        case AddonKind::Plugin: return SetPluginEnabled(item.ItemId, path, enabled);
        default: return false;
    }
}

bool TFFBrowserCleaner::SetExtensionEnabled(const std::wstring& id, const std::wstring& folder, bool enable) {
    const std::wstring database = AddonDatabasePath();
    if (database.empty() || !sqlite_) return false;
    platform::SqliteDatabase db;
    if (db.Open(*sqlite_, database, false) != platform::SqliteLibrary::kOk) return false;
    auto update = db.Prepare("UPDATE addon SET active=?,userDisabled=? WHERE id=?");
    if (!update.IsValid() || update.BindInt(1, enable ? 1 : 0) != platform::SqliteLibrary::kOk ||
        update.BindInt(2, enable ? 0 : 1) != platform::SqliteLibrary::kOk ||
        update.BindText(3, id) != platform::SqliteLibrary::kOk || update.Step() != platform::SqliteLibrary::kDone)
        return false;

    const std::wstring ini = ExtensionsIniPath();
    if (ini.empty()) return true;
    const auto bytes = platform::ReadFileBytes(ini);
    if (!bytes) return true;
    const auto edited = EditExtensionDirs(*bytes, folder, enable);
    // The database says what Firefox loads; extensions.ini is only its cache of folders.
    if (edited) (void)ReplaceFileWithRetries(ini, *edited, retries);
    return true;
}

bool TFFBrowserCleaner::SetPluginEnabled(const std::wstring& fileName, const std::wstring& fullPath, bool enable) {
    const std::wstring file = ProfileFile(L"pluginreg.dat");
    if (file.empty()) return false;
    const auto bytes = platform::ReadFileBytes(file);
    if (!bytes) return false;
    const std::string edited = SetPluginStateIn(*bytes, fileName, fullPath, enable);
    // No record matched: the browser's file is left exactly as it is.
    if (edited == *bytes) return true;
    return ReplaceFileWithRetries(file, edited, retries);
}

}  // namespace tarvo::addons
