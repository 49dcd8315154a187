#pragma once
// Known folders by identifier (Vista and later), reached by name so the program still starts
// on XP, where the function does not exist.

#include <string>

namespace tarvo::platform {

enum class KnownFolderResult {
    Found,
    Failed,       // the system has the function but no such folder (or the text is no GUID)
    Unavailable,  // SHGetKnownFolderPath does not exist on this system
};

// `braced` is a GUID in braces, "{905e63b6-c1bf-494e-b29c-65b732d3d21a}".
[[nodiscard]] KnownFolderResult GetKnownFolderPathOf(const std::wstring& braced, std::wstring& path) noexcept;

}  // namespace tarvo::platform
