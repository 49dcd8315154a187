#include "addons/opera_widget_files.h"

#include <pugixml.hpp>

#include <cstring>

#include "platform/text.h"

namespace tarvo::addons {

namespace {

// Everything the file holds is kept, so that saving changes only what was switched.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype |
                                   pugi::parse_comments | pugi::parse_pi | pugi::parse_ws_pcdata;

bool SameName(const char* name, const char* expected) {
    return platform::EqualsIgnoreCase(platform::WideFromUtf8(name), platform::WideFromUtf8(expected));
}

std::wstring AttributeText(const pugi::xml_node& node, const char* name) {
    for (const pugi::xml_attribute& attribute : node.attributes())
        if (SameName(attribute.name(), name)) return platform::WideFromUtf8(attribute.value());
    return {};
}

bool HasAttribute(const pugi::xml_node& node, const char* name) {
    for (const pugi::xml_attribute& attribute : node.attributes())
        if (SameName(attribute.name(), name)) return true;
    return false;
}

bool Load(pugi::xml_document& document, const std::string& bytes, pugi::xml_encoding* encoding = nullptr) {
    const pugi::xml_parse_result result = document.load_buffer(bytes.data(), bytes.size(), kParseOptions);
    if (encoding) *encoding = result.encoding;
    return static_cast<bool>(result);
}

// Calls `visit(section, id)` for each "section" with an id in the top-level "preferences".
template <typename Visit>
void ForEachSection(const pugi::xml_document& document, Visit visit) {
    for (const pugi::xml_node& preferences : document.children()) {
        if (preferences.type() != pugi::node_element || !SameName(preferences.name(), "preferences")) continue;
        for (const pugi::xml_node& section : preferences.children())
            if (section.type() == pugi::node_element && SameName(section.name(), "section") &&
                HasAttribute(section, "id"))
                visit(section, AttributeText(section, "id"));
    }
}

bool IsValue(const pugi::xml_node& node, const wchar_t* id) {
    return node.type() == pugi::node_element && SameName(node.name(), "value") && HasAttribute(node, "id") &&
           platform::EqualsIgnoreCase(AttributeText(node, "id"), id);
}

struct StringWriter : pugi::xml_writer {
    std::string bytes;
    void write(const void* data, size_t size) override { bytes.append(static_cast<const char*>(data), size); }
};

bool StartsWithMark(const std::string& bytes) {
    static const char* const marks[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    for (const char* mark : marks)
        if (bytes.compare(0, std::strlen(mark), mark) == 0) return true;
    return false;
}

// pugixml keeps no text outside the root element, so the declaration, comments and root
// would be saved on one line: the line breaks between them are put back as the file had them.
void KeepLineBreaksBetweenTopNodes(pugi::xml_document& document, const std::string& bytes) {
    const char* lineBreak = bytes.find('\r') != std::string::npos ? "\r\n" : "\n";
    const auto last = bytes.find_last_not_of('\0');
    const bool endsWithBreak = last != std::string::npos && bytes[last] == '\n';
    for (pugi::xml_node node = document.first_child(); node;) {
        const pugi::xml_node next = node.next_sibling();
        if (next || endsWithBreak) document.insert_child_after(pugi::node_pcdata, node).set_value(lineBreak);
        node = next;
    }
}

}  // namespace

std::optional<std::vector<WidgetSection>> ReadWidgetSections(const std::string& bytes) {
    pugi::xml_document document;
    if (!Load(document, bytes)) return std::nullopt;
    std::vector<WidgetSection> sections;
    ForEachSection(document, [&](const pugi::xml_node& section, const std::wstring& id) {
        WidgetSection found{id, {}};
        for (const pugi::xml_node& value : section.children())
            if (IsValue(value, L"path to widget data")) found.widgetDataPath = platform::WideFromUtf8(value.text().get());
        sections.push_back(std::move(found));
    });
    return sections;
}

std::optional<WidgetPrefs> ReadWidgetPrefs(const std::string& bytes) {
    pugi::xml_document document;
    if (!Load(document, bytes)) return std::nullopt;
    WidgetPrefs prefs;
    ForEachSection(document, [&](const pugi::xml_node& section, const std::wstring& id) {
        for (const pugi::xml_node& value : section.children()) {
            if (platform::EqualsIgnoreCase(id, L"ui") && IsValue(value, L"name"))
                prefs.name = platform::WideFromUtf8(value.text().get());
            else if (platform::EqualsIgnoreCase(id, L"user") && IsValue(value, L"GadgetEnabledOnStartup"))
                prefs.enabled = std::strcmp(value.text().get(), "yes") == 0;  // Opera writes exactly this
        }
    });
    return prefs;
}

std::optional<std::string> SetGadgetEnabledIn(const std::string& bytes, bool enabled) {
    pugi::xml_document document;
    pugi::xml_encoding encoding = pugi::encoding_auto;
    if (!Load(document, bytes, &encoding)) return std::nullopt;
    pugi::xml_node user;
    ForEachSection(document, [&](const pugi::xml_node& section, const std::wstring& id) {
        if (!user && platform::EqualsIgnoreCase(id, L"user")) user = section;
    });
    if (!user) return std::nullopt;
    // Every copy of the value is switched, so no later duplicate can switch the widget back.
    bool found = false;
    for (pugi::xml_node value = user.first_child(); value;) {
        const pugi::xml_node next = value.next_sibling();
        if (IsValue(value, L"GadgetEnabledOnStartup")) {
            found = true;
            if (enabled)
                value.text().set("yes");
            else
                user.remove_child(value);
        }
        value = next;
    }
    if (enabled && !found) {
        pugi::xml_node value = user.append_child("value");
        value.append_attribute("id").set_value("GadgetEnabledOnStartup");
        value.append_attribute("xml:space").set_value("preserve");
        value.text().set("yes");
    }
    KeepLineBreaksBetweenTopNodes(document, bytes);
    StringWriter writer;
    unsigned flags = pugi::format_raw | pugi::format_no_declaration;
    if (StartsWithMark(bytes)) flags |= pugi::format_write_bom;
    document.save(writer, "", flags, encoding);
    return writer.bytes;
}

bool IsPlainFolderName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    return name.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos && name.back() != L'.' && name.back() != L' ';
}

}  // namespace tarvo::addons
