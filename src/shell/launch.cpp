#include "shell/launch.h"

#include "inventory/command_analysis.h"
#include "platform/shell.h"
#include "settings/web_address.h"
#include "shell/test_seam.h"

namespace tarvo::shell {

bool LaunchFile(const std::wstring& file, const std::wstring& parameters) {
    if (test_seam::LogEnabled()) {
        test_seam::Log(L"launch: " + file + L" | " + parameters);
        return true;
    }
    return platform::ShellOpen(file, parameters);
}

bool LaunchAddress(const std::wstring& address) {
    if (test_seam::LogEnabled()) {
        test_seam::Log(L"address: " + address);
        return true;
    }
    return settings::OpenWebAddress(address);
}

bool LaunchCommand(const std::wstring& command) {
    if (test_seam::LogEnabled()) {
        test_seam::Log(L"command: " + command);
        return true;
    }
    return inventory::RunShellCommand(command);
}

}  // namespace tarvo::shell
