#pragma once
// The shell's icon for a file name, owned by the caller through its own handle type.

#include <windows.h>

#include <string>

#include "platform/unique_handle.h"

namespace tarvo::platform {

namespace traits {
struct icon_handle {
    using type = HICON;
    static HICON invalid() noexcept { return nullptr; }
    static void close(HICON h) noexcept { ::DestroyIcon(h); }
};
}  // namespace traits

using unique_hicon = unique_any<traits::icon_handle>;

// SHGetFileInfoW with SHGFI_ICON | SHGFI_USEFILEATTRIBUTES for a normal file of that name: the
// icon the shell shows for it, whether or not the file exists. Null on failure.
[[nodiscard]] unique_hicon GetFileIconOf(const std::wstring& path, bool small) noexcept;

}  // namespace tarvo::platform
