#include "platform/shell_open.h"

#include <shellapi.h>

namespace tarvo::platform {

bool ShellOpen(const std::wstring& file, const std::wstring& parameters) noexcept {
    const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", file.c_str(),
                                             parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                                             SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

HICON LargeIconForExtension(const std::wstring& extension) noexcept {
    SHFILEINFOW info{};
    if (!::SHGetFileInfoW(extension.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                          SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_LARGEICON))
        return nullptr;
    return info.hIcon;
}

}  // namespace tarvo::platform
