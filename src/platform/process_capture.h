#pragma once
// Runs a console program with its standard output and error captured through pipes, for
// callers (tests, scripts) that read what a tool prints.

#include <windows.h>

#include <optional>
#include <string>

namespace tarvo::platform {

struct CapturedRun {
    DWORD exitCode = 0;
    std::string output;  // bytes as the program wrote them
    std::string error;
};

// Nullopt when the process cannot be started or does not end within the timeout (it is
// then terminated).
[[nodiscard]] std::optional<CapturedRun> RunCaptured(const std::wstring& commandLine,
                                                     DWORD timeoutMilliseconds = 60000) noexcept;

}  // namespace tarvo::platform
