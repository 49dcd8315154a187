#include "platform/process_memory.h"

#include <windows.h>
#include <psapi.h>

namespace tarvo::platform {

std::optional<std::size_t> PrivateBytesOfThisProcess() noexcept {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters))
        return std::nullopt;
    // Some systems leave PrivateUsage at 0; the page-file charge is the same commit figure.
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

}  // namespace tarvo::platform
