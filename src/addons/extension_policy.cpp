#include "addons/extension_policy.h"

#include <algorithm>
#include <vector>

#include "addons/addon_text.h"
#include "platform/registry.h"

namespace tarvo::addons {

namespace {

const wchar_t kBlocklist[] = L"ExtensionInstallBlocklist";
const wchar_t kOldBlocklist[] = L"ExtensionInstallBlacklist";  // the name before the browsers renamed it
const wchar_t kAllowlist[] = L"ExtensionInstallAllowlist";
const wchar_t kOldAllowlist[] = L"ExtensionInstallWhitelist";

// 64-bit browsers read the 64-bit view; HKCU\Software is the same in both.
constexpr auto kView = platform::RegistryView::Wow64_64Key;

std::vector<std::wstring> ListValues(HKEY root, const std::wstring& key) {
    std::vector<std::wstring> values;
    platform::RegistryKey handle;
    if (handle.Open(root, key, KEY_READ, kView) != ERROR_SUCCESS) return values;
    for (const std::wstring& name : handle.ValueNames())
        if (const auto text = handle.QueryString(name)) values.push_back(Trim(*text));
    return values;
}

std::vector<std::wstring> ReadLists(const ExtensionPolicy& policy, const wchar_t* list, const wchar_t* oldList) {
    std::vector<std::wstring> values;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const wchar_t* name : {list, oldList}) {
            auto part = ListValues(root, policy.policyKey + L"\\" + name);
            values.insert(values.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
        }
    return values;
}

bool Holds(const std::vector<std::wstring>& list, const std::wstring& text) {
    return std::any_of(list.begin(), list.end(), [&](const std::wstring& entry) { return SameText(entry, text); });
}

}  // namespace

PolicyLists ReadPolicyLists(const ExtensionPolicy& policy) {
    return {ReadLists(policy, kBlocklist, kOldBlocklist), ReadLists(policy, kAllowlist, kOldAllowlist)};
}

bool PolicyLists::Blocks(const std::wstring& id) const {
    return Holds(blocked, id) || (Holds(blocked, L"*") && !Holds(allowed, id));
}

bool IsBlockedByPolicy(const ExtensionPolicy& policy, const std::wstring& id) { return ReadPolicyLists(policy).Blocks(id); }

bool BlockExtension(const ExtensionPolicy& policy, const std::wstring& id) {
    if (id.empty() || policy.policyKey.empty()) return false;
    platform::RegistryKey list;
    if (list.Create(policy.writeRoot, policy.policyKey + L"\\" + kBlocklist, KEY_READ | KEY_WRITE, kView) != ERROR_SUCCESS)
        return false;
    const auto names = list.ValueNames();
    for (const std::wstring& name : names)
        if (SameText(Trim(list.QueryString(name).value_or(L"")), id)) return true;
    // The browsers read the values "1", "2" … in order; the lowest free number keeps the
    // list without gaps where the administrator left none.
    std::wstring number;
    for (unsigned n = 1;; ++n) {
        number = std::to_wstring(n);
        if (std::none_of(names.begin(), names.end(), [&](const std::wstring& name) { return SameText(name, number); }))
            break;
    }
    if (list.SetString(number, id) != ERROR_SUCCESS) return false;
    platform::RegistryKey record;
    if (!policy.recordKey.empty() &&
        record.Create(policy.writeRoot, policy.recordKey, KEY_READ | KEY_WRITE, kView) == ERROR_SUCCESS)
        (void)record.SetString(id, number);
    return true;
}

bool UnblockExtension(const ExtensionPolicy& policy, const std::wstring& id) {
    platform::RegistryKey record;
    if (!policy.recordKey.empty() &&
        record.Open(policy.writeRoot, policy.recordKey, KEY_READ | KEY_WRITE, kView) == ERROR_SUCCESS) {
        if (const auto number = record.QueryString(id)) {
            platform::RegistryKey list;
            if (list.Open(policy.writeRoot, policy.policyKey + L"\\" + kBlocklist, KEY_READ | KEY_WRITE, kView) ==
                    ERROR_SUCCESS &&
                SameText(Trim(list.QueryString(*number).value_or(L"")), id))
                (void)list.DeleteValue(*number);
            (void)record.DeleteValue(id);
        }
    }
    return !IsBlockedByPolicy(policy, id);
}

}  // namespace tarvo::addons
