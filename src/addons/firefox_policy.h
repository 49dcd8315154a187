#pragma once
// The "ExtensionSettings" policy Firefox documents for administrators, in "policies.json" of
// its "distribution" folder: an add-on whose entry says "installation_mode": "blocked" is
// switched off and taken out by Firefox itself. For a user who prefers that to editing the
// profiles. The ids this program blocked are recorded in a key of its own, so unblocking
// removes only those: an administrator's entry is never changed or removed.

#include <windows.h>

#include <string>

#include "addons/browser_file.h"
#include "addons/json_format.h"

namespace tarvo::addons {

enum class PolicyEdit { Changed, Unchanged, Refused };

// Whether the policies block the id: its own entry's "installation_mode" is "blocked", or it
// has no entry and the "*" entry's is.
[[nodiscard]] bool PoliciesBlock(const Json& policies, const std::wstring& id);
// Adds the id's block. Unchanged when the policies block it already; Refused when the id has
// an entry that says anything else, or the document is not shaped as Firefox reads it.
[[nodiscard]] PolicyEdit AddBlockTo(Json& policies, const std::wstring& id);
// Removes the id's entry when it is exactly the block AddBlockTo writes; Refused otherwise.
[[nodiscard]] PolicyEdit RemoveBlockFrom(Json& policies, const std::wstring& id);

struct FirefoxPolicyFile {
    std::wstring path;  // "…\distribution\policies.json"; empty: no Firefox found
    HKEY recordRoot = HKEY_CURRENT_USER;
    std::wstring recordKey;  // our own key naming the ids we blocked
};

// The policy file of the Firefox installed on this machine, with our record key.
[[nodiscard]] FirefoxPolicyFile InstalledFirefoxPolicyFile();

// The file parsed; an empty object when there is none; nullopt when it cannot be read or is
// not a JSON object (then nothing may be written over it).
[[nodiscard]] std::optional<Json> ReadPolicies(const std::wstring& path);

// Blocks the id in the file (written beside and moved over) and records it. Whether the id is
// blocked afterwards.
[[nodiscard]] bool BlockInPolicyFile(const FirefoxPolicyFile& file, const std::wstring& id, const WriteRetries& retries);
// Removes the block this program recorded for the id. Whether nothing blocks the id afterwards.
[[nodiscard]] bool UnblockInPolicyFile(const FirefoxPolicyFile& file, const std::wstring& id,
                                       const WriteRetries& retries);

}  // namespace tarvo::addons
