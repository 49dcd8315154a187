#pragma once
// Processes and jobs: starting, capturing output, waiting, ending, memory, tool-help
// snapshots and the process's own command line. Never throws.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace tarvo::platform {

struct StartedProcess {
    unique_handle process;
    unique_handle thread;
    DWORD processId = 0;
};

// CreateProcessW with a writable copy of the command line sized to the command (the API
// may write into it). Nullopt when the process could not be started.
[[nodiscard]] std::optional<StartedProcess> CreateProcessOf(const std::wstring& commandLine,
                                                            DWORD creationFlags = 0,
                                                            const std::wstring& currentFolder = {},
                                                            WORD showWindow = SW_SHOWNORMAL) noexcept;

// Waits for the process; its exit code, or nullopt on timeout or failure.
[[nodiscard]] std::optional<DWORD> WaitForExitCode(HANDLE process, DWORD milliseconds = INFINITE) noexcept;

// Runs a console program with its standard output and error captured through pipes, for
// callers (tests, scripts) that read what a tool prints.

struct CapturedRun {
    DWORD exitCode = 0;
    std::string output;  // bytes as the program wrote them
    std::string error;
};

// Nullopt when the process cannot be started or does not end within the timeout (it is
// then terminated).
[[nodiscard]] std::optional<CapturedRun> RunCaptured(const std::wstring& commandLine,
                                                     DWORD timeoutMilliseconds = 60000) noexcept;

// Other processes: opening and ending them, their bitness, starting through the shell, and
// the WOW64 file-system redirection around a start.

[[nodiscard]] unique_handle OpenProcessOf(DWORD processId, DWORD access) noexcept;
// True for a 32-bit process on 64-bit Windows; nullopt when it cannot be told (no
// IsWow64Process, or the call fails).
[[nodiscard]] std::optional<bool> IsProcessWow64(HANDLE process) noexcept;
bool TerminateProcessOf(HANDLE process, UINT exitCode = 0) noexcept;

// ShellExecuteEx keeping the process handle. On failure `error` receives GetLastError.
[[nodiscard]] unique_handle ShellExecuteProcess(const std::wstring& verb, const std::wstring& file,
                                                const std::wstring& parameters, int show, DWORD& error) noexcept;
void WaitForInputIdleOf(HANDLE process, DWORD milliseconds = INFINITE) noexcept;

// Switches file-system redirection off for this thread while it lives (when asked and when
// the system has redirection at all).
class FsRedirectionOff {
public:
    explicit FsRedirectionOff(bool active) noexcept;
    ~FsRedirectionOff();
    FsRedirectionOff(const FsRedirectionOff&) = delete;
    FsRedirectionOff& operator=(const FsRedirectionOff&) = delete;

private:
    bool switched_ = false;
};

// How much memory this process has committed for itself.

// PrivateUsage of GetProcessMemoryInfo, in bytes; nullopt when it cannot be read.
[[nodiscard]] std::optional<std::size_t> PrivateBytesOfThisProcess() noexcept;

// Job objects: an unnamed job that an uninstaller and everything it starts run inside, so a
// wait can follow processes the first one started and then left behind.

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

// The system's process list through a tool-help snapshot.

struct ProcessEntry {
    DWORD id = 0;
    DWORD parentId = 0;
    std::wstring exeName;  // image file name without folder, as the snapshot gives it
};

// Every process at this moment; empty when no snapshot could be taken.
[[nodiscard]] std::vector<ProcessEntry> SnapshotProcesses() noexcept;

// The full path of a process's executable (opened with PROCESS_QUERY_INFORMATION or, from
// Vista on, PROCESS_QUERY_LIMITED_INFORMATION); empty when it cannot be read.
[[nodiscard]] std::wstring ProcessImagePath(HANDLE process);

// The image name of `processId` in `snapshot`; empty when it is not there.
[[nodiscard]] std::wstring ImageNameIn(const std::vector<ProcessEntry>& snapshot, DWORD processId);

// The process's arguments after the program name, split by the system's rules.
[[nodiscard]] std::vector<std::wstring> CommandLineArguments();

}  // namespace tarvo::platform
