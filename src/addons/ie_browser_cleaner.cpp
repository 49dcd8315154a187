#include "addons/ie_browser_cleaner.h"

#include <algorithm>

#include "addons/addon_text.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/sqlite_database.h"

namespace tarvo::addons {

using platform::RegistryKey;
using platform::RegistryView;

namespace {

// Captions come from registry values anyone can write; a class name of a megabyte is cut
// here rather than carried through the list, the store and the page.
constexpr std::size_t kMaxText = 1000;
// Internet Explorer lists this helper object of its own among the BHOs.
constexpr wchar_t kOwnHelper[] = L"{10921475-03CE-4E04-90CE-E2E7EF20C814}";

std::wstring Cut(std::wstring text) {
    if (text.size() > kMaxText) text.resize(kMaxText);
    return text;
}

bool OpenRead(RegistryKey& key, HKEY root, const std::wstring& path, RegistryView view) {
    return key.Open(root, path, KEY_READ, view) == ERROR_SUCCESS;
}

std::wstring DefaultValue(HKEY root, const std::wstring& path, RegistryView view) {
    RegistryKey key;
    if (!OpenRead(key, root, path, view)) return {};
    return key.QueryString(L"").value_or(L"");
}

// The item path names a key by its root's handle value, as the trust and vote rows do.
std::wstring PathText(HKEY root, const std::wstring& key) {
    return std::wstring(root == HKEY_CURRENT_USER ? L"80000001" : L"80000002") + L"\\" + key;
}

std::wstring BandClsid(const std::wstring& key, RegistryView view) {
    RegistryKey band;
    if (!OpenRead(band, HKEY_LOCAL_MACHINE, key, view)) return {};
    return band.QueryString(L"BandCLSID").value_or(L"");
}

bool EndsWithDll(const std::wstring& file) {
    return file.size() >= 4 && common::EqualsIgnoreCase(std::wstring_view(file).substr(file.size() - 4), L".dll");
}

}  // namespace

TIEBrowserCleaner::ClassRecord TIEBrowserCleaner::ReadClassKey(HKEY root, const std::wstring& path, RegistryView view) {
    ClassRecord record;
    RegistryKey key;
    if (!OpenRead(key, root, path, view)) return record;
    record.found = true;
    record.text = key.QueryString(L"").value_or(L"");
    RegistryKey server;
    if (OpenRead(server, key.get(), L"InprocServer32", view)) record.server = server.QueryString(L"").value_or(L"");
    return record;
}

namespace {

class ValueCopier : public platform::RegistryValueSweep::Visitor {
public:
    explicit ValueCopier(TIEBrowserCleaner::TIEPluginExtInfo& detail) : detail_(detail) {}
    void OnValue(std::wstring_view name, DWORD type, const BYTE* data, DWORD size) override {
        std::wstring text;
        std::uint8_t code = 0;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            platform::RegistryValue value{type, std::vector<BYTE>(data, data + size)};
            text = Cut(value.AsString().value_or(L""));
            code = type == REG_SZ ? 1 : 2;
        } else if (type == REG_DWORD && size >= 4) {
            DWORD number = 0;
            std::copy(data, data + 4, reinterpret_cast<BYTE*>(&number));
            text = std::to_wstring(static_cast<std::int32_t>(number));
            code = 3;
        } else {
            return;
        }
        detail_.Values.push_back(std::wstring(name) + L"=" + text);
        detail_.ValueTypes.push_back(code);
    }

private:
    TIEBrowserCleaner::TIEPluginExtInfo& detail_;
};

}  // namespace

std::wstring TIEBrowserCleaner::TIEPluginExtInfo::Value(const std::wstring& name) const {
    for (const auto& line : Values) {
        const auto equals = line.find(L'=');
        if (equals != std::wstring::npos && common::EqualsIgnoreCase(std::wstring_view(line).substr(0, equals), name))
            return line.substr(equals + 1);
    }
    return {};
}

std::wstring IEClassNameOf(const std::wstring& clsid, RegistryView view) {
    return Cut(common::Trim(DefaultValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\CLSID\\" + clsid, view)));
}

std::wstring IEServerPathOf(const std::wstring& clsid, RegistryView view) {
    return Cut(DefaultValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\CLSID\\" + clsid + L"\\InprocServer32", view));
}

void IECopyKeyValues(HKEY root, const std::wstring& key, RegistryView view,
                     TIEBrowserCleaner::TIEPluginExtInfo& detail) {
    RegistryKey open;
    if (!OpenRead(open, root, key, view)) return;
    ValueCopier copier(detail);
    platform::RegistryValueSweep sweep;
    (void)sweep.Sweep(open.get(), copier);
}

TIEBrowserCleaner::TIEBrowserCleaner(const CleanerEnvironment& environment)
    : TCustomBrowserCleaner(environment), sqlite_(environment.sqlite) {}

void TIEBrowserCleaner::ReleaseItem(TPluginItem& item) { item.ExtInfo.reset(); }

bool TIEBrowserCleaner::IsInstalled() {
    const auto hasVersion = [](RegistryView view) {
        RegistryKey key;
        return OpenRead(key, HKEY_LOCAL_MACHINE, kIEKey, view) && key.HasValue(L"Version");
    };
    return hasVersion(RegistryView::Default) || (Is64() && hasVersion(RegistryView::Wow64_64Key));
}

bool TIEBrowserCleaner::CanRemove(const TPluginItem&) { return true; }

void TIEBrowserCleaner::ScanItems() {
    fileInfos_.clear();
    serverExists_.clear();
    LoadDisabledIds();
    LoadUserClasses();
    for (const auto view : {RegistryView::Default, RegistryView::Wow64_64Key}) {
        if (platform::Is64(view) && !Is64()) break;
        ScanToolbars(view);
        ScanExtensions(HKEY_LOCAL_MACHINE, view);
        // The user's part of the registry is one in both views: read once.
        if (!platform::Is64(view)) ScanExtensions(HKEY_CURRENT_USER, view);
        ScanBHOs(view);
        ScanActiveX(HKEY_LOCAL_MACHINE, kIEDistributionUnitsKey, false, view);
        ScanActiveX(HKEY_CURRENT_USER, kIEStatsKey, true, view);
    }
    fileInfos_.clear();
}

void TIEBrowserCleaner::LoadDisabledIds() {
    disabledIds_.clear();
    for (const auto view : {RegistryView::Default, RegistryView::Wow64_64Key}) {
        if (platform::Is64(view) && !Is64()) break;
        RegistryKey settings;
        if (!OpenRead(settings, HKEY_CURRENT_USER, kIESettingsKey, view)) continue;
        for (const auto& name : settings.SubKeyNames()) {
            RegistryKey addon;
            if (!OpenRead(addon, settings.get(), name, view)) continue;
            if (!addon.HasValue(L"Version")) continue;
            const auto flags = addon.QueryDword(L"Flags");
            if (flags && *flags != 0) disabledIds_.insert(common::LowerCase(name));
        }
    }
}

bool TIEBrowserCleaner::IsDisabled(const std::wstring& id) const {
    return !disabledIds_.empty() && disabledIds_.count(common::LowerCase(id)) != 0;
}

bool TIEBrowserCleaner::ServerExists(const std::wstring& file) {
    auto key = common::LowerCase(file);
    const auto found = serverExists_.find(key);
    if (found != serverExists_.end()) return found->second;
    return serverExists_.emplace(std::move(key), platform::FileExists(file)).first->second;
}

const TMozilPlugFileInfo& TIEBrowserCleaner::CachedFileInfo(const std::wstring& file, bool preferProductVersion) {
    auto key = std::make_pair(common::LowerCase(file), preferProductVersion);
    const auto found = fileInfos_.find(key);
    if (found != fileInfos_.end()) return found->second;
    return fileInfos_.emplace(std::move(key), FileInfo(file, preferProductVersion)).first->second;
}

void TIEBrowserCleaner::LoadUserClasses() {
    for (auto& classes : userClasses_) classes.clear();
    for (const auto view : {RegistryView::Default, RegistryView::Wow64_64Key}) {
        if (platform::Is64(view) && !Is64()) break;
        RegistryKey classes;
        if (!OpenRead(classes, HKEY_CURRENT_USER, L"Software\\Classes\\CLSID", view)) continue;
        for (const auto& name : classes.SubKeyNames()) userClasses_[platform::Is64(view) ? 1 : 0].insert(common::LowerCase(name));
    }
}

bool TIEBrowserCleaner::IsUserClass(const std::wstring& clsid, RegistryView view) const {
    const auto& classes = userClasses_[platform::Is64(view) ? 1 : 0];
    return !classes.empty() && classes.count(common::LowerCase(clsid)) != 0;
}

TIEBrowserCleaner::ClassRecord TIEBrowserCleaner::ReadMergedClass(const std::wstring& clsid, RegistryView view) const {
    if (IsUserClass(clsid, view)) return ReadClassKey(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid, view);
    return ReadClassKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\CLSID\\" + clsid, view);
}

TIEBrowserCleaner::ClassReading TIEBrowserCleaner::ReadClass(const std::wstring& clsid, RegistryView view) const {
    ClassReading reading;
    reading.machine = ReadClassKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\CLSID\\" + clsid, view);
    // The merged root answers with the machine's key unless the user registered the class
    // too; only then is the second read worth its cost.
    reading.merged = IsUserClass(clsid, view) ? ReadClassKey(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid, view)
                                              : reading.machine;
    return reading;
}

TIEBrowserCleaner::ResolvedClass TIEBrowserCleaner::ResolveClass(const ClassRecord& merged,
                                                                 const std::wstring& bandClsid,
                                                                 bool preferProductVersion, RegistryView view) {
    ResolvedClass result;
    std::wstring server;
    if (merged.found) {
        result.classText = Cut(merged.text);
        server = merged.server;
    } else {
        if (bandClsid.empty()) return result;
        const ClassRecord band = ReadMergedClass(bandClsid, view);
        result.classText = Cut(band.text);
        server = band.server;
    }
    // The server is taken as stored: a name with environment variables, a folder or anything
    // that is not a library gives no file information, and the add-on is listed without it.
    if (!server.empty() && server.size() < 32767 && EndsWithDll(server) && ServerExists(server))
        result.file = CachedFileInfo(server, preferProductVersion);
    return result;
}

void TIEBrowserCleaner::Add(AddonKind kind, const std::wstring& itemId, const std::wstring& name,
                            const std::wstring& path, const TMozilPlugFileInfo& file, RegistryView view,
                            std::unique_ptr<TIEPluginExtInfo> detail) {
    FoundAddon found;
    found.browser = BrowserKind::InternetExplorer;
    found.kind = kind;
    found.itemId = itemId;
    found.name = name;
    found.description = file.FileDescription;
    found.path = path;
    found.publisher = file.Signer.empty() ? file.CompanyName : file.Signer;
    found.version = file.FileVersion;
    found.sysType = platform::Is64(view) ? 1 : 0;
    found.detail = std::move(detail);
    (void)AddItem(std::move(found));
}

void TIEBrowserCleaner::ScanToolbars(RegistryView view) {
    RegistryKey toolbars;
    if (!OpenRead(toolbars, HKEY_LOCAL_MACHINE, kIEToolbarKey, view)) return;
    // Few toolbars have a key of their own beside their value: list the keys once rather
    // than try to open one per toolbar.
    std::unordered_set<std::wstring> withKey;
    for (const auto& name : toolbars.SubKeyNames()) withKey.insert(common::LowerCase(name));
    for (const auto& name : toolbars.ValueNames()) {
        if (common::EqualsIgnoreCase(name, L"Locked") || IsDisabled(name)) continue;
        std::wstring band;
        if (withKey.count(common::LowerCase(name)) != 0) {
            RegistryKey bandKey;
            if (OpenRead(bandKey, toolbars.get(), name, view)) band = bandKey.QueryString(L"BandCLSID").value_or(L"");
        }
        const ClassReading reading = ReadClass(name, view);
        const std::wstring text = Cut(common::Trim(reading.machine.text));
        if (text.empty()) continue;
        const auto resolved = ResolveClass(reading.merged, band, false, view);
        auto detail = std::make_unique<TIEPluginExtInfo>();
        detail->Source = Source::Toolbar;
        Add(AddonKind::Toolbar, name, text, PathText(HKEY_LOCAL_MACHINE, kIEToolbarKey), resolved.file, view,
            std::move(detail));
    }
}

void TIEBrowserCleaner::ScanExtensions(HKEY root, RegistryView view) {
    RegistryKey extensions;
    if (!OpenRead(extensions, root, kIEExtensionsKey, view)) return;
    for (const auto& name : extensions.SubKeyNames()) {
        if (IsDisabled(name)) continue;
        const std::wstring key = std::wstring(kIEExtensionsKey) + L"\\" + name;
        // Machine-wide buttons and per-user ones alike take their band from the machine's key.
        const std::wstring band = BandClsid(key, view);
        auto detail = std::make_unique<TIEPluginExtInfo>();
        detail->Source = root == HKEY_CURRENT_USER ? Source::UserExtension : Source::MachineExtension;
        IECopyKeyValues(root, key, view, *detail);
        std::wstring caption = detail->Value(L"ButtonText");
        if (caption.empty()) caption = detail->Value(L"MenuText");
        if (caption.empty()) continue;
        const auto resolved = ResolveClass(ReadMergedClass(name, view), band, false, view);
        Add(AddonKind::Toolbar, name, caption, PathText(root, key), resolved.file, view, std::move(detail));
    }
}

void TIEBrowserCleaner::ScanBHOs(RegistryView view) {
    RegistryKey helpers;
    if (!OpenRead(helpers, HKEY_LOCAL_MACHINE, kIEBhoKey, view)) return;
    for (const auto& name : helpers.SubKeyNames()) {
        if (IsDisabled(name) || common::Contains(common::UpperCase(name), kOwnHelper)) continue;
        const ClassReading reading = ReadClass(name, view);
        const std::wstring text = Cut(common::Trim(reading.machine.text));
        if (text.empty()) continue;
        const std::wstring key = std::wstring(kIEBhoKey) + L"\\" + name;
        auto detail = std::make_unique<TIEPluginExtInfo>();
        const auto resolved = ResolveClass(reading.merged, {}, false, view);
        detail->ServerPath = Cut(reading.machine.server);
        IECopyKeyValues(helpers.get(), name, view, *detail);
        Add(AddonKind::BrowserHelperObject, name, text, PathText(HKEY_LOCAL_MACHINE, key), resolved.file, view,
            std::move(detail));
    }
}

void TIEBrowserCleaner::ScanActiveX(HKEY root, const std::wstring& key, bool checkStatistics, RegistryView view) {
    RegistryKey controls;
    if (!OpenRead(controls, root, key, view)) return;
    for (const auto& name : controls.SubKeyNames()) {
        const std::wstring subkey = key + L"\\" + name;
        if (checkStatistics) {
            RegistryKey seen;
            if (!OpenRead(seen, controls.get(), name + L"\\iexplore", view)) continue;
            const auto type = seen.QueryDword(L"Type");
            if (!type || *type != 1) continue;
        }
        if (IsDisabled(name)) continue;
        const ClassReading reading = ReadClass(name, view);
        const auto resolved = ResolveClass(reading.merged, {}, true, view);
        if (resolved.classText.empty()) continue;
        auto detail = std::make_unique<TIEPluginExtInfo>();
        detail->ClassKey = L"\\SOFTWARE\\Classes\\CLSID\\" + name;
        detail->ServerPath = Cut(reading.machine.server);
        if (root == HKEY_LOCAL_MACHINE)
            IECopyKeyValues(controls.get(), name, view, *detail);
        else
            IECopyKeyValues(HKEY_LOCAL_MACHINE, subkey, view, *detail);
        // Both lists name their controls under the user's root code, the machine's included:
        // that is how their trust and vote rows have always been keyed.
        Add(AddonKind::ActiveX, name, resolved.classText, PathText(HKEY_CURRENT_USER, subkey), resolved.file, view,
            std::move(detail));
    }
}

bool TIEBrowserCleaner::RemoveItem(TPluginItem& item) {
    if (!item.Present) return true;
    switch (item.Collection.AddonKind) {
    case AddonKind::Toolbar:
        return item.ExtInfo != nullptr && DisableAddon(item);
    case AddonKind::BrowserHelperObject:
    case AddonKind::ActiveX:
        return DisableAddon(item);
    default:
        return false;
    }
}

bool TIEBrowserCleaner::RestoreItem(TPluginItem& item) {
    // Switching off changed nothing but the marker, so there is nothing to put back.
    const auto kind = item.Collection.AddonKind;
    return item.Present || kind == AddonKind::Toolbar || kind == AddonKind::BrowserHelperObject ||
           kind == AddonKind::ActiveX;
}

bool TIEBrowserCleaner::DisableAddon(const TPluginItem& item) {
    // The id becomes a key name below the settings key: one that would reach a key of its
    // own below another add-on's switch (or the settings key itself) is refused.
    if (item.ItemId.empty() || item.ItemId.find(L'\\') != std::wstring::npos) return false;
    const RegistryView view = item.SysType == 1 ? RegistryView::Wow64_64Key : RegistryView::Default;
    RegistryKey marker;
    const LONG created =
        marker.Create(HKEY_CURRENT_USER, std::wstring(kIESettingsKey) + L"\\" + item.ItemId, KEY_READ | KEY_WRITE, view);
    if (created != ERROR_SUCCESS) {
        OutputDebugStringW((L"AddUninstallRegItem " + std::to_wstring(created)).c_str());
        return false;
    }
    return marker.SetDword(L"Flags", 1) == ERROR_SUCCESS && marker.SetDword(L"Version", 1) == ERROR_SUCCESS;
}

void TIEBrowserCleaner::DeleteBackup(const std::wstring& id) {
    const std::wstring file = StorePath();
    if (file.empty() || sqlite_ == nullptr) return;
    platform::SqliteDatabase db;
    if (db.Open(*sqlite_, file, true) != platform::SqliteLibrary::kOk) return;
    // The table is made here too, for a store older than it.
    if (db.Execute("CREATE TABLE IF NOT EXISTS iebackup (id TEXT,key TEXT,value TEXT)") != platform::SqliteLibrary::kOk) return;
    auto remove = db.Prepare("DELETE FROM iebackup WHERE id=?");
    if (remove.IsValid() && remove.BindText(1, id) == platform::SqliteLibrary::kOk) (void)remove.Step();
}

}  // namespace tarvo::addons
