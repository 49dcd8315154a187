#include "addons/chrome_browser_cleaner.h"

#include <algorithm>
#include <utility>

#include "addons/addon_text.h"
#include "addons/chrome_preferences.h"
#include "addons/chromium_extensions.h"
#include "addons/folder_walk.h"
#include "common/paths.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace tarvo::addons {

namespace {

bool Contains(const std::vector<std::wstring>& list, const std::wstring& text) {
    return std::any_of(list.begin(), list.end(), [&](const std::wstring& entry) { return SameText(entry, text); });
}

void AppendOnce(std::vector<std::wstring>& list, const std::wstring& text) {
    if (!Contains(list, text)) list.push_back(text);
}

std::wstring FileNameOf(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

bool EndsWithDll(const std::wstring& path) {
    return path.size() >= 4 && SameText(path.substr(path.size() - 4), L".dll");
}

}  // namespace

TChromeBrowserCleaner::TChromeBrowserCleaner(const CleanerEnvironment& environment)
    : TCustomBrowserCleaner(environment),
      userDataFolder_(environment.localAppDataFolder + L"\\Google\\Chrome\\User Data\\Default\\"),
      extensionsFolder_(userDataFolder_ + L"Extensions\\") {}

TChromeBrowserCleaner::TChromeBrowserCleaner(const CleanerEnvironment& environment, std::wstring userDataFolder,
                                             BrowserKind browser, bool ownPluginFolder)
    : TCustomBrowserCleaner(environment),
      userDataFolder_(std::move(userDataFolder)),
      extensionsFolder_(userDataFolder_ + L"Extensions\\"),
      browser_(browser),
      ownPluginFolder_(ownPluginFolder) {}

std::wstring TChromeBrowserCleaner::PluginsFolder() const {
    return LocalAppDataFolder() + L"\\Google\\Chrome\\Application\\plugins\\";
}

bool TChromeBrowserCleaner::IsInstalled() {
    // The profile is what the add-ons live in: a per-user or unpacked Chrome has no uninstall
    // entry to find, and one with an entry but no profile has nothing to list.
    return platform::FileExists(PreferencesPath());
}

void TChromeBrowserCleaner::ScanItems() {
    // One reading serves both passes: the plug-in pass needs what the extension pass found
    // in the same state of the file.
    extensionPluginFiles_.clear();
    const Json* preferences = ReadPreferencesKept();
    ScanExtensions(preferences);
    LoadMozillaPlugins();
    ScanPlugins(preferences);
}

void TChromeBrowserCleaner::ScanExtensions(const Json* preferences) {
    const Json* settings = ExtensionSettingsOf(preferences);
    if (!settings) return;
    for (ChromiumExtension& extension : ExtensionsIn(*settings, extensionsFolder_, false)) {
        AddItem({browser_, AddonKind::Extension, extension.id, extension.name, extension.description,
                 extension.versionFolder, L"", extension.version, extension.enabled, 0, nullptr, {}});
        for (const std::wstring& file : extension.pluginFiles) NoteExtensionPluginFile(file);
    }
}

void TChromeBrowserCleaner::NoteExtensionPluginFile(const std::wstring& file) { AppendOnce(extensionPluginFiles_, file); }

void TChromeBrowserCleaner::AddPlugin(const std::wstring& itemId, const std::wstring& name,
                                      const std::wstring& description, const std::wstring& path,
                                      const std::wstring& publisher, const std::wstring& version, bool present) {
    AddItem({browser_, AddonKind::Plugin, itemId, name, description, path, publisher, version, present, 0,
             nullptr, {}});
}

void TChromeBrowserCleaner::ScanPlugins(const Json* preferences) {
    std::vector<std::wstring> seen, disabled;

    // The plug-ins Chrome lists itself, with the user's on/off choice.
    const Json* plugins = preferences ? Member(*preferences, "plugins") : nullptr;
    const Json* list = plugins ? Member(*plugins, "plugins_list") : nullptr;
    if (list && list->is_array()) {
        for (const Json& element : *list) {
            std::wstring path = MemberText(element, "path"), version = MemberText(element, "version");
            if (path.empty()) continue;
            path = BackslashPath(path);
            if (!SameText(path, L"internal-remoting-viewer") && !platform::FileExists(path)) continue;
            const bool enabled = SameText(MemberText(element, "enabled"), L"true");
            if (!enabled && Contains(extensionPluginFiles_, path)) {
                disabled.push_back(path);
                std::erase_if(extensionPluginFiles_, [&](const std::wstring& file) { return SameText(file, path); });
                continue;
            }
            const TMozilPlugFileInfo info = FileInfo(path, false);
            std::wstring publisher = info.CompanyName, description = info.FileDescription;
            if (version.empty()) version = info.FileVersion;
            if (publisher.empty() || description.empty() || version.empty()) {
                const TMozilaGeneralPluginItem registered = FindMozillaPlugin(path);
                if (publisher.empty()) publisher = registered.Vendor;
                if (description.empty()) description = registered.Description;
                if (version.empty()) version = registered.Version;
            }
            const std::wstring name = MemberText(element, "name");
            AddPlugin(name, name, description, path, publisher, version, enabled);
            AppendOnce(seen, path);
        }
    }

    // Plug-in files of enabled extensions that the list above did not name.
    for (const std::wstring& file : extensionPluginFiles_) {
        if (Contains(seen, file)) continue;
        const TMozilPlugFileInfo info = FileInfo(file, false);
        if (info.ProductName.empty()) continue;
        AddPlugin(file, info.ProductName, info.FileDescription, file, info.CompanyName, info.FileVersion, true);
        seen.push_back(file);
    }

    // Plug-ins other programs register for Mozilla browsers, which Chrome also loads; a
    // file of a name already found elsewhere is another copy of the same plug-in.
    for (const TMozilaGeneralPluginItem& entry : MozillaPlugins()) {
        if (entry.View64 != 0) continue;
        const std::wstring path = BackslashPath(entry.PluginPath);
        if (Contains(seen, path) || !platform::FileExists(path)) continue;
        const std::wstring fileName = FileNameOf(path);
        if (std::any_of(seen.begin(), seen.end(), [&](const std::wstring& s) { return SameText(FileNameOf(s), fileName); }))
            continue;
        const TMozilPlugFileInfo info = FileInfo(entry.PluginPath, false);
        const auto either = [](const std::wstring& first, const std::wstring& second) {
            return first.empty() ? second : first;
        };
        AddPlugin(entry.KeyName, either(info.ProductName, entry.ProductName), either(info.FileDescription, entry.Description),
                  entry.PluginPath, either(info.CompanyName, entry.Vendor), either(info.FileVersion, entry.Version), true);
        AppendOnce(seen, entry.PluginPath);
    }

    // Chrome's own plug-in folder.
    if (!ownPluginFolder_ || !platform::FolderExists(PluginsFolder())) return;
    std::vector<std::wstring> files;
    ListFilesInTree(PluginsFolder(), files);
    for (const std::wstring& file : files) {
        if (!EndsWithDll(file) || Contains(seen, file) || Contains(disabled, file) || !platform::FileExists(file)) continue;
        const TMozilPlugFileInfo info = FileInfo(file, false);
        AddPlugin(file, info.ProductName.empty() ? FileNameOf(file) : info.ProductName, info.FileDescription, file,
                  info.CompanyName, info.FileVersion, true);
    }
}

bool TChromeBrowserCleaner::RemoveItem(TPluginItem& item) {
    if (!item.Present) return true;
    switch (item.Collection.AddonKind) {
        case AddonKind::Extension: return SetExtensionState(item, false);
        case AddonKind::Plugin: return SetPluginEnabled(item, false);
        default: return false;
    }
}

bool TChromeBrowserCleaner::RestoreItem(TPluginItem& item) {
    if (item.Present) return true;
    switch (item.Collection.AddonKind) {
        case AddonKind::Extension: return SetExtensionState(item, true);
        case AddonKind::Plugin: return SetPluginEnabled(item, true);
        default: return false;
    }
}

bool TChromeBrowserCleaner::SetExtensionState(const TPluginItem& item, bool enabled) {
    auto document = preferences_.Take(PreferencesPath());
    if (!document) return false;
    // An id the file no longer holds has nothing left to switch; a failed write has switched
    // nothing, and saying otherwise would drop an add-on from the list that still runs.
    if (!SetExtensionStateIn(*document, item.ItemId, enabled)) {
        preferences_.Keep(PreferencesPath(), std::move(*document));
        return true;
    }
    std::string text = CompactJson(*document);
    return WriteAndKeep(std::move(*document), text);
}

bool TChromeBrowserCleaner::SetPluginEnabled(const TPluginItem& item, bool enabled) {
    auto document = preferences_.Take(PreferencesPath());
    if (!document) return false;
    const std::wstring path = item.Paths.empty() ? std::wstring() : item.Paths.front();
    if (!SetPluginEnabledIn(*document, item.Caption, path, item.Version, enabled)) {
        preferences_.Keep(PreferencesPath(), std::move(*document));
        return false;
    }
    std::string text = IndentedPreferences(*document);
    return WriteAndKeep(std::move(*document), text);
}

bool TChromeBrowserCleaner::WriteAndKeep(Json document, const std::string& text) {
    // A document the write did not reach is not the file's any more: the next switch reads again.
    if (!ReplaceFileWithRetries(PreferencesPath(), text, retries)) return false;
    preferences_.Keep(PreferencesPath(), std::move(document));
    return true;
}

}  // namespace tarvo::addons
