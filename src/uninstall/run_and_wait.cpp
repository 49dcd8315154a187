#include "uninstall/run_and_wait.h"

#include "platform/files.h"
#include "platform/messages.h"
#include "platform/processes.h"
#include "settings/system_info.h"

namespace tarvo::uninstall {

namespace {

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) == CSTR_EQUAL;
}

// Counts the lingering processes among `ids`; true when every listed process is one.
bool OnlyLingeringLeft(const std::vector<DWORD>& ids, const std::function<void()>& pump,
                       std::vector<DWORD>& lingering) {
    const auto snapshot = platform::SnapshotProcesses();
    lingering.clear();
    for (const DWORD id : ids) {
        pump();
        if (IsLingeringProcess(platform::ImageNameIn(snapshot, id))) lingering.push_back(id);
    }
    return lingering.size() == ids.size();
}

}  // namespace

bool IsLingeringProcess(std::wstring_view imageName) {
    for (const wchar_t* name : kLingeringProcesses)
        if (EqualNoCase(imageName, name)) return true;
    return false;
}

void PumpedPause(DWORD total, DWORD step, const std::function<void()>& pump) {
    for (DWORD slept = 0; slept < total; slept += step) {
        ::Sleep(step);
        pump();
    }
}

RunResult RunAndWaitDetailed(const std::wstring& command, const RunOptions& options) {
    const std::function<void()> pump = options.pump ? options.pump : [] { platform::PumpWaitingMessages(); };
    RunResult result;
    const platform::unique_handle job = platform::CreateUnnamedJob();
    PumpedPause(options.startDelay, 100, pump);

    std::optional<platform::JobStart> started;
    {
        // Only around the start: while the wait pumps messages, our own windows load
        // icons and libraries, which must still see the 32-bit system folder.
        const platform::FsRedirectionDisabled native(settings::IsWow64());
        started = platform::StartProcessInJob(command, job.get(), result.startError);
    }
    if (!started) return result;
    result.code = 0;
    result.processId = started->process.processId;

    // A process the job could not take is waited for by itself; its children are lost.
    const bool inJob = started->inJob && job;
    std::vector<DWORD> ids;
    unsigned failures = 0;
    for (;;) {
        ++result.polls;
        if (!inJob) {
            if (::WaitForSingleObject(started->process.process.get(), 0) != WAIT_TIMEOUT) {
                result.end = WaitEnd::ProcessEnded;
                break;
            }
        } else if (!platform::QueryJobProcessIds(job.get(), ids)) {
            // A failed query skips the poll: an old list would only repeat the last answer.
            if (++failures > kMaxJobQueryFailures) {
                result.end = WaitEnd::QueryFailures;
                break;
            }
        } else if (OnlyLingeringLeft(ids, pump, result.lingeringIds)) {
            result.end = ids.empty() ? WaitEnd::JobEmpty : WaitEnd::OnlyLingering;
            break;
        }
        ::Sleep(options.pollInterval);
        pump();
    }
    return result;
}

int RunAndWait(const std::wstring& command) { return RunAndWaitDetailed(command).code; }

}  // namespace tarvo::uninstall
