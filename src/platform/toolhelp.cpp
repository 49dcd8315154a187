#include "platform/toolhelp.h"

#include <tlhelp32.h>

#include "platform/unique_handle.h"

namespace tarvo::platform {

std::vector<ProcessEntry> SnapshotProcesses() noexcept {
    std::vector<ProcessEntry> result;
    const unique_hfile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return result;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    try {
        for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
             more = ::Process32NextW(snapshot.get(), &entry))
            result.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
    } catch (...) {
        result.clear();
    }
    return result;
}

std::wstring ImageNameIn(const std::vector<ProcessEntry>& snapshot, DWORD processId) {
    for (const ProcessEntry& entry : snapshot)
        if (entry.id == processId) return entry.exeName;
    return {};
}

}  // namespace tarvo::platform
