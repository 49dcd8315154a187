#include "platform/job_object.h"

namespace tarvo::platform {

unique_handle CreateUnnamedJob() noexcept { return unique_handle(::CreateJobObjectW(nullptr, nullptr)); }

bool AssignProcessToJob(HANDLE job, HANDLE process) noexcept {
    return job && process && ::AssignProcessToJobObject(job, process) != FALSE;
}

bool QueryJobProcessIds(HANDLE job, std::vector<DWORD>& ids) noexcept {
    // The two counts, then the ids: the layout JOBOBJECT_BASIC_PROCESS_ID_LIST has with
    // room for kJobIdRoom entries.
    struct {
        DWORD assigned;
        DWORD listed;
        ULONG_PTR list[kJobIdRoom];
    } buffer{};
    if (!job || !::QueryInformationJobObject(job, JobObjectBasicProcessIdList, &buffer, sizeof buffer, nullptr))
        return false;
    const DWORD listed = buffer.listed < kJobIdRoom ? buffer.listed : static_cast<DWORD>(kJobIdRoom);
    try {
        std::vector<DWORD> result;
        result.reserve(listed);
        for (DWORD i = 0; i < listed; ++i) result.push_back(static_cast<DWORD>(buffer.list[i]));
        ids.swap(result);
    } catch (...) {
        return false;
    }
    return true;
}

std::optional<JobStart> StartProcessInJob(const std::wstring& commandLine, HANDLE job, DWORD& error) noexcept {
    auto started = CreateProcessOf(commandLine, CREATE_BREAKAWAY_FROM_JOB | CREATE_SUSPENDED, {}, SW_SHOW);
    if (!started && ::GetLastError() == ERROR_ACCESS_DENIED)
        started = CreateProcessOf(commandLine, CREATE_SUSPENDED, {}, SW_SHOW);
    if (!started) {
        error = ::GetLastError();
        return std::nullopt;
    }
    JobStart result;
    result.inJob = AssignProcessToJob(job, started->process.get());
    ::ResumeThread(started->thread.get());
    result.process = std::move(*started);
    return result;
}

}  // namespace tarvo::platform
