#pragma once
// Internet Explorer add-on registrations written straight into the keys Internet Explorer
// reads, in either view, and removed again when the object goes.

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "addons/ie_browser_cleaner.h"
#include "platform/registry.h"

namespace tarvo::test {

class IERegistrations {
public:
    using View = platform::RegistryView;

    IERegistrations() = default;
    IERegistrations(const IERegistrations&) = delete;
    IERegistrations& operator=(const IERegistrations&) = delete;
    ~IERegistrations() {
        for (const auto& [location, name] : values_) (void)platform::DeleteValue(location, name);
        for (auto key = keys_.rbegin(); key != keys_.rend(); ++key) (void)platform::DeleteKey(*key);
    }

    // A COM class: its name, and its in-process server when `server` is not empty.
    void Class(const std::wstring& clsid, const std::wstring& name, const std::wstring& server, View view) {
        const std::wstring key = L"SOFTWARE\\Classes\\CLSID\\" + clsid;
        (void)Key(HKEY_LOCAL_MACHINE, key, view).SetString(L"", name);
        if (!server.empty()) (void)Key(HKEY_LOCAL_MACHINE, key + L"\\InprocServer32", view).SetString(L"", server);
    }
    void Bho(const std::wstring& clsid, View view) {
        (void)Key(HKEY_LOCAL_MACHINE, std::wstring(addons::kIEBhoKey) + L"\\" + clsid, view);
    }
    void Toolbar(const std::wstring& clsid, View view) {
        platform::RegistryKey key;
        (void)key.Create(HKEY_LOCAL_MACHINE, addons::kIEToolbarKey, KEY_READ | KEY_WRITE, view);
        const BYTE none[1] = {0};
        (void)key.SetValue(clsid, REG_BINARY, none, 1);
        values_.emplace_back(platform::RegistryLocation{HKEY_LOCAL_MACHINE, addons::kIEToolbarKey, view}, clsid);
    }
    void Extension(HKEY root, const std::wstring& id, const std::map<std::wstring, std::wstring>& texts, View view) {
        platform::RegistryKey key = Key(root, std::wstring(addons::kIEExtensionsKey) + L"\\" + id, view);
        for (const auto& [name, text] : texts) (void)key.SetString(name, text);
    }
    void DistributionUnit(const std::wstring& clsid, View view) {
        (void)Key(HKEY_LOCAL_MACHINE, std::wstring(addons::kIEDistributionUnitsKey) + L"\\" + clsid, view);
    }
    void Seen(const std::wstring& clsid, DWORD type) {
        const std::wstring path = std::wstring(addons::kIEStatsKey) + L"\\" + clsid;
        (void)Key(HKEY_CURRENT_USER, path, View::Default);
        platform::RegistryKey key;
        (void)key.Create(HKEY_CURRENT_USER, path + L"\\iexplore");
        (void)key.SetDword(L"Type", type);
    }
    // Internet Explorer's own switch, as its add-on manager writes it.
    void Switch(const std::wstring& id, DWORD flags) {
        platform::RegistryKey key = Key(HKEY_CURRENT_USER, std::wstring(addons::kIESettingsKey) + L"\\" + id, View::Default);
        (void)key.SetDword(L"Flags", flags);
        (void)key.SetString(L"Version", L"*");
    }
    // A key some other code creates that should go too (the removal marker).
    void Forget(HKEY root, const std::wstring& path, View view) { keys_.push_back({root, path, view}); }

    // Any other key, created and removed afterwards.
    platform::RegistryKey Key(HKEY root, const std::wstring& path, View view = View::Default) {
        platform::RegistryKey key;
        (void)key.Create(root, path, KEY_READ | KEY_WRITE, view);
        keys_.push_back({root, path, view});
        return key;
    }

private:
    std::vector<platform::RegistryLocation> keys_;
    std::vector<std::pair<platform::RegistryLocation, std::wstring>> values_;
};

}  // namespace tarvo::test
