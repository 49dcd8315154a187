#pragma once
// Security tokens and privileges of this process.

#include <windows.h>

#include <string>

#include "platform/unique_handle.h"

namespace tarvo::platform {

// Access tokens: which token the caller runs with, and whether it carries the built-in
// Administrators group.

// The calling thread's token when it impersonates, the process token otherwise (opened for
// TOKEN_QUERY). Null when neither opens.
[[nodiscard]] unique_handle OpenCallerToken() noexcept;

// True when the token's groups hold BUILTIN\Administrators (S-1-5-32-544) as a group that
// grants access. A deny-only entry (a filtered or restricted token) does not count: such a
// token cannot use the group's rights. False when the groups cannot be read.
[[nodiscard]] bool TokenListsAdministrators(HANDLE token) noexcept;

// Privileges of this process's token.

// Sets or clears SE_PRIVILEGE_ENABLED for one privilege ("SeDebugPrivilege") of the
// process token. True only when the token really holds the privilege and the change took:
// AdjustTokenPrivileges "succeeds" with ERROR_NOT_ALL_ASSIGNED otherwise.
[[nodiscard]] bool AdjustProcessPrivilege(const std::wstring& name, bool enable) noexcept;

}  // namespace tarvo::platform
