#pragma once
// Logical drives and what the system says about each root.

#include <windows.h>

#include <string>
#include <vector>

namespace tarvo::platform {

// GetLogicalDriveStringsW: "A:\", "C:\", … in the system's order; empty on failure.
[[nodiscard]] std::vector<std::wstring> GetLogicalDriveRoots();
// GetDriveTypeW for a root such as "C:\".
[[nodiscard]] UINT GetDriveTypeOf(const std::wstring& root) noexcept;
// GetVolumeInformationW on the root succeeds (a medium is present and readable).
[[nodiscard]] bool VolumeInformationAvailable(const std::wstring& root) noexcept;
// GetDiskFreeSpaceExW on the root succeeds.
[[nodiscard]] bool DiskFreeSpaceAvailable(const std::wstring& root) noexcept;

}  // namespace tarvo::platform
