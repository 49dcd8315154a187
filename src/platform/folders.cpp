#include "platform/folders.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace tarvo::platform {

namespace {
std::wstring WithoutTrailingBackslash(std::wstring path) {
    if (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}
}  // namespace

std::wstring GetSpecialFolderPath(int csidl, bool create) noexcept {
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl, create ? TRUE : FALSE)) return {};
    return buffer;
}

std::wstring GetWindowsFolder() noexcept {
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

std::wstring GetSystemFolder() noexcept {
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

std::wstring GetTempFolder() noexcept {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    return length && length <= MAX_PATH ? WithoutTrailingBackslash(std::wstring(buffer, length))
                                        : std::wstring();
}

std::wstring GetModuleFilePath(void* module) noexcept {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(static_cast<HMODULE>(module), buffer.data(),
                                                  static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring GetEnvironmentString(const wchar_t* name) noexcept {
    const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

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
