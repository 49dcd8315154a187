#include "platform/privileges.h"

#include <windows.h>

#include "platform/unique_handle.h"

namespace tarvo::platform {

bool AdjustProcessPrivilege(const std::wstring& name, bool enable) noexcept {
    unique_handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    if (!::LookupPrivilegeValueW(nullptr, name.c_str(), &privileges.Privileges[0].Luid)) return false;
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    ::SetLastError(ERROR_SUCCESS);
    if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr))
        return false;
    return ::GetLastError() == ERROR_SUCCESS;
}

}  // namespace tarvo::platform
