#include "platform/process_capture.h"

#include <thread>
#include <vector>

#include "platform/unique_handle.h"

namespace tarvo::platform {

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

}  // namespace tarvo::platform
