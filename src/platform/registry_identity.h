#pragma once
// Which key a path really names. On 64-bit Windows the same path opens one key in both views
// where the key is shared, and two different keys where the 32-bit view is redirected; only
// the key's own kernel name tells which.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/registry.h"

namespace tarvo::platform {

// The key's kernel name ("\REGISTRY\MACHINE\SOFTWARE\Wow6432Node\…"), upper case; nothing
// when the key does not open or the system will not say (NtQueryKey, KeyNameInformation).
[[nodiscard]] std::optional<std::wstring> RegistryKernelName(HKEY root, const std::wstring& path,
                                                             RegistryView view) noexcept;

}  // namespace tarvo::platform
