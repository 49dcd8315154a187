#pragma once
// Registrations written into the real registry where Windows keeps them (class, file-class,
// interface and type-library keys under unique names), removed when the fixture ends, and
// the class steps of a scan run over them in their fixed order.

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "leftovers/rule_families.h"
#include "platform/registry.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

namespace tarvo::test {

class Registrations {
public:
    Registrations() = default;
    Registrations(const Registrations&) = delete;
    Registrations& operator=(const Registrations&) = delete;
    ~Registrations() {
        for (const auto& [root, path, name] : ownedValues_) {
            platform::RegistryKey key;
            if (key.Open(root, path, KEY_SET_VALUE) == ERROR_SUCCESS) (void)key.DeleteValue(name);
        }
        for (auto it = owned_.rbegin(); it != owned_.rend(); ++it)
            (void)platform::DeleteKeyTree(it->first, it->second, platform::RegistryView::Default);
    }

    // A name no other test or run uses; `prefix` "." makes an extension.
    [[nodiscard]] static std::wstring Name(const wchar_t* prefix = L"TarvoTest") { return UniqueName(prefix); }

    // Writes one string value, creating the key. Only keys handed to Own are deleted at the
    // end, with everything below them: never a shared key someone else's entries live in.
    Registrations& Set(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value) {
        platform::RegistryKey key;
        if (key.Create(root, path, KEY_READ | KEY_WRITE) != ERROR_SUCCESS ||
            key.SetString(name, value) != ERROR_SUCCESS)
            throw std::runtime_error("cannot write a registration");
        return *this;
    }
    Registrations& Machine(const std::wstring& path, const std::wstring& value, const std::wstring& name = {}) {
        return Set(HKEY_LOCAL_MACHINE, path, name, value);
    }
    std::wstring Own(HKEY root, const std::wstring& path) { return owned_.emplace_back(root, path).second; }
    // A value written into a key that others share: only the value goes at the end.
    void OwnValue(HKEY root, const std::wstring& path, const std::wstring& name) {
        ownedValues_.push_back({root, path, name});
    }
    std::wstring OwnMachine(const std::wstring& path) { return Own(HKEY_LOCAL_MACHINE, path); }

private:
    std::vector<std::pair<HKEY, std::wstring>> owned_;
    struct OwnedValue {
        HKEY root;
        std::wstring path, name;
    };
    std::vector<OwnedValue> ownedValues_;
};

inline const std::wstring kClasses = L"SOFTWARE\\Classes\\";

// The class steps of a full scan, in the driver's order.
inline void RunClassSteps(leftovers::TRegeditScanClasses& scan) {
    using namespace leftovers;
    ComClassRule(scan);
    AppIdKeysRule(scan);
    ReservedClassVerbRule(scan);
    ClassesRule(scan, HKEY_CURRENT_USER, scan.Sets.UserClasses);
    ClassesRule(scan, HKEY_LOCAL_MACHINE, scan.Sets.ProgIds);
    InterfaceRule(scan);
    ShellExtensionApprovalRule(scan);
}

// How many key findings (not values) name root\path, letter case aside.
inline int KeyCount(const leftovers::TRegeditScanClasses& scan, HKEY root, const std::wstring& path) {
    return static_cast<int>(std::count_if(scan.RegResults.begin(), scan.RegResults.end(), [&](const auto& r) {
        return r.RootKey == root && r.ValueName.empty() && r.ValueData.empty() &&
               common::EqualsIgnoreCase(r.KeyPath, path);
    }));
}

// How many findings of any kind lie at or below root\path.
inline int CountUnder(const leftovers::TRegeditScanClasses& scan, HKEY root, const std::wstring& path) {
    const std::wstring lower = common::LowerCase(path);
    return static_cast<int>(std::count_if(scan.RegResults.begin(), scan.RegResults.end(), [&](const auto& r) {
        const std::wstring key = common::LowerCase(r.KeyPath);
        return r.RootKey == root && (key == lower || key.rfind(lower + L"\\", 0) == 0);
    }));
}

inline inventory::TSoftInfo EntryAt(const std::wstring& location) {
    inventory::TSoftInfo entry;
    entry.DisplayName = L"Class Test";
    entry.InstallLocation = location;
    return entry;
}

}  // namespace tarvo::test
