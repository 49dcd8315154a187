#include "uninstall/restore_point.h"

#include <cwchar>

#include "platform/folders.h"
#include "platform/library.h"
#include "platform/messages.h"
#include "settings/system_info.h"

namespace tarvo::uninstall {

namespace {
constexpr wchar_t kDescription[] = L"Tarvo Uninstaller restore point";
// The worker waits this long before asking, and the waiter looks at least this often.
constexpr DWORD kStepMilliseconds = 100;
}  // namespace

void PrepareRestoreFrequency() {
    (void)PrepareRestoreFrequencyAt(HKEY_LOCAL_MACHINE, kSystemRestoreKey, platform::ViewOf(settings::IsWow64()));
}

bool PrepareRestoreFrequencyAt(HKEY root, const std::wstring& keyPath, platform::RegistryView view) {
    platform::RegistryKey key;
    if (key.Open(root, keyPath, KEY_SET_VALUE, view) != ERROR_SUCCESS) return false;
    return key.SetDword(kRestoreFrequencyValue, 0) == ERROR_SUCCESS;
}

RESTOREPOINTINFOW MakeRestorePointRequest() noexcept {
    RESTOREPOINTINFOW request{};
    request.dwEventType = BEGIN_SYSTEM_CHANGE;
    request.dwRestorePtType = APPLICATION_UNINSTALL;
    request.llSequenceNumber = 0;
    std::wcsncpy(request.szDescription, kDescription, MAX_DESC_W - 1);
    return request;
}

std::wstring DefaultSrClientPath() { return platform::GetSystemFolder() + L"\\SrClient.dll"; }

TCreateRestorePointThread::TCreateRestorePointThread(std::wstring libraryPath)
    : libraryPath_(std::move(libraryPath)), doneEvent_(platform::CreateManualResetEvent()) {}

TCreateRestorePointThread::~TCreateRestorePointThread() {
    if (thread_.joinable()) thread_.join();
}

void TCreateRestorePointThread::Start() {
    if (thread_.joinable() || done()) return;
    try {
        thread_ = std::thread([this] { Execute(); });
    } catch (...) {
        Finish();  // no thread, no restore point; the uninstall still goes on
    }
}

void TCreateRestorePointThread::Execute() noexcept {
    try {
        ::Sleep(kStepMilliseconds);
        using SetRestorePointFn = BOOL(WINAPI*)(PRESTOREPOINTINFOW, PSTATEMGRSTATUS);
        const auto library = platform::LoadLibraryOf(libraryPath_);
        if (const auto setRestorePoint = platform::GetProcAddressOf<SetRestorePointFn>(library.get(),
                                                                                       "SRSetRestorePointW")) {
            RESTOREPOINTINFOW request = MakeRestorePointRequest();
            STATEMGRSTATUS status{};
            // Only the begin record: System Restore closes the point itself when no end follows.
            succeeded_.store(setRestorePoint(&request, &status) != FALSE, std::memory_order_release);
        }
    } catch (...) {
    }
    Finish();
}

void TCreateRestorePointThread::Finish() noexcept {
    done_.store(true, std::memory_order_release);
    if (doneEvent_) platform::SignalEvent(doneEvent_.get());
}

bool CreateRestorePointAndWait(const std::wstring& libraryPath) {
    TCreateRestorePointThread worker(libraryPath);
    worker.Start();
    while (!worker.done()) {
        platform::PumpWaitingMessages();
        if (worker.doneEvent())
            (void)platform::WaitForHandleOrMessage(worker.doneEvent(), kStepMilliseconds);
        else
            ::Sleep(kStepMilliseconds);
    }
    return worker.succeeded();
}

}  // namespace tarvo::uninstall
