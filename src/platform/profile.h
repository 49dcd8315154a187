#pragma once
// Windows profile (INI) files through the system's own functions: every write reaches the
// disk at once, and the file keeps whatever encoding the system gives it.

#include <string>

namespace tarvo::platform {

// GetPrivateProfileString; `fallback` when the file, section or key is missing.
[[nodiscard]] std::wstring GetPrivateProfileStringOf(const std::wstring& file, const std::wstring& section,
                                                     const std::wstring& key, const std::wstring& fallback);
// WritePrivateProfileString; false when the file cannot be written.
[[nodiscard]] bool WritePrivateProfileStringOf(const std::wstring& file, const std::wstring& section,
                                               const std::wstring& key, const std::wstring& value) noexcept;

}  // namespace tarvo::platform
