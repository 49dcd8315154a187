#pragma once
// Other processes: opening and ending them, their bitness, starting through the shell, and
// the WOW64 file-system redirection around a start.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/unique_handle.h"

namespace tarvo::platform {

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

}  // namespace tarvo::platform
