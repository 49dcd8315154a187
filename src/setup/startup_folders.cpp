#include "setup/startup_folders.h"

#include "platform/files.h"
#include "platform/folders.h"
#include "settings/app_frame.h"
#include "settings/system_info.h"

namespace tarvo::setup {

namespace {
constexpr int kProgramFilesFolderIndex = 15;
constexpr int kFileVersionText = 3;
}  // namespace

std::wstring ProgramFolderFromInstallLocation(const std::wstring& installLocation) {
    if (installLocation.empty() || !platform::FileExists(installLocation)) return {};
    const std::size_t slash = installLocation.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? std::wstring() : installLocation.substr(0, slash + 1);
}

std::wstring RunningExecutablePath() { return platform::GetModuleFilePath(); }

std::wstring OwnFileVersionText() { return settings::VersionText(RunningExecutablePath(), kFileVersionText); }

std::wstring DefaultInstallTargetFolder() {
    return settings::TAppFrame().FolderPath(kProgramFilesFolderIndex) + L"\\Tarvo\\Tarvo Uninstaller";
}

}  // namespace tarvo::setup
