#include "addons/chrome_preferences.h"

#include <algorithm>

#include "addons/addon_text.h"
#include "addons/browser_file.h"
#include "platform/text.h"

namespace tarvo::addons {

namespace {

std::string Utf8(const std::wstring& text) { return platform::Utf8FromWide(text); }

void WriteCompact(const Json& value, std::string& out) {
    if (value.is_object()) {
        out += '{';
        bool first = true;
        for (const auto& [name, member] : value.items()) {
            if (!first) out += ',';
            first = false;
            out += Json(name).dump(-1, ' ', true);
            out += ':';
            WriteCompact(member, out);
        }
        out += '}';
    } else if (value.is_array()) {
        out += '[';
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (i > 0) out += ',';
            WriteCompact(value[i], out);
        }
        out += ']';
    } else if (value.is_binary()) {
        // A fractional number kept as the text it was read with.
        out.append(value.get_binary().begin(), value.get_binary().end());
    } else {
        out += value.dump(-1, ' ', true);
    }
}

}  // namespace

const Json* Member(const Json& value, const char* name) {
    if (!value.is_object()) return nullptr;
    const auto found = value.find(name);
    return found == value.end() ? nullptr : &*found;
}

Json* Member(Json& value, const char* name) {
    if (!value.is_object()) return nullptr;
    const auto found = value.find(name);
    return found == value.end() ? nullptr : &*found;
}

std::wstring MemberText(const Json& value, const char* name) {
    const Json* member = Member(value, name);
    if (!member) return {};
    if (member->is_string()) return platform::WideFromUtf8(member->get_ref<const std::string&>());
    if (member->is_boolean() || member->is_number()) return platform::WideFromUtf8(member->dump());
    if (member->is_binary()) {
        const auto& bytes = member->get_binary();
        return platform::WideFromUtf8(std::string(bytes.begin(), bytes.end()));
    }
    return {};
}

std::wstring BackslashPath(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    for (std::size_t at = path.find(L"\\\\"); at != std::wstring::npos; at = path.find(L"\\\\", at + 1))
        path.erase(at, 1);
    return path;
}

std::optional<Json> ReadPreferences(const std::wstring& path) {
    const auto text = ReadJsonFileText(path);
    if (!text) return std::nullopt;
    auto document = ParseJsonKeepingNumbers(*text);
    if (!document || !document->is_object()) return std::nullopt;
    return document;
}

std::string CompactJson(const Json& value) {
    std::string out;
    WriteCompact(value, out);
    return out;
}

std::string IndentedPreferences(const Json& document) {
    int depth = 0;
    return "\xEF\xBB\xBF" + FormatJson(document, depth) + "\r\n";
}

bool SetExtensionStateIn(Json& document, const std::wstring& id, bool enabled) {
    Json* extensions = Member(document, "extensions");
    Json* settings = extensions ? Member(*extensions, "settings") : nullptr;
    if (!settings || !settings->is_object()) return false;
    bool found = false;
    for (auto& [name, entry] : settings->items()) {
        const Json* manifest = Member(entry, "manifest");
        if (!manifest || !manifest->is_object() || !SameText(platform::WideFromUtf8(name), id)) continue;
        entry["state"] = enabled ? 1 : 0;
        found = true;
    }
    return found;
}

bool SetPluginEnabledIn(Json& document, const std::wstring& caption, const std::wstring& path,
                        const std::wstring& version, bool enabled) {
    Json* plugins = Member(document, "plugins");
    if (plugins && !plugins->is_object()) return false;
    Json* list = plugins ? Member(*plugins, "plugins_list") : nullptr;
    if (list && !list->is_array()) return false;
    if (!plugins) plugins = &(document["plugins"] = Json::object());
    if (!list) list = &((*plugins)["plugins_list"] = Json::array());

    bool pathMatch = false, nameMatch = false;
    for (Json& element : *list) {
        if (!element.is_object()) continue;
        const bool hasPath = element.contains("path"), hasVersion = element.contains("version");
        const std::wstring name = MemberText(element, "name");
        if (hasPath) {
            std::wstring elementVersion = MemberText(element, "version");
            std::replace(elementVersion.begin(), elementVersion.end(), L',', L'.');
            if (SameText(BackslashPath(MemberText(element, "path")), path) && SameText(name, caption) &&
                SameText(elementVersion, version)) {
                element["enabled"] = enabled;
                pathMatch = true;
            }
        } else if (!hasVersion && SameText(name, caption)) {
            element["enabled"] = enabled;
            nameMatch = true;
        }
    }
    if (!pathMatch)
        list->push_back(Json{{"enabled", enabled}, {"name", Utf8(caption)}, {"path", Utf8(path)}, {"version", Utf8(version)}});
    if (!nameMatch) list->push_back(Json{{"enabled", enabled}, {"name", Utf8(caption)}});
    return true;
}

}  // namespace tarvo::addons
