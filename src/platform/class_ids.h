#pragma once
// Class identifiers as text.

#include <string>

namespace tarvo::platform {

// CLSIDFromString accepts the text: a braced GUID (or a ProgID registered on this machine).
[[nodiscard]] bool ParsesAsClassId(const std::wstring& text) noexcept;

}  // namespace tarvo::platform
