#pragma once
// Named synchronisation objects shared between processes.

#include <string>

#include "platform/unique_handle.h"

namespace tarvo::platform {

struct NamedMutex {
    unique_handle handle;         // null when the mutex could not be created or opened
    bool alreadyExisted = false;  // another process created it first (ERROR_ALREADY_EXISTS)
};

[[nodiscard]] NamedMutex CreateNamedMutex(const std::wstring& name, bool initialOwner) noexcept;

}  // namespace tarvo::platform
