#include "platform/security.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/unique_handle.h"

namespace tarvo::platform {

namespace {
struct SidFree {
    void operator()(void* sid) const noexcept { ::FreeSid(sid); }
};
using unique_sid = std::unique_ptr<void, SidFree>;

unique_sid AdministratorsSid() noexcept {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID sid = nullptr;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                    0, 0, 0, 0, 0, 0, &sid))
        return {};
    return unique_sid(sid);
}
}  // namespace

unique_handle OpenCallerToken() noexcept {
    unique_handle token;
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.put())) return token;
    if (::GetLastError() != ERROR_NO_TOKEN) return {};
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return token;
    return {};
}

bool TokenListsAdministrators(HANDLE token) noexcept {
    if (!token) return false;
    // Sized by asking: a member of many domain groups needs more than a fixed kilobyte.
    DWORD needed = 0;
    ::GetTokenInformation(token, TokenGroups, nullptr, 0, &needed);
    if (needed == 0) return false;
    std::vector<std::uint64_t> buffer((needed + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    if (!::GetTokenInformation(token, TokenGroups, buffer.data(),
                               static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t)), &needed))
        return false;
    const unique_sid administrators = AdministratorsSid();
    if (!administrators) return false;
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        const SID_AND_ATTRIBUTES& group = groups->Groups[i];
        if (group.Attributes & SE_GROUP_USE_FOR_DENY_ONLY) continue;
        if (::EqualSid(group.Sid, administrators.get())) return true;
    }
    return false;
}

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
