#pragma once
// The long form of a path whose parts may be 8.3 short names.

#include <string>

namespace tarvo::platform {

// GetLongPathNameW; the path unchanged when it does not exist or the call fails.
[[nodiscard]] std::wstring LongPathOf(const std::wstring& path);

}  // namespace tarvo::platform
