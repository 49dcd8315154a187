#pragma once
// Privileges of this process's token.

#include <string>

namespace tarvo::platform {

// Sets or clears SE_PRIVILEGE_ENABLED for one privilege ("SeDebugPrivilege") of the
// process token. True only when the token really holds the privilege and the change took:
// AdjustTokenPrivileges "succeeds" with ERROR_NOT_ALL_ASSIGNED otherwise.
[[nodiscard]] bool AdjustProcessPrivilege(const std::wstring& name, bool enable) noexcept;

}  // namespace tarvo::platform
