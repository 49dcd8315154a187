#pragma once
// Web addresses the program opens: the web search for a program's name, and opening an
// address with the shell, falling back to Internet Explorer on systems without a browser
// registered for web addresses.

#include <string>

namespace tarvo::settings {

inline constexpr wchar_t kSearchEngine[] = L"http://www.google.com";

// The name in UTF-8 with letters, digits and ! $ ' ( ) * - . @ _ kept, blanks as "+", and
// every other byte as "%" and two lower-case hex digits.
[[nodiscard]] std::wstring EncodeSearchText(const std::wstring& name);
// The search engine's result page for a program name.
[[nodiscard]] std::wstring SearchOnlineAddress(const std::wstring& name);
// Opens the address with the shell; when that fails, starts IExplore.EXE with it. True when
// either started.
bool OpenWebAddress(const std::wstring& address);

}  // namespace tarvo::settings
