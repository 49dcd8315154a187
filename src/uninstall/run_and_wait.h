#pragma once
// Running one uninstall command and waiting until it and every process it started have
// ended. The command runs inside a job; the job's process list is polled while this thread
// keeps pumping its window messages, so the dialog stays painted and clickable.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::uninstall {

// Processes that do not keep a wait alive: an uninstaller that opens the vendor's page at
// its end leaves a browser in the job that may run for hours.
inline constexpr const wchar_t* kLingeringProcesses[] = {
    L"iexplore.exe", L"firefox.exe", L"chrome.exe", L"opera.exe", L"safari.exe", L"explorer.exe", L"wmpnscfg.exe",
};
// Case-insensitive membership in kLingeringProcesses.
[[nodiscard]] bool IsLingeringProcess(std::wstring_view imageName);

// More failed job queries than this end a wait (they need not be consecutive).
inline constexpr unsigned kMaxJobQueryFailures = 10;

enum class WaitEnd {
    NotStarted,     // the process could not be created
    JobEmpty,       // no process left in the job
    OnlyLingering,  // only browsers, Explorer or the media-sharing service left
    QueryFailures,  // the job could not be asked often enough
    ProcessEnded,   // the job could not take the process; its own end ended the wait
};

struct RunResult {
    int code = -1;  // 0 when the command started and the wait has ended, -1 when it did not start
    WaitEnd end = WaitEnd::NotStarted;
    DWORD processId = 0;
    DWORD startError = 0;
    std::vector<DWORD> lingeringIds;  // what was still running in the job at the end
    unsigned polls = 0;
};

struct RunOptions {
    DWORD startDelay = 1000;  // the pause before the start, in 100 ms pumped steps
    DWORD pollInterval = 50;
    // Dispatches this thread's waiting messages; the default is the real pump.
    std::function<void()> pump;
};

[[nodiscard]] RunResult RunAndWaitDetailed(const std::wstring& command, const RunOptions& options = {});
// 0 when the command was started and the wait has ended, -1 when it could not be started.
int RunAndWait(const std::wstring& command);

// Sleeps `total` ms in steps of `step` ms, pumping after each.
void PumpedPause(DWORD total, DWORD step, const std::function<void()>& pump);

}  // namespace tarvo::uninstall
