#pragma once
// Job objects: an unnamed job that an uninstaller and everything it starts run inside, so a
// wait can follow processes the first one started and then left behind.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/unique_handle.h"

namespace tarvo::platform {

// Room for this many ids in one query; a job with more reports a failed query.
inline constexpr std::size_t kJobIdRoom = 101;

// CreateJobObjectW with no attributes and no name; empty on failure.
[[nodiscard]] unique_handle CreateUnnamedJob() noexcept;
[[nodiscard]] bool AssignProcessToJob(HANDLE job, HANDLE process) noexcept;

// The ids of the processes alive in the job (JobObjectBasicProcessIdList). On failure
// `ids` is left as it was.
[[nodiscard]] bool QueryJobProcessIds(HANDLE job, std::vector<DWORD>& ids) noexcept;

// How a command ended up inside a job.
struct JobStart {
    StartedProcess process;
    bool inJob = false;  // false: the job could not take it; wait on the process alone
};

// Starts `commandLine` suspended and outside whatever job we run in, puts it into `job`,
// then lets it run: a process that starts a copy of itself and exits at once cannot slip
// out before it is in the job. Where our own job forbids breaking away, it starts inside
// that job instead (nested jobs take it on Windows 8 and later). Nullopt when the process
// could not be created; `error` receives GetLastError then.
[[nodiscard]] std::optional<JobStart> StartProcessInJob(const std::wstring& commandLine, HANDLE job,
                                                        DWORD& error) noexcept;

}  // namespace tarvo::platform
