#pragma once
// Text services of the system: case rules of the user's locale, code-page conversion at the
// file edges, the locale's decimal separator and system error messages.

#include <windows.h>

#include <string>

namespace tarvo::platform {

// LCMapString upper-casing in the user's locale; the length never changes for text that
// stays within the basic plane, so positions found in the result hold for the input.
[[nodiscard]] std::wstring UpperCase(const std::wstring& text);
// CompareString with NORM_IGNORECASE in the user's locale.
[[nodiscard]] bool EqualsIgnoreCase(const std::wstring& a, const std::wstring& b) noexcept;

// MultiByteToWideChar / WideCharToMultiByte; invalid sequences become what the system makes
// of them, never an error.
[[nodiscard]] std::wstring MultiByteToWide(const char* bytes, std::size_t size, UINT codePage);
[[nodiscard]] std::string WideToMultiByte(const std::wstring& text, UINT codePage);

// The user's decimal separator (LOCALE_SDECIMAL); "." when the locale does not say.
[[nodiscard]] std::wstring DecimalSeparator();

// FormatMessage text for a Win32 error code, without the trailing line break.
[[nodiscard]] std::wstring SystemMessage(DWORD error);

}  // namespace tarvo::platform
