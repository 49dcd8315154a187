#include "platform/command_line.h"

#include <windows.h>
#include <shellapi.h>

namespace tarvo::platform {

std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    if (!list) return arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(list[i]);
    ::LocalFree(list);
    return arguments;
}

}  // namespace tarvo::platform
