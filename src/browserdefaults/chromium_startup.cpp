#include "browserdefaults/chromium_startup.h"

#include "addons/browser_file.h"
#include "addons/chrome_preferences.h"
#include "platform/text.h"

namespace tarvo::browserdefaults {

using addons::Json;
using addons::Member;

std::wstring ChromiumHomepage(const Json& document, const std::wstring& hijacker) {
    std::wstring home = addons::MemberText(document, "homepage");
    if (!home.empty() && SameSite(home, hijacker)) return home;
    const Json* session = Member(document, "session");
    const Json* urls = session && session->is_object() ? Member(*session, "urls_to_restore_on_startup") : nullptr;
    if (!urls || !urls->is_array() || urls->empty()) return home;
    std::wstring result;
    for (const Json& entry : *urls) {
        result = entry.is_string() ? platform::WideFromUtf8(entry.get_ref<const std::string&>()) : std::wstring();
        if (SameSite(result, hijacker)) break;
    }
    return result;
}

namespace {
// Sets a member of an object when it holds a value of the same type, adds it when it is
// missing, and leaves a member of another type alone.
void SetOrAdd(Json& object, const char* name, const Json& value) {
    const auto found = object.find(name);
    if (found == object.end()) object[name] = value;
    else if ((found->is_boolean() && value.is_boolean()) || (found->is_string() && value.is_string()) ||
             (found->is_number() && value.is_number()))
        *found = value;
}
}  // namespace

void ResetChromiumStartup(Json& document) {
    if (!document.is_object()) return;
    for (const char* name : {"homepage", "homepage_is_newtabpage", "homepage_changed"}) document.erase(name);
    if (Json* browser = Member(document, "browser"); browser && browser->is_object())
        SetOrAdd(*browser, "show_home_button", false);
    if (Json* sync = Member(document, "sync"); sync && sync->is_object()) {
        SetOrAdd(*sync, "keep_everything_synced", false);
        SetOrAdd(*sync, "preferences", false);
    }
    if (Json* profile = Member(document, "profile"); profile && profile->is_object())
        SetOrAdd(*profile, "exit_type", "Normal");
    if (Json* session = Member(document, "session"); session && session->is_object()) {
        SetOrAdd(*session, "restore_on_startup", 5);
        SetOrAdd(*session, "restore_on_startup_migrated", true);
        session->erase("urls_to_restore_on_startup");
    }
    document.erase("backup");
}

std::optional<Json> ParsePreferencesBytes(const std::optional<std::string>& bytes) {
    if (!bytes) return std::nullopt;
    auto document = addons::ParseJsonKeepingNumbers(addons::JsonTextFromBytes(*bytes));
    if (!document || !document->is_object()) return std::nullopt;
    return document;
}

}  // namespace tarvo::browserdefaults
