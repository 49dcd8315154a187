#include "shell/program_state.h"

#include "platform/files.h"
#include "setup/install_check.h"
#include "setup/startup_folders.h"
#include "shell/test_seam.h"

namespace tarvo::shell {

void LoadProgramFolderLibraries(TProgramState& state) {
    state.installLocation = setup::ReadInstalledCopy().installLocation;
    state.programFolder = setup::ProgramFolderFromInstallLocation(state.installLocation);
    test_seam::Log(L"program-folder: " + state.programFolder);
    if (state.programFolder.empty()) return;

    const std::wstring sqlitePath = state.programFolder + L"sqlite3.dll";
    if (platform::FileExists(sqlitePath) && state.sqlite.Load(sqlitePath)) {
        const std::string version = state.sqlite.libversion();
        test_seam::Log(L"sqlite: " + std::wstring(version.begin(), version.end()));
    }
    if (state.statistics.Load(state.programFolder + TStatisticsLibrary::kFileName))
        state.statistics.SetStatParam(setup::OwnFileVersionText());
}

}  // namespace tarvo::shell
