#pragma once
// The service control manager: what a service runs, and taking a service away the way the
// system expects (stopped, then deleted through the manager), not by deleting its key behind
// the manager's back, which leaves it listed and a running one running.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/unique_handle.h"

namespace tarvo::platform {

namespace traits {
struct service_handle {
    using type = SC_HANDLE;
    static SC_HANDLE invalid() noexcept { return nullptr; }
    static void close(SC_HANDLE h) noexcept { ::CloseServiceHandle(h); }
};
}  // namespace traits
using unique_service_handle = unique_any<traits::service_handle>;

enum class ServiceRemoval {
    Deleted,           // stopped (or not running) and gone from the manager's list
    DeletedAtRestart,  // marked for deletion; it did not stop and goes when the system restarts
    NotFound,          // the manager knows no such service
    Failed,            // the manager refused (rights, or no manager at all)
};

// The service's configured command line (its ImagePath as the manager reports it), or none.
[[nodiscard]] std::optional<std::wstring> ServiceBinaryPath(const std::wstring& name) noexcept;

// Asks a running service (a driver too) to stop, waits up to `stopTimeoutMs` for it, then
// deletes it through the manager. Deletion is asked for also when the stop times out: the
// manager then removes the service once its last handle closes, at the latest at restart.
[[nodiscard]] ServiceRemoval StopAndDeleteService(const std::wstring& name, DWORD stopTimeoutMs = 20000) noexcept;

}  // namespace tarvo::platform
