#pragma once
// Every text the user sees is looked up by key, with its built-in English text as the
// fallback.

#include <string>

namespace tarvo::language {

// The loaded language's text for `key` (case-insensitive), even when that text is empty;
// `defaultText` unchanged when the language has no such line.
[[nodiscard]] std::wstring GetText(const std::wstring& key, const std::wstring& defaultText);

}  // namespace tarvo::language
