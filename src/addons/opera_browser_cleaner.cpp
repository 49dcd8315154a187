#include "addons/opera_browser_cleaner.h"

#include <algorithm>
#include <utility>

#include "addons/addon_text.h"
#include "addons/browser_file.h"
#include "addons/opera_prefs_file.h"
#include "addons/opera_version.h"
#include "addons/opera_widget_files.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace tarvo::addons {

namespace {

// Our own surfing-protection widget, which names itself only once it has run.
constexpr wchar_t kKnownWidgetId[] = L"wuid-4C796ACB-345F-4F29-B180-67F3459A4270";

std::wstring ProfileFolderFor(const CleanerEnvironment& environment, std::int32_t version) {
    const std::wstring& base = environment.appDataFolder;
    if (version < 15) return base + L"\\Opera\\Opera\\";
    const wchar_t* channel = version == 15 ? L"Opera Stable\\" : L"Opera Next\\";
    const std::wstring folder = base + L"\\Opera Software\\" + channel;
    return platform::FolderExists(folder) ? folder : base + L"\\Opera\\" + channel;
}

bool ContainsText(const std::vector<std::wstring>& list, const std::wstring& text) {
    return std::any_of(list.begin(), list.end(), [&](const std::wstring& entry) { return SameText(entry, text); });
}

bool IsDll(const std::wstring& name) {
    return name.size() >= 4 && SameText(name.substr(name.size() - 4), L".dll");
}

// The listing's attributes, which name a link as one where the attribute query follows it.
bool IsLinkedFolder(const std::wstring& folder) {
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    return finder.FindFirst(folder, data) && platform::IsReparsePoint(data.dwFileAttributes);
}

const std::wstring& Either(const std::wstring& first, const std::wstring& second) {
    return first.empty() ? second : first;
}

// Without an uninstall entry to name the version, a profile in today's folder says it is a
// Chromium-based Opera.
std::int32_t VersionOrProfile(const CleanerEnvironment& environment) {
    const std::int32_t version = OperaMajorVersion();
    if (version >= 0) return version;
    const bool current = platform::FileExists(environment.appDataFolder + L"\\Opera Software\\Opera Stable\\Preferences");
    return current ? 15 : version;
}

}  // namespace

TOperaBrowserCleaner::TOperaBrowserCleaner(const CleanerEnvironment& environment)
    : TOperaBrowserCleaner(environment, VersionOrProfile(environment)) {}

TOperaBrowserCleaner::TOperaBrowserCleaner(const CleanerEnvironment& environment, std::int32_t version)
    : TChromeBrowserCleaner(environment, ProfileFolderFor(environment, version), BrowserKind::Opera, false),
      version_(version),
      localProfileFolder_(environment.localAppDataFolder +
                          (version < 15 ? L"\\Opera\\Opera\\" : L"\\Opera Software\\Opera Stable\\")) {}

std::wstring TOperaBrowserCleaner::ProgramFolderFromIcon(const std::wstring& displayIcon) {
    std::wstring file;
    if (!displayIcon.empty() && displayIcon.front() == L'"') {
        const auto close = displayIcon.find(L'"', 1);
        file = displayIcon.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    } else {
        file = displayIcon.substr(0, displayIcon.find(L','));
    }
    const auto cut = file.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : file.substr(0, cut + 1);
}

bool TOperaBrowserCleaner::IsInstalled() {
    // The machine's entry first; a per-user installation writes its own under the user's root.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        platform::RegistryKey uninstall;
        if (uninstall.Open(root, uninstallKeyPath) != ERROR_SUCCESS) continue;
        std::wstring found;
        for (const auto& name : uninstall.SubKeyNames())
            if (platform::UpperCase(name).find(L"OPERA") != std::wstring::npos) {
                found = name;
                break;
            }
        if (found.empty()) continue;
        platform::RegistryKey entry;
        if (entry.Open(root, uninstallKeyPath + L"\\" + found) == ERROR_SUCCESS)
            programFolder_ = ProgramFolderFromIcon(entry.QueryString(L"DisplayIcon").value_or(L""));
        return true;
    }
    // A copy without an entry of its own (unpacked, or its entry lost) is known by its profile.
    return !IsPresto() && platform::FileExists(PreferencesPath());
}

void TOperaBrowserCleaner::ScanItems() {
    if (!IsPresto()) {
        TChromeBrowserCleaner::ScanItems();
        return;
    }
    ScanWidgets();
    ScanPrestoPlugins();
}

void TOperaBrowserCleaner::ScanWidgets() {
    const std::wstring list = WidgetsFolder() + L"widgets.dat";
    if (!platform::FolderExists(WidgetsFolder()) || !platform::FileExists(list)) return;
    // A file that does not parse lists no widgets; the rest of the scan goes on.
    const auto bytes = platform::ReadFileBytes(list);
    const auto sections = bytes ? ReadWidgetSections(*bytes) : std::nullopt;
    if (!sections) return;
    for (const WidgetSection& section : *sections) {
        // The id becomes a folder name: one that climbs out of the widgets folder, or a
        // link that leads elsewhere, would have us rewrite someone else's file.
        if (!IsPlainFolderName(section.id)) continue;
        const std::wstring folder = WidgetsFolder() + section.id + L"\\";
        if (!platform::FolderExists(folder) || IsLinkedFolder(WidgetsFolder() + section.id)) continue;
        const std::wstring prefsPath = folder + L"prefs.dat";
        if (!platform::FileExists(prefsPath)) continue;
        const auto prefsBytes = platform::ReadFileBytes(prefsPath);
        const auto prefs = prefsBytes ? ReadWidgetPrefs(*prefsBytes) : std::nullopt;
        if (!prefs) continue;

        std::wstring name, description, publisher;
        if (SameText(section.id, kKnownWidgetId)) {
            name = L"Veldane Surfing Protection";
            description = L"Protect your computer away from malicious website attack.";
            publisher = L"Tarvo";
        }
        if (!prefs->name.empty()) name = prefs->name;
        if (name.empty()) continue;
        AddItem({BrowserKind::Opera, AddonKind::Extension, section.id, name, description, folder, publisher, L"",
                 prefs->enabled, 0, nullptr, {}});
    }
}

std::vector<std::wstring> TOperaBrowserCleaner::DisabledPlugins() const {
    const auto bytes = platform::ReadFileBytes(SettingsPath());
    return bytes ? ReadDisabledPlugins(*bytes) : std::vector<std::wstring>();
}

void TOperaBrowserCleaner::ScanPrestoPlugins() {
    if (!platform::FileExists(SettingsPath())) return;
    const std::vector<std::wstring> disabled = DisabledPlugins();
    std::vector<std::wstring> seen;
    LoadMozillaPlugins();
    for (const TMozilaGeneralPluginItem& entry : MozillaPlugins()) {
        if (entry.View64 != 0) continue;
        const TMozilPlugFileInfo info = FileInfo(entry.PluginPath, false);
        AddItem({BrowserKind::Opera, AddonKind::Plugin, entry.KeyName, Either(info.ProductName, entry.ProductName),
                 Either(info.FileDescription, entry.Description), entry.PluginPath, Either(info.CompanyName, entry.Vendor),
                 Either(info.FileVersion, entry.Version), !ContainsText(disabled, entry.PluginPath), 0, nullptr, {}});
        seen.push_back(entry.PluginPath);
    }

    const std::wstring plugins = programFolder_ + L"program\\plugins\\";
    if (programFolder_.empty() || !platform::FolderExists(programFolder_) || !platform::FolderExists(plugins)) return;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    for (bool more = finder.FindFirst(plugins + L"*.*", data); more; more = finder.FindNext(data)) {
        if (platform::IsDotName(data.cFileName) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const std::wstring path = plugins + data.cFileName;
        if (!IsDll(path) || ContainsText(seen, path)) continue;
        const TMozilPlugFileInfo info = FileInfo(path, false);
        AddItem({BrowserKind::Opera, AddonKind::Plugin, path, info.ProductName, info.FileDescription, path,
                 info.CompanyName, info.FileVersion, !ContainsText(disabled, path), 0, nullptr, {}});
    }
}

bool TOperaBrowserCleaner::RemoveItem(TPluginItem& item) {
    if (!IsPresto()) return TChromeBrowserCleaner::RemoveItem(item);
    if (!item.Present) return true;
    switch (item.Collection.AddonKind) {
        case AddonKind::Extension: return SetWidgetEnabled(item, false);
        case AddonKind::Plugin: return SetPrestoPluginEnabled(item, false);
        default: return false;
    }
}

bool TOperaBrowserCleaner::RestoreItem(TPluginItem& item) {
    // A Chromium profile has no widget files to switch back on: it is restored where it was
    // switched off.
    if (!IsPresto()) return TChromeBrowserCleaner::RestoreItem(item);
    if (item.Present) return true;
    switch (item.Collection.AddonKind) {
        case AddonKind::Extension: return SetWidgetEnabled(item, true);
        case AddonKind::Plugin: return SetPrestoPluginEnabled(item, true);
        default: return false;
    }
}

bool TOperaBrowserCleaner::SetWidgetEnabled(const TPluginItem& item, bool enabled) {
    if (item.Paths.empty()) return false;
    const std::wstring file = item.Paths.front() + L"prefs.dat";
    if (!platform::FileExists(file)) return false;
    const auto bytes = platform::ReadFileBytes(file);
    const auto switched = bytes ? SetGadgetEnabledIn(*bytes, enabled) : std::nullopt;
    return switched && ReplaceFileWithRetries(file, *switched, retries);
}

bool TOperaBrowserCleaner::SetPrestoPluginEnabled(const TPluginItem& item, bool enabled) {
    if (item.Paths.empty() || !platform::FileExists(SettingsPath())) return false;
    const auto bytes = platform::ReadFileBytes(SettingsPath());
    if (!bytes) return false;
    std::vector<std::wstring> disabled = ReadDisabledPlugins(*bytes);
    const std::wstring& path = item.Paths.front();
    const bool listed = ContainsText(disabled, path);
    if (listed != enabled) return true;  // already as asked
    if (enabled)
        std::erase_if(disabled, [&](const std::wstring& entry) { return SameText(entry, path); });
    else
        disabled.push_back(path);
    const auto rewritten = WithDisabledPlugins(*bytes, disabled);
    return rewritten && ReplaceFileWithRetries(SettingsPath(), *rewritten, retries);
}

}  // namespace tarvo::addons
