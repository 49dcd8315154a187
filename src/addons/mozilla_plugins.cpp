#include "addons/mozilla_plugins.h"

#include "addons/addon_text.h"
#include "platform/registry.h"

namespace tarvo::addons {

using platform::RegistryView;

std::vector<TMozilaGeneralPluginItem> LoadMozillaPlugins(bool is64, const std::wstring& keyPath) {
    struct Pass {
        HKEY root;
        RegistryView view;
    };
    std::vector<Pass> passes{{HKEY_LOCAL_MACHINE, RegistryView::Default}, {HKEY_CURRENT_USER, RegistryView::Default}};
    if (is64) {
        passes.push_back({HKEY_LOCAL_MACHINE, RegistryView::Wow64_64Key});
        passes.push_back({HKEY_CURRENT_USER, RegistryView::Wow64_64Key});
    }
    std::vector<TMozilaGeneralPluginItem> plugins;
    for (const Pass& pass : passes) {
        platform::RegistryKey parent;
        if (parent.Open(pass.root, keyPath, KEY_READ, pass.view) != ERROR_SUCCESS) continue;
        for (const auto& name : parent.SubKeyNames()) {
            platform::RegistryKey key;
            if (key.Open(pass.root, keyPath + L"\\" + name, KEY_READ, pass.view) != ERROR_SUCCESS) continue;
            const auto read = [&](const wchar_t* value) { return key.QueryString(value).value_or(L""); };
            const std::wstring path = read(L"path");
            if (path.empty() || SameText(path, L"disabled")) continue;
            if (!FindMozillaPlugin(plugins, path).PluginPath.empty()) continue;
            plugins.push_back({name, read(L"ProductName"), read(L"Description"), path, read(L"Vendor"),
                               read(L"Version"), static_cast<std::uint8_t>(pass.view == RegistryView::Wow64_64Key)});
        }
    }
    return plugins;
}

TMozilaGeneralPluginItem FindMozillaPlugin(const std::vector<TMozilaGeneralPluginItem>& plugins,
                                           const std::wstring& path) {
    for (const auto& plugin : plugins)
        if (SameText(plugin.PluginPath, path)) return plugin;
    return {};
}

}  // namespace tarvo::addons
