#pragma once
// The two text files of a Firefox profile that the Firefox cleaner changes, "pluginreg.dat"
// and "extensions.ini", handled as the bytes they are: a change touches only the lines it
// must, and every other byte (encoding, line ends) goes back as it came.

#include <optional>
#include <string>
#include <vector>

namespace tarvo::addons {

// One line of a file and the line break that ended it ("" for a last line without one).
struct ByteLine {
    std::string text;
    std::string end;
};
[[nodiscard]] std::vector<ByteLine> SplitByteLines(const std::string& bytes);
[[nodiscard]] std::string JoinByteLines(const std::vector<ByteLine>& lines);

// The plug-in section of "pluginreg.dat" cut into records. A record starts with the
// previous plug-in's MIME-type count ("0" for the first), so a plug-in's six lines (file
// name, full path, version, state line, description, name) sit at that count + 1 onwards.
[[nodiscard]] std::vector<std::vector<std::wstring>> ReadPluginRecords(const std::vector<std::wstring>& lines);

// The third "|"-separated field of a plug-in's state line; the whole line when it has fewer
// than three "|". "4" means switched off.
[[nodiscard]] std::wstring StateField(const std::wstring& line);
// The line with its third field made "5" (on) or "4" (off); unchanged with fewer than three "|".
[[nodiscard]] std::string SetStateField(const std::string& line, bool enable);

// "pluginreg.dat" with the state of the plug-in `fileName` at `fullPath` set.
[[nodiscard]] std::string SetPluginStateIn(const std::string& bytes, const std::wstring& fileName,
                                           const std::wstring& fullPath, bool enable);

// "extensions.ini" without the [ExtensionDirs] entries for `folder` (disable) or with one
// added when there is none (enable); nullopt when nothing needs to change.
[[nodiscard]] std::optional<std::string> EditExtensionDirs(const std::string& bytes, const std::wstring& folder,
                                                           bool enable);

}  // namespace tarvo::addons
