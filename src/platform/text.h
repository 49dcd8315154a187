#pragma once
// Text and locale: case rules, code pages and UTF-8 at the edges, the user's number and
// date formats, system messages.

#include <windows.h>

#include <string>
#include <string_view>

namespace tarvo::platform {

// Text services of the system: case rules of the user's locale, code-page conversion at the
// file edges, the locale's decimal separator and system error messages.

// The program's one case rule: LCMapString in the invariant locale, so that a key, a name or a
// path compares the same whatever the user's language (a Turkish locale would upper-case
// "i" to a dotted capital). Letters of every script map one to one, so positions found in
// the result hold for the input; when the system will not map, ASCII letters still do.
[[nodiscard]] std::wstring UpperCase(std::wstring_view text);
[[nodiscard]] std::wstring LowerCase(std::wstring_view text);
// Same length and the same upper-case form.
[[nodiscard]] bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);
// LowerCase(text) holds the needle, which is lower case already.
[[nodiscard]] bool LowerCaseContains(std::wstring_view text, std::wstring_view lowerNeedle);

// MultiByteToWideChar / WideCharToMultiByte; invalid sequences become what the system makes
// of them, never an error.
[[nodiscard]] std::wstring MultiByteToWide(const char* bytes, std::size_t size, UINT codePage);
[[nodiscard]] std::string WideToMultiByte(const std::wstring& text, UINT codePage);

// The user's decimal separator (LOCALE_SDECIMAL); "." when the locale does not say.
[[nodiscard]] std::wstring DecimalSeparator();

// FormatMessage text for a Win32 error code, without the trailing line break.
[[nodiscard]] std::wstring SystemMessage(DWORD error);

// Conversions at the edges where text leaves the program as bytes.

// UTF-16 -> UTF-8; an unpaired surrogate becomes U+FFFD rather than invalid bytes.
[[nodiscard]] std::string Utf8FromWide(std::wstring_view text);
// UTF-8 -> UTF-16; invalid sequences become U+FFFD.
[[nodiscard]] std::wstring WideFromUtf8(std::string_view text);

// Dates and times as the user's locale writes them.

[[nodiscard]] SYSTEMTIME LocalTimeNow() noexcept;

// The user's short date, a blank, then the user's long time ("12.05.2013 14:03:09" in a
// German locale).
[[nodiscard]] std::wstring FormatUserDateTime(const SYSTEMTIME& time);

// The file time (UTC) in local time.
[[nodiscard]] SYSTEMTIME FileTimeToLocal(const FILETIME& utc) noexcept;

}  // namespace tarvo::platform
