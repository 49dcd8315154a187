#pragma once

#include <windows.h>

#include <optional>
#include <string>

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

}  // namespace tarvo::platform
