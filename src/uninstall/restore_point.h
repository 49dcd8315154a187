#pragma once
// A System Restore point of the kind "application uninstall", asked for on a worker thread
// while the user-interface thread keeps pumping its messages.

#include <windows.h>
#include <srrestoreptapi.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/registry.h"
#include "platform/unique_handle.h"

namespace tarvo::uninstall {

inline constexpr wchar_t kSystemRestoreKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore";
inline constexpr wchar_t kRestoreFrequencyValue[] = L"SystemRestorePointCreationFrequency";

// Windows 8 and later refuse a second restore point within a day unless this value says
// otherwise; we set it to 0 minutes. Never creates the key: without System Restore there is
// nothing to prepare. Uses the 64-bit view on 64-bit Windows, where System Restore reads it.
void PrepareRestoreFrequency();
// The same against any key, for tests. True when the value was written.
bool PrepareRestoreFrequencyAt(HKEY root, const std::wstring& keyPath, platform::RegistryView view);

// The request record: begin of a system change, application uninstall, our description.
[[nodiscard]] RESTOREPOINTINFOW MakeRestorePointRequest() noexcept;

// The system folder's SrClient.dll. A full path, so a stray SrClient.dll beside our exe or
// in the current folder is never loaded into an elevated process.
[[nodiscard]] std::wstring DefaultSrClientPath();

// Makes the one request on a thread of its own. Created idle; Start runs it; the destructor
// waits for the thread.
class TCreateRestorePointThread {
public:
    explicit TCreateRestorePointThread(std::wstring libraryPath);
    ~TCreateRestorePointThread();
    TCreateRestorePointThread(const TCreateRestorePointThread&) = delete;
    TCreateRestorePointThread& operator=(const TCreateRestorePointThread&) = delete;

    void Start();
    [[nodiscard]] bool done() const noexcept { return done_.load(std::memory_order_acquire); }
    // True when the system answered the request with success.
    [[nodiscard]] bool succeeded() const noexcept { return succeeded_.load(std::memory_order_acquire); }
    // Signalled together with `done`, so the waiter need not poll.
    [[nodiscard]] HANDLE doneEvent() const noexcept { return doneEvent_.get(); }

private:
    void Execute() noexcept;
    void Finish() noexcept;

    std::wstring libraryPath_;
    std::atomic<bool> done_{false};
    std::atomic<bool> succeeded_{false};
    platform::unique_handle doneEvent_;
    std::thread thread_;
};

// Runs the request and returns when it has ended, pumping this thread's messages meanwhile.
// Returns whether a restore point was made; the uninstall goes on either way.
bool CreateRestorePointAndWait(const std::wstring& libraryPath = DefaultSrClientPath());

}  // namespace tarvo::uninstall
