#pragma once
// Plug-ins that other programs register for Mozilla-family browsers under
// SOFTWARE\MozillaPlugins, machine-wide and per user, in both registry views.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::addons {

struct TMozilaGeneralPluginItem {
    std::wstring KeyName, ProductName, Description, PluginPath, Vendor, Version;
    std::uint8_t View64 = 0;  // 1 when read through the 64-bit registry view
};

// Reads HKLM then HKCU in the default view, and with `is64` both again in the 64-bit view.
// An entry whose "path" is empty or "disabled", or repeats an earlier entry's path, is left
// out. `keyPath` is the key below each root, without a leading backslash.
[[nodiscard]] std::vector<TMozilaGeneralPluginItem> LoadMozillaPlugins(
    bool is64, const std::wstring& keyPath = L"SOFTWARE\\MozillaPlugins");

// The first entry for `path` (case-insensitive); an empty record when none.
[[nodiscard]] TMozilaGeneralPluginItem FindMozillaPlugin(const std::vector<TMozilaGeneralPluginItem>& plugins,
                                                         const std::wstring& path);

}  // namespace tarvo::addons
