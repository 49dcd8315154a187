#include "platform/drives.h"

namespace tarvo::platform {

std::vector<std::wstring> GetLogicalDriveRoots() {
    std::vector<std::wstring> roots;
    const DWORD needed = ::GetLogicalDriveStringsW(0, nullptr);
    if (needed == 0) return roots;
    std::wstring buffer(needed + 1, L'\0');
    const DWORD length = ::GetLogicalDriveStringsW(needed, buffer.data());
    if (length == 0 || length > needed) return roots;
    // A list of zero-terminated roots ending with an empty one.
    for (std::size_t start = 0; start < length;) {
        const std::size_t end = buffer.find(L'\0', start);
        if (end == std::wstring::npos || end == start) break;
        roots.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    return roots;
}

UINT GetDriveTypeOf(const std::wstring& root) noexcept { return ::GetDriveTypeW(root.c_str()); }

bool VolumeInformationAvailable(const std::wstring& root) noexcept {
    // An empty card reader would otherwise ask the user to insert a disk.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok = ::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
    ::SetErrorMode(oldMode);
    return ok != FALSE;
}

bool DiskFreeSpaceAvailable(const std::wstring& root) noexcept {
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    ULARGE_INTEGER available{}, total{}, free{};
    const BOOL ok = ::GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free);
    ::SetErrorMode(oldMode);
    return ok != FALSE;
}

}  // namespace tarvo::platform
