#pragma once
// Opera's "operaprefs.ini" (Opera 12 and before) as the Presto plug-in pass reads and
// switches it: the "Disabled Plugins" list under "User Prefs". The file is Opera's own and
// comes in whatever encoding that Opera wrote (UTF-8 with or without a mark, UTF-16, the
// ANSI code page); it is edited in place as text and written back in that same encoding,
// every other line byte for byte as it was.

#include <optional>
#include <string>
#include <vector>

namespace tarvo::addons {

// The entries of a "Disabled Plugins" value: split at ";", each trimmed, empty ones dropped.
[[nodiscard]] std::vector<std::wstring> SplitDisabledPlugins(const std::wstring& value);

// The list the file's bytes hold; empty when the section or key is missing.
[[nodiscard]] std::vector<std::wstring> ReadDisabledPlugins(const std::string& bytes);

// The bytes with "Disabled Plugins" set to the entries, each followed by ";" (the key and
// its section added when missing). Nullopt when a path cannot be written in the file's own
// encoding, so that the file is never written with a path it would then misname.
[[nodiscard]] std::optional<std::string> WithDisabledPlugins(const std::string& bytes,
                                                             const std::vector<std::wstring>& entries);

}  // namespace tarvo::addons
