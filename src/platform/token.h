#pragma once
// Access tokens: which token the caller runs with, and whether it carries the built-in
// Administrators group.

#include <windows.h>

#include "platform/unique_handle.h"

namespace tarvo::platform {

// The calling thread's token when it impersonates, the process token otherwise (opened for
// TOKEN_QUERY). Null when neither opens.
[[nodiscard]] unique_handle OpenCallerToken() noexcept;

// True when the token's groups hold BUILTIN\Administrators (S-1-5-32-544) as a group that
// grants access. A deny-only entry (a filtered or restricted token) does not count: such a
// token cannot use the group's rights. False when the groups cannot be read.
[[nodiscard]] bool TokenListsAdministrators(HANDLE token) noexcept;

}  // namespace tarvo::platform
