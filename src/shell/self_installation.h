#pragma once

#include <string>

namespace tarvo::shell {

// Installs or updates the installed copy into the target folder. Runs on a worker thread;
// returning is its report of completion, on success and on error alike.
void RunSelfInstallationJob(const std::wstring& targetFolder);

// The installation step of a start: when the installed copy is missing or older, run the
// job into the target folder (the default one when empty) and wait for it while pumping.
// True when an installation ran.
bool InstallWhenNeeded(const std::wstring& targetFolder);

}  // namespace tarvo::shell
