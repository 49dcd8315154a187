#include "shell/self_installation.h"

#include "shell/install_check.h"
#include "shell/job_wait.h"
#include "shell/startup_folders.h"
#include "shell/test_seam.h"

namespace tarvo::shell {

void RunSelfInstallationJob(const std::wstring& targetFolder) {
    test_seam::Log(L"self-installation: " + targetFolder);
}

bool InstallWhenNeeded(const std::wstring& targetFolder) {
    if (!InstallationNeeded(ReadInstalledCopy(), RunningExecutablePath(), OwnFileVersionText())) return false;
    const std::wstring target = targetFolder.empty() ? DefaultInstallTargetFolder() : targetFolder;
    RunJobWhilePumping([&target] { RunSelfInstallationJob(target); });
    return true;
}

}  // namespace tarvo::shell
