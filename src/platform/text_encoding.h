#pragma once
// Conversions at the edges where text leaves the program as bytes.

#include <string>
#include <string_view>

namespace tarvo::platform {

// UTF-16 -> UTF-8; an unpaired surrogate becomes U+FFFD rather than invalid bytes.
[[nodiscard]] std::string Utf8FromWide(std::wstring_view text);
// UTF-8 -> UTF-16; invalid sequences become U+FFFD.
[[nodiscard]] std::wstring WideFromUtf8(std::string_view text);

}  // namespace tarvo::platform
