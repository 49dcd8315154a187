#pragma once
// "extensions.json", the add-on database of every current Firefox profile: what it lists and
// the two fields that switch an add-on off. Firefox may put any JSON anywhere: every look-up
// checks the type it expects and treats anything else as absent.

#include <string>
#include <vector>

#include "addons/json_format.h"

namespace tarvo::addons {

struct FirefoxAddon {
    std::wstring id, name, description, creator, version, path;
    bool running = false;  // "active" and not "userDisabled"
};

// The extensions of the database, in its order, without Firefox's own built-in and system
// add-ons (which are parts of Firefox rather than add-ons anyone installed).
[[nodiscard]] std::vector<FirefoxAddon> ExtensionsInDatabase(const Json& database);

// Sets "userDisabled" and "active" of the add-on `id` (case-blind). Whether the database
// holds it.
bool SetAddonEnabledIn(Json& database, const std::wstring& id, bool enabled);

}  // namespace tarvo::addons
