#include "platform/process_control.h"

#include <shellapi.h>

namespace tarvo::platform {

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

}  // namespace tarvo::platform
