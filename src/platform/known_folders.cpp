#include "platform/known_folders.h"

#include <windows.h>
#include <objbase.h>

namespace tarvo::platform {

namespace {
using GetKnownFolderPathFn = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);

GetKnownFolderPathFn LookUpFunction() noexcept {
    const HMODULE shell32 = ::GetModuleHandleW(L"shell32.dll");
    if (!shell32) return nullptr;
    return reinterpret_cast<GetKnownFolderPathFn>(
        reinterpret_cast<void*>(::GetProcAddress(shell32, "SHGetKnownFolderPath")));
}
}  // namespace

KnownFolderResult GetKnownFolderPathOf(const std::wstring& braced, std::wstring& path) noexcept {
    const GetKnownFolderPathFn function = LookUpFunction();
    if (!function) return KnownFolderResult::Unavailable;
    GUID id{};
    if (FAILED(::CLSIDFromString(braced.c_str(), &id))) return KnownFolderResult::Failed;
    PWSTR folder = nullptr;
    const HRESULT hr = function(id, 0, nullptr, &folder);
    KnownFolderResult result = KnownFolderResult::Failed;
    if (SUCCEEDED(hr) && folder) {
        try {
            path = folder;
            result = KnownFolderResult::Found;
        } catch (...) {
        }
    }
    ::CoTaskMemFree(folder);
    return result;
}

}  // namespace tarvo::platform
