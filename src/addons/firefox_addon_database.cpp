#include "addons/firefox_addon_database.h"

#include "addons/addon_text.h"
#include "addons/chrome_preferences.h"
#include "platform/text.h"

namespace tarvo::addons {

namespace {

// Where Firefox keeps what ships with it.
constexpr const char* kFirefoxOwnLocations[] = {"app-builtin", "app-system-defaults", "app-system-addons"};

bool IsTrue(const Json& entry, const char* name) {
    const Json* value = Member(entry, name);
    return value && value->is_boolean() && value->get<bool>();
}

// "creator" is a plain name in the database; older entries wrote {"name": …}.
std::wstring CreatorOf(const Json& locale) {
    const Json* creator = Member(locale, "creator");
    if (creator && creator->is_object()) return MemberText(*creator, "name");
    return MemberText(locale, "creator");
}

}  // namespace

std::vector<FirefoxAddon> ExtensionsInDatabase(const Json& database) {
    std::vector<FirefoxAddon> found;
    const Json* addons = Member(database, "addons");
    if (!addons || !addons->is_array()) return found;
    for (const Json& entry : *addons) {
        if (!entry.is_object() || MemberText(entry, "type") != L"extension") continue;
        const std::string location = platform::Utf8FromWide(MemberText(entry, "location"));
        bool own = false;
        for (const char* name : kFirefoxOwnLocations) own = own || location == name;
        const std::wstring id = MemberText(entry, "id");
        if (own || id.empty()) continue;
        const Json* locale = Member(entry, "defaultLocale");
        const Json& texts = locale && locale->is_object() ? *locale : entry;
        found.push_back({id, MemberText(texts, "name"), MemberText(texts, "description"), CreatorOf(texts),
                         MemberText(entry, "version"), BackslashPath(MemberText(entry, "path")),
                         IsTrue(entry, "active") && !IsTrue(entry, "userDisabled")});
    }
    return found;
}

bool SetAddonEnabledIn(Json& database, const std::wstring& id, bool enabled) {
    Json* addons = Member(database, "addons");
    if (!addons || !addons->is_array()) return false;
    bool found = false;
    for (Json& entry : *addons) {
        if (!entry.is_object() || !SameText(MemberText(entry, "id"), id)) continue;
        entry["userDisabled"] = !enabled;
        // One Firefox holds off for its own reasons stays inactive until Firefox says otherwise.
        entry["active"] = enabled && !IsTrue(entry, "appDisabled");
        found = true;
    }
    return found;
}

}  // namespace tarvo::addons
