#pragma once
// The start-up part of a Chromium "Preferences" document (Chrome's, and Opera's since it
// became Chromium): what the window shows as the home page, and the edit that puts the
// home page and start-up pages back to the browser's own.

#include <optional>
#include <string>

#include "addons/json_format.h"
#include "browserdefaults/explorer_set.h"

namespace tarvo::browserdefaults {

// The page the browser opens: a hijacker's "homepage" first, else the start-up list up to
// its first hijacker page (else its last entry), else "homepage".
[[nodiscard]] std::wstring ChromiumHomepage(const addons::Json& document, const std::wstring& hijacker);

// Drops the home page members and the start-up list and makes the browser start with its
// new-tab page; only objects the document already has are edited.
void ResetChromiumStartup(addons::Json& document);

// The document of a Preferences file, read with the set's retries; nullopt when it cannot be
// read or is not a JSON object.
[[nodiscard]] std::optional<addons::Json> ParsePreferencesBytes(const std::optional<std::string>& bytes);

}  // namespace tarvo::browserdefaults
