#pragma once
// The extension block list a Chromium-based browser documents for administrators: numbered
// string values under "<policy key>\ExtensionInstallBlocklist". Switching an extension off
// adds its id there, in the user's part of the registry, rather than forging the protected
// settings the browser signs. The values this program added are recorded in a key of its own,
// so switching back on removes only those: a value another program or an administrator set
// stays, and the extension then stays blocked.

#include <windows.h>

#include <string>
#include <vector>

namespace tarvo::addons {

struct ExtensionPolicy {
    std::wstring policyKey;  // "Software\Policies\Google\Chrome", read in HKLM and HKCU
    HKEY writeRoot = HKEY_CURRENT_USER;
    std::wstring recordKey;  // our own key (under writeRoot) naming the values we added
};

// The block and allow lists of HKLM and HKCU together, under the current names and the older
// "Blacklist"/"Whitelist" ones: read once for a whole scan rather than once per extension.
struct PolicyLists {
    std::vector<std::wstring> blocked, allowed;
    // Whether the block list holds the id, or holds "*" without the allow list naming the id.
    [[nodiscard]] bool Blocks(const std::wstring& id) const;
};
[[nodiscard]] PolicyLists ReadPolicyLists(const ExtensionPolicy& policy);

// The same for one id against the lists as they are now.
[[nodiscard]] bool IsBlockedByPolicy(const ExtensionPolicy& policy, const std::wstring& id);

// Adds the id under the lowest free number unless a value already holds it. Whether the id is
// in the list afterwards.
[[nodiscard]] bool BlockExtension(const ExtensionPolicy& policy, const std::wstring& id);

// Removes the value this program added for the id, if it still holds the id. Whether the id is
// free of every block afterwards (false: someone else's value, or the machine's, still blocks it).
[[nodiscard]] bool UnblockExtension(const ExtensionPolicy& policy, const std::wstring& id);

}  // namespace tarvo::addons
