#include "addons/chromium_extensions.h"

#include <unordered_set>

#include "addons/addon_text.h"
#include "addons/browser_file.h"
#include "addons/chrome_preferences.h"
#include "common/paths.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tarvo::addons {

namespace {

// The names of the folders in `folder`, as case keys: one listing rather than one question
// per extension, which a profile of hundreds of extensions would ask.
std::unordered_set<std::wstring> SubfolderKeys(const std::wstring& folder) {
    std::unordered_set<std::wstring> keys;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    if (!finder.FindFirst(folder + L"*", data)) return keys;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !platform::IsDotName(data.cFileName))
            keys.insert(CaseKey(data.cFileName));
    } while (finder.FindNext(data));
    return keys;
}

bool IsEnabled(const Json& entry) {
    if (const Json* state = Member(entry, "state")) {
        const auto number = JsonNumber(*state);
        return number && *number == 1.0;
    }
    const Json* reasons = Member(entry, "disable_reasons");
    if (!reasons || reasons->is_null()) return true;
    if (reasons->is_array()) return reasons->empty();
    const auto number = JsonNumber(*reasons);
    return number && *number == 0.0;
}

}  // namespace

const Json* ExtensionSettingsOf(const Json* document) {
    const Json* extensions = document ? Member(*document, "extensions") : nullptr;
    const Json* settings = extensions ? Member(*extensions, "settings") : nullptr;
    return settings && settings->is_object() ? settings : nullptr;
}

std::vector<ChromiumExtension> ExtensionsIn(const Json& settings, const std::wstring& extensionsFolder,
                                            bool manifestFromDisk) {
    std::vector<ChromiumExtension> found;
    if (!settings.is_object()) return found;
    const std::unordered_set<std::wstring> folders = SubfolderKeys(extensionsFolder);
    for (const auto& [name, entry] : settings.items()) {
        if (!entry.is_object()) continue;
        const Json* blacklisted = Member(entry, "ack_blacklist");
        if (blacklisted && blacklisted->is_boolean() && blacklisted->get<bool>()) continue;
        const std::wstring id = platform::WideFromUtf8(name);
        if (id.empty() || !folders.contains(CaseKey(id))) continue;
        const std::wstring versionFolder = common::WithTrailingBackslash(extensionsFolder + MemberText(entry, "path"));

        std::optional<Json> fromDisk;
        const Json* manifest = Member(entry, "manifest");
        if (!manifest || !manifest->is_object()) {
            // Only an entry that names its folder can be looked up; one with neither is a
            // setting left over from an extension that is gone.
            if (!manifestFromDisk || MemberText(entry, "path").empty() ||
                !(fromDisk = ReadJsonObject(BackslashPath(versionFolder) + L"manifest.json")))
                continue;
            manifest = &*fromDisk;
        }
        ChromiumExtension extension{id, MemberText(*manifest, "name"), MemberText(*manifest, "description"),
                                    MemberText(*manifest, "version"), versionFolder, IsEnabled(entry), {}};
        const Json* plugins = Member(*manifest, "plugins");
        if (extension.enabled && plugins && plugins->is_array()) {
            for (const Json& plugin : *plugins) {
                if (!Member(plugin, "path")) continue;
                const std::wstring file = BackslashPath(versionFolder + MemberText(plugin, "path"));
                if (platform::FileExists(file)) extension.pluginFiles.push_back(file);
            }
        }
        found.push_back(std::move(extension));
    }
    return found;
}

}  // namespace tarvo::addons
