#include "platform/file_icons.h"

#include <shellapi.h>

namespace tarvo::platform {

unique_hicon GetFileIconOf(const std::wstring& path, bool small) noexcept {
    SHFILEINFOW info{};
    UINT flags = SHGFI_ICON | SHGFI_USEFILEATTRIBUTES;
    if (small) flags |= SHGFI_SMALLICON;
    if (!::SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags)) return {};
    return unique_hicon(info.hIcon);
}

}  // namespace tarvo::platform
