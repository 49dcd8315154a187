#include "platform/services.h"

#include <vector>

namespace tarvo::platform {

namespace {

unique_service_handle OpenManager() noexcept {
    return unique_service_handle(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
}

bool QueryStatus(SC_HANDLE service, SERVICE_STATUS& status) noexcept {
    return ::QueryServiceStatus(service, &status) != FALSE;
}

// Polls until the service has stopped or the time is up; a service reports how long its
// next step may take (dwWaitHint), which bounds each wait between polls.
bool WaitStopped(SC_HANDLE service, DWORD timeoutMs) noexcept {
    const DWORD start = ::GetTickCount();  // differences of tick counts survive the wrap
    SERVICE_STATUS status{};
    while (QueryStatus(service, status)) {
        if (status.dwCurrentState == SERVICE_STOPPED) return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        DWORD wait = status.dwWaitHint / 10;
        if (wait < 50) wait = 50;
        if (wait > 1000) wait = 1000;
        if (wait > timeoutMs - elapsed) wait = timeoutMs - elapsed;
        ::Sleep(wait);
    }
    return false;
}

}  // namespace

std::optional<std::wstring> ServiceBinaryPath(const std::wstring& name) noexcept {
    try {
        const unique_service_handle manager = OpenManager();
        if (!manager) return std::nullopt;
        const unique_service_handle service(::OpenServiceW(manager.get(), name.c_str(), SERVICE_QUERY_CONFIG));
        if (!service) return std::nullopt;
        DWORD needed = 0;
        ::QueryServiceConfigW(service.get(), nullptr, 0, &needed);
        if (needed == 0) return std::nullopt;
        std::vector<BYTE> buffer(needed);
        auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
        if (!::QueryServiceConfigW(service.get(), config, needed, &needed)) return std::nullopt;
        return std::wstring(config->lpBinaryPathName ? config->lpBinaryPathName : L"");
    } catch (...) {
        return std::nullopt;
    }
}

ServiceRemoval StopAndDeleteService(const std::wstring& name, DWORD stopTimeoutMs) noexcept {
    const unique_service_handle manager = OpenManager();
    if (!manager) return ServiceRemoval::Failed;
    const unique_service_handle service(
        ::OpenServiceW(manager.get(), name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (!service) {
        return ::GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST ? ServiceRemoval::NotFound : ServiceRemoval::Failed;
    }
    bool stopped = true;
    SERVICE_STATUS status{};
    if (QueryStatus(service.get(), status) && status.dwCurrentState != SERVICE_STOPPED) {
        if (status.dwCurrentState != SERVICE_STOP_PENDING) ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
        stopped = WaitStopped(service.get(), stopTimeoutMs);
    }
    if (!::DeleteService(service.get())) {
        // Already marked by an earlier removal: it goes at restart all the same.
        if (::GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE) return ServiceRemoval::DeletedAtRestart;
        return ServiceRemoval::Failed;
    }
    return stopped ? ServiceRemoval::Deleted : ServiceRemoval::DeletedAtRestart;
}

}  // namespace tarvo::platform
