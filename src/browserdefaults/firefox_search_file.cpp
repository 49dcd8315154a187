#include "browserdefaults/firefox_search_file.h"

#include "addons/chrome_preferences.h"
#include "platform/text.h"

namespace tarvo::browserdefaults {

namespace {

// What picks a default: the name (up to version 5), the id (since 6), each with its hash, and
// the same for private windows.
constexpr const char* kDefaultKeys[] = {"current",
                                        "hash",
                                        "defaultEngineId",
                                        "defaultEngineIdHash",
                                        "private",
                                        "privateHash",
                                        "privateDefaultEngineId",
                                        "privateDefaultEngineIdHash"};

std::wstring TextOf(const Json* value) {
    return value && value->is_string() ? platform::WideFromUtf8(value->get_ref<const std::string&>()) : std::wstring();
}

}  // namespace

std::wstring DefaultEngineIn(const Json& document) {
    const Json* meta = addons::Member(document, "metaData");
    if (!meta) return {};
    const std::wstring id = TextOf(addons::Member(*meta, "defaultEngineId"));
    const Json* engines = addons::Member(document, "engines");
    if (!id.empty() && engines && engines->is_array())
        for (const Json& engine : *engines)
            if (TextOf(addons::Member(engine, "id")) == id) return TextOf(addons::Member(engine, "_name"));
    return TextOf(addons::Member(*meta, "current"));
}

bool ResetSearchDefaults(Json& document, const std::wstring& stockName) {
    bool changed = false;
    if (Json* meta = addons::Member(document, "metaData"); meta && meta->is_object())
        for (const char* key : kDefaultKeys) changed = meta->erase(key) > 0 || changed;
    Json* engines = addons::Member(document, "engines");
    if (!engines || !engines->is_array()) return changed;
    for (Json& engine : *engines) {
        if (!platform::EqualsIgnoreCase(TextOf(addons::Member(engine, "_name")), stockName)) continue;
        Json* meta = addons::Member(engine, "_metaData");
        Json* hidden = meta ? addons::Member(*meta, "hidden") : nullptr;
        if (hidden && hidden->is_boolean() && hidden->get<bool>()) {
            *hidden = false;
            changed = true;
        }
    }
    return changed;
}

}  // namespace tarvo::browserdefaults
