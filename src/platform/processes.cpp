#include "platform/processes.h"

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <thread>
#include <vector>

#include "platform/library.h"
#include "platform/unique_handle.h"

namespace tarvo::platform {

std::optional<StartedProcess> CreateProcessOf(const std::wstring& commandLine, DWORD creationFlags,
                                              const std::wstring& currentFolder, WORD showWindow) noexcept {
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                          currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info))
        return std::nullopt;
    StartedProcess started;
    started.process.reset(info.hProcess);
    started.thread.reset(info.hThread);
    started.processId = info.dwProcessId;
    return started;
}

std::optional<DWORD> WaitForExitCode(HANDLE process, DWORD milliseconds) noexcept {
    if (::WaitForSingleObject(process, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    if (!::GetExitCodeProcess(process, &code)) return std::nullopt;
    return code;
}

namespace {

struct Pipe {
    unique_handle read;
    unique_handle write;  // inherited by the child
};

bool MakePipe(Pipe& pipe) noexcept {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    pipe.read.reset(readEnd);
    pipe.write.reset(writeEnd);
    // Only the child's end may be inherited, or the child would hold our end open too.
    return ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0) != FALSE;
}

void ReadAll(HANDLE handle, std::string& out) noexcept {
    char buffer[4096];
    DWORD read = 0;
    try {
        while (::ReadFile(handle, buffer, sizeof buffer, &read, nullptr) && read > 0) out.append(buffer, read);
    } catch (...) {
        // Out of memory: what was read so far stands.
    }
}

}  // namespace

std::optional<CapturedRun> RunCaptured(const std::wstring& commandLine, DWORD timeoutMilliseconds) noexcept {
    try {
        Pipe output, error;
        if (!MakePipe(output) || !MakePipe(error)) return std::nullopt;

        std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
        writable.push_back(L'\0');
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = output.write.get();
        startup.hStdError = error.write.get();
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                              nullptr, &startup, &info))
            return std::nullopt;
        unique_handle process(info.hProcess), thread(info.hThread);
        // Our copies of the write ends must go, or the reads never see the end of the pipe.
        output.write.reset();
        error.write.reset();

        CapturedRun run;
        std::thread errorReader([&] { ReadAll(error.read.get(), run.error); });
        std::thread outputReader([&] { ReadAll(output.read.get(), run.output); });
        const bool ended = ::WaitForSingleObject(process.get(), timeoutMilliseconds) == WAIT_OBJECT_0;
        if (!ended) ::TerminateProcess(process.get(), 1);
        outputReader.join();
        errorReader.join();
        if (!ended || !::GetExitCodeProcess(process.get(), &run.exitCode)) return std::nullopt;
        return run;
    } catch (...) {
        return std::nullopt;
    }
}

namespace {
template <typename Fn>
Fn Kernel32Function(const char* name) noexcept {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name)));
}
}  // namespace

unique_handle OpenProcessOf(DWORD processId, DWORD access) noexcept {
    return unique_handle(::OpenProcess(access, FALSE, processId));
}

std::optional<bool> IsProcessWow64(HANDLE process) noexcept {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process = Kernel32Function<IsWow64ProcessFn>("IsWow64Process");
    BOOL wow64 = FALSE;
    if (!isWow64Process || !isWow64Process(process, &wow64)) return std::nullopt;
    return wow64 != FALSE;
}

bool TerminateProcessOf(HANDLE process, UINT exitCode) noexcept {
    return ::TerminateProcess(process, exitCode) != FALSE;
}

unique_handle ShellExecuteProcess(const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
                                  int show, DWORD& error) noexcept {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = verb.c_str();
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = show;
    if (!::ShellExecuteExW(&info)) {
        error = ::GetLastError();
        return {};
    }
    return unique_handle(info.hProcess);
}

void WaitForInputIdleOf(HANDLE process, DWORD milliseconds) noexcept {
    if (process) ::WaitForInputIdle(process, milliseconds);
}

FsRedirectionOff::FsRedirectionOff(bool active) noexcept {
    if (!active) return;
    using EnableFn = BOOLEAN(WINAPI*)(BOOLEAN);
    if (const auto enable = Kernel32Function<EnableFn>("Wow64EnableWow64FsRedirection"))
        switched_ = enable(FALSE) != FALSE;
}

FsRedirectionOff::~FsRedirectionOff() {
    using EnableFn = BOOLEAN(WINAPI*)(BOOLEAN);
    if (switched_)
        if (const auto enable = Kernel32Function<EnableFn>("Wow64EnableWow64FsRedirection")) enable(TRUE);
}

std::optional<std::size_t> PrivateBytesOfThisProcess() noexcept {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters))
        return std::nullopt;
    // Some systems leave PrivateUsage at 0; the page-file charge is the same commit figure.
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

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

std::wstring ProcessImagePath(HANDLE process) {
    using QueryFullName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    std::wstring path(MAX_PATH * 4, L'\0');
    // QueryFullProcessImageNameW exists from Vista on; XP has only the module path.
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto query = kernel ? GetProcAddressOf<QueryFullName>(kernel, "QueryFullProcessImageNameW") : nullptr;
    DWORD size = static_cast<DWORD>(path.size());
    if (query && query(process, 0, path.data(), &size)) {
        path.resize(size);
        return path;
    }
    const DWORD length = ::GetModuleFileNameExW(process, nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

std::wstring ImageNameIn(const std::vector<ProcessEntry>& snapshot, DWORD processId) {
    for (const ProcessEntry& entry : snapshot)
        if (entry.id == processId) return entry.exeName;
    return {};
}

std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    if (!list) return arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(list[i]);
    ::LocalFree(list);
    return arguments;
}

}  // namespace tarvo::platform
