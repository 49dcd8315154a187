#pragma once
// The extension entries of a Chromium profile's settings ("extensions" / "settings" in
// "Preferences" and "Secure Preferences"), as every cleaner of the Chrome family lists them.

#include <string>
#include <vector>

#include "addons/browser_file.h"
#include "addons/json_format.h"

namespace tarvo::addons {

struct ChromiumExtension {
    std::wstring id, name, description, version;
    std::wstring versionFolder;  // with a trailing backslash
    bool enabled = false;
    std::vector<std::wstring> pluginFiles;  // plug-in files the manifest names that exist
};

// The extensions of one "settings" object whose folder exists under `extensionsFolder`
// (trailing backslash), skipping those the browser itself blacklisted. With `manifestFromDisk`
// an entry without its manifest in the settings (current browsers no longer copy it there)
// takes it from "manifest.json" in its version folder; without, such an entry is skipped, as
// older profiles only leave it behind for an extension that is gone. Enabled: "state" 1
// where the entry has a state, otherwise no "disable_reasons".
[[nodiscard]] std::vector<ChromiumExtension> ExtensionsIn(const Json& settings, const std::wstring& extensionsFolder,
                                                          bool manifestFromDisk);

// "extensions" / "settings" of a parsed settings file; null when it has no such object.
[[nodiscard]] const Json* ExtensionSettingsOf(const Json* document);

}  // namespace tarvo::addons
