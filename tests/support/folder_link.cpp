#include "support/folder_link.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

#include "platform/files.h"

namespace tarvo::test {

namespace {

std::string UnixPath(const std::wstring& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    if (!name) return {};
    std::string result = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

bool RunUnix(const std::string& command) {
    std::wstring wide(command.begin(), command.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

}  // namespace

DWORD ListedAttributes(const std::wstring& path) {
    WIN32_FIND_DATAW data{};
    const HANDLE find = ::FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return INVALID_FILE_ATTRIBUTES;
    ::FindClose(find);
    return data.dwFileAttributes;
}

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
    if (::CreateDirectoryW(link.c_str(), nullptr)) {
        const std::wstring substitute = L"\\??\\" + target;
        const auto subBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
        const auto printBytes = static_cast<WORD>(target.size() * sizeof(wchar_t));
        const WORD dataLength = static_cast<WORD>(8 + subBytes + 2 + printBytes + 2);
        std::vector<BYTE> buffer(8 + dataLength, 0);
        const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
        const WORD header[6] = {dataLength, 0, 0, subBytes, static_cast<WORD>(subBytes + 2), printBytes};
        std::memcpy(buffer.data(), &tag, 4);
        std::memcpy(buffer.data() + 4, header, sizeof header);
        std::memcpy(buffer.data() + 16, substitute.c_str(), subBytes);
        std::memcpy(buffer.data() + 16 + subBytes + 2, target.c_str(), printBytes);
        const HANDLE handle = ::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            DWORD returned = 0;
            const BOOL ok = ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                              static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
            ::CloseHandle(handle);
            if (ok && platform::IsReparsePoint(ListedAttributes(link))) return true;
        }
        ::RemoveDirectoryW(link.c_str());
    }
    const std::wstring parent = link.substr(0, link.rfind(L'\\'));
    const std::string from = UnixPath(target), at = UnixPath(parent);
    const std::wstring leaf = link.substr(parent.size() + 1);
    if (from.empty() || at.empty() ||
        !RunUnix("/bin/ln -s \"" + from + "\" \"" + at + "/" + std::string(leaf.begin(), leaf.end()) + "\""))
        return false;
    // Wine's handle to a Unix process may signal before the program has run.
    for (int i = 0; i < 200; ++i, ::Sleep(10))
        if (platform::IsReparsePoint(ListedAttributes(link))) return true;
    return false;
}

void RemoveFolderLink(const std::wstring& link) {
    if (::RemoveDirectoryW(link.c_str())) return;
    const std::string path = UnixPath(link);
    if (!path.empty()) (void)RunUnix("/bin/rm -f \"" + path + "\"");
    for (int i = 0; i < 200 && ListedAttributes(link) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(10);
}

}  // namespace tarvo::test
