#pragma once
// Firefox's profiles as "profiles.ini" names them, and whether a running Firefox holds one.

#include <string>
#include <vector>

namespace tarvo::addons {

// The folders of every [Profile…] section with a "Path", in the file's order, each once and
// only when it exists, with a trailing backslash. A relative path is taken under
// `firefoxFolder` (trailing backslash), where profiles.ini lives.
[[nodiscard]] std::vector<std::wstring> FirefoxProfileFolders(const std::wstring& firefoxFolder);

// Whether a Firefox has the profile open: it keeps "parent.lock" open without sharing for as
// long as it runs, so a file that cannot be opened beside it is a locked profile.
[[nodiscard]] bool IsProfileLocked(const std::wstring& profileFolder);

}  // namespace tarvo::addons
