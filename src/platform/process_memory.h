#pragma once
// How much memory this process has committed for itself.

#include <cstddef>
#include <optional>

namespace tarvo::platform {

// PrivateUsage of GetProcessMemoryInfo, in bytes; nullopt when it cannot be read.
[[nodiscard]] std::optional<std::size_t> PrivateBytesOfThisProcess() noexcept;

}  // namespace tarvo::platform
