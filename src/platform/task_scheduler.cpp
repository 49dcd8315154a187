#include "platform/task_scheduler.h"

#include <windows.h>
#include <oleauto.h>
#include <taskschd.h>

#include "platform/com_ptr.h"

namespace tarvo::platform {

namespace {

// Spelled out here: MinGW declares them only for programs that link its import library.
constexpr CLSID kTaskScheduler = {0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr IID kTaskService = {0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

class Bstr {
public:
    explicit Bstr(const std::wstring& text) noexcept
        : b_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { ::SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    [[nodiscard]] BSTR get() const noexcept { return b_; }

private:
    BSTR b_;
};

bool IsNotFound(HRESULT hr) noexcept {
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

}  // namespace

TaskDeletion DeleteScheduledTask(const std::wstring& taskPath) noexcept {
    try {
        std::wstring path = taskPath;
        if (path.empty() || path.front() != L'\\') path.insert(0, 1, L'\\');
        const auto cut = path.find_last_of(L'\\');
        const std::wstring folderPath = cut == 0 ? L"\\" : path.substr(0, cut);
        const std::wstring name = path.substr(cut + 1);
        if (name.empty()) return TaskDeletion::NotFound;

        ComPtr<ITaskService> service;
        if (FAILED(::CoCreateInstance(kTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, kTaskService, service.put())))
            return TaskDeletion::Unavailable;
        VARIANT empty;
        ::VariantInit(&empty);
        if (FAILED(service->Connect(empty, empty, empty, empty))) return TaskDeletion::Unavailable;
        ComPtr<ITaskFolder> folder;
        const Bstr folderName(folderPath);
        HRESULT hr = service->GetFolder(folderName.get(), reinterpret_cast<ITaskFolder**>(folder.put()));
        if (FAILED(hr)) return IsNotFound(hr) ? TaskDeletion::NotFound : TaskDeletion::Failed;
        const Bstr taskName(name);
        hr = folder->DeleteTask(taskName.get(), 0);
        if (SUCCEEDED(hr)) return TaskDeletion::Deleted;
        return IsNotFound(hr) ? TaskDeletion::NotFound : TaskDeletion::Failed;
    } catch (...) {
        return TaskDeletion::Failed;
    }
}

}  // namespace tarvo::platform
