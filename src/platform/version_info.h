#pragma once

#include <string>

namespace tarvo::platform {

// One string of a file's version resource ("ProductName", "FileVersion", …), read from the
// first translation the resource lists (US English / Unicode when it lists none).
// Empty when the file has no resource or no such string.
[[nodiscard]] std::wstring GetFileVersionString(const std::wstring& path, const std::wstring& name) noexcept;

}  // namespace tarvo::platform
