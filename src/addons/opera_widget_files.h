#pragma once
// The XML files of Opera's widgets (Opera 12 and before): "widgets.dat" names the installed
// widgets, each widget's "prefs.dat" holds its name and whether it starts with the browser.
// Both are "preferences" elements of "section" elements of "value" elements, names in any
// case. The functions take and give the files' bytes, so a file that does not parse is
// never written back.

#include <optional>
#include <string>
#include <vector>

namespace tarvo::addons {

struct WidgetSection {
    std::wstring id;
    std::wstring widgetDataPath;  // "path to widget data", as the file gives it
};

struct WidgetPrefs {
    std::wstring name;     // section "ui", value "name"
    bool enabled = false;  // section "user", value "GadgetEnabledOnStartup" is exactly "yes"
};

// Every section with an id, in document order; nullopt when the bytes are not XML.
[[nodiscard]] std::optional<std::vector<WidgetSection>> ReadWidgetSections(const std::string& bytes);
[[nodiscard]] std::optional<WidgetPrefs> ReadWidgetPrefs(const std::string& bytes);

// The prefs.dat bytes with the widget switched on (value "yes", added when missing) or off
// (value removed); the rest of the document, its encoding and byte-order mark as they were.
// Nullopt when the bytes are not XML or hold no "user" section to switch in.
[[nodiscard]] std::optional<std::string> SetGadgetEnabledIn(const std::string& bytes, bool enabled);

// Whether a widget id from widgets.dat names one folder directly inside the widgets folder:
// nothing that climbs out of it, roots elsewhere or matches more than itself.
[[nodiscard]] bool IsPlainFolderName(const std::wstring& name);

}  // namespace tarvo::addons
