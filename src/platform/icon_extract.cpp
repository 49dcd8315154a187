#include "platform/icon_extract.h"

#include <shellapi.h>

namespace tarvo::platform {

IconPair ExtractIconPairOf(const std::wstring& file, int index) noexcept {
    HICON large = nullptr;
    HICON small = nullptr;
    const UINT extracted = ::ExtractIconExW(file.c_str(), index, &large, &small, 1);
    IconPair pair{unique_hicon(large), unique_hicon(small)};
    // A zero count with a handle set does not happen on Windows, but the handles are ours to
    // free either way.
    if (extracted == 0 || extracted == UINT_MAX) return {};
    return pair;
}

}  // namespace tarvo::platform
