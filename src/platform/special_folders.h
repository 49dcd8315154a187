#pragma once

#include <string>

namespace tarvo::platform {

// SHGetSpecialFolderPath for a CSIDL_ value; empty when the folder is not known.
[[nodiscard]] std::wstring GetSpecialFolderPath(int csidl, bool create = false) noexcept;
[[nodiscard]] std::wstring GetWindowsFolder() noexcept;
[[nodiscard]] std::wstring GetSystemFolder() noexcept;
[[nodiscard]] std::wstring GetTempFolder() noexcept;  // without the trailing backslash
[[nodiscard]] std::wstring GetModuleFilePath(void* module = nullptr) noexcept;
[[nodiscard]] std::wstring GetEnvironmentString(const wchar_t* name) noexcept;

}  // namespace tarvo::platform
