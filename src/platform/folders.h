#pragma once
// Special and known folders of the shell. Never throws.

#include <string>

namespace tarvo::platform {

// SHGetSpecialFolderPath for a CSIDL_ value; empty when the folder is not known.
[[nodiscard]] std::wstring GetSpecialFolderPath(int csidl, bool create = false) noexcept;
[[nodiscard]] std::wstring GetWindowsFolder() noexcept;
[[nodiscard]] std::wstring GetSystemFolder() noexcept;
[[nodiscard]] std::wstring GetTempFolder() noexcept;  // without the trailing backslash
[[nodiscard]] std::wstring GetModuleFilePath(void* module = nullptr) noexcept;
[[nodiscard]] std::wstring GetEnvironmentString(const wchar_t* name) noexcept;

// Known folders by identifier (Vista and later), reached by name so the program still starts
// on XP, where the function does not exist.

enum class KnownFolderResult {
    Found,
    Failed,       // the system has the function but no such folder (or the text is no GUID)
    Unavailable,  // SHGetKnownFolderPath does not exist on this system
};

// `braced` is a GUID in braces, "{905e63b6-c1bf-494e-b29c-65b732d3d21a}".
[[nodiscard]] KnownFolderResult GetKnownFolderPathOf(const std::wstring& braced, std::wstring& path) noexcept;

}  // namespace tarvo::platform
