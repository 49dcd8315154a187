#include "platform/process.h"

#include <vector>

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

}  // namespace tarvo::platform
