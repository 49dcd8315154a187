#pragma once
// Icons stored in executable files and icon libraries.

#include <string>

#include "platform/file_icons.h"

namespace tarvo::platform {

struct IconPair {
    unique_hicon large;
    unique_hicon small;
};

// ExtractIconExW for one icon of each size at `index` (a negative index is a resource id).
// Either handle may stay null; both are null when the file holds no such icon.
[[nodiscard]] IconPair ExtractIconPairOf(const std::wstring& file, int index) noexcept;

}  // namespace tarvo::platform
