#pragma once
// Chrome's settings file "Preferences" as the Chrome cleaner reads and changes it. Chrome
// (and whatever else wrote the file) may put any JSON at any place: every look-up here
// checks the type it expects and treats anything else as absent.

#include <optional>
#include <string>

#include "addons/json_format.h"

namespace tarvo::addons {

// The member `name` of `value` when `value` is an object that has it; null otherwise.
[[nodiscard]] const Json* Member(const Json& value, const char* name);
[[nodiscard]] Json* Member(Json& value, const char* name);
// A member as text: strings as they are, true/false and numbers as JSON writes them; empty
// for a missing member, null, objects and lists.
[[nodiscard]] std::wstring MemberText(const Json& value, const char* name);
// "/" and "\\" both made "\".
[[nodiscard]] std::wstring BackslashPath(std::wstring path);

// The file parsed; nullopt when it cannot be read or is not a JSON object.
[[nodiscard]] std::optional<Json> ReadPreferences(const std::wstring& path);

// The single-line form Chrome itself writes, every character above U+007F as \u.
[[nodiscard]] std::string CompactJson(const Json& value);
// The indented form with a UTF-8 byte-order mark and CR LF after the last line.
[[nodiscard]] std::string IndentedPreferences(const Json& document);

// Sets "state" of every extension entry with a manifest whose id equals `id` (case-blind).
// Whether one was found.
bool SetExtensionStateIn(Json& document, const std::wstring& id, bool enabled);

// Sets "enabled" on the "plugins_list" entries of one plug-in (by path, name and version,
// and by name alone), adding either entry when it is missing. False, and the document
// unchanged, when "plugins" or its list has a shape Chrome would not write.
bool SetPluginEnabledIn(Json& document, const std::wstring& caption, const std::wstring& path,
                        const std::wstring& version, bool enabled);

}  // namespace tarvo::addons
