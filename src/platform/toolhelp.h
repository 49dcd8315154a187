#pragma once
// The system's process list through a tool-help snapshot.

#include <windows.h>

#include <string>
#include <vector>

namespace tarvo::platform {

struct ProcessEntry {
    DWORD id = 0;
    DWORD parentId = 0;
    std::wstring exeName;  // image file name without folder, as the snapshot gives it
};

// Every process at this moment; empty when no snapshot could be taken.
[[nodiscard]] std::vector<ProcessEntry> SnapshotProcesses() noexcept;

// The image name of `processId` in `snapshot`; empty when it is not there.
[[nodiscard]] std::wstring ImageNameIn(const std::vector<ProcessEntry>& snapshot, DWORD processId);

}  // namespace tarvo::platform
