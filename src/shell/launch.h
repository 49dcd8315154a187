#pragma once
// Starting what the main window's commands start: a program or document through the shell,
// a web address (with the Internet Explorer fallback), a stored command. While the test log
// is on (shell/test_seam.h) each start is written there as one line instead of happening, so
// a test sees what a command would start without starting it.

#include <string>

namespace tarvo::shell {

// "launch: FILE | PARAMETERS" under test; otherwise ShellExecute "open", true on success.
bool LaunchFile(const std::wstring& file, const std::wstring& parameters = {});
// "address: ADDRESS" under test; otherwise the shell, then IExplore.EXE.
bool LaunchAddress(const std::wstring& address);
// "command: COMMAND" under test; otherwise the command analysis' RunShellCommand.
bool LaunchCommand(const std::wstring& command);

}  // namespace tarvo::shell
