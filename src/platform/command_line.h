#pragma once

#include <string>
#include <vector>

namespace tarvo::platform {

// The process's arguments after the program name, split by the system's rules.
[[nodiscard]] std::vector<std::wstring> CommandLineArguments();

}  // namespace tarvo::platform
