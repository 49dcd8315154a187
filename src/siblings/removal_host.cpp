// RemovalHost.exe: our own uninstaller, named by our uninstall entry ("uninstall_start"), so
// Tarvo Uninstaller is removed like any other program. It takes away the installed files,
// shortcuts, registration and shell extensions; the user's data folder stays. The program
// also starts it with its hand-off words, which need nothing here.
//
// A program cannot delete its own running file, so when started from the folder it removes
// it hands the work to a copy of itself in the temporary folder, which waits for the
// original to end first and is itself removed at the next restart.

#include <windows.h>

#include <string>
#include <vector>

#include "common/paths.h"
#include "common/text.h"
#include "platform/dll_search.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "setup/install_check.h"
#include "setup/install_files.h"
#include "setup/self_installation.h"
#include "setup/startup_folders.h"
#include "setup/test_log.h"

namespace {
using namespace tarvo;

constexpr const wchar_t* kUninstallWord = L"uninstall_start";

int Uninstall(const std::vector<std::wstring>& arguments) {
    const std::wstring self = setup::RunningExecutablePath();
    const std::wstring installed = common::FolderPart(setup::ReadInstalledCopy().installLocation);
    if (!installed.empty() && common::EqualsIgnoreCase(common::FolderPart(self), installed)) {
        const std::wstring temp = common::WithTrailingBackslash(platform::GetTempFolder());
        const std::wstring copy = temp + setup::FreeFileName(temp, L"RemovalHost", L".exe") + L".exe";
        if (platform::CopyFileOf(self, copy)) {
            const auto started = platform::CreateProcessOf(
                L"\"" + copy + L"\" " + kUninstallWord + L" " + std::to_wstring(::GetCurrentProcessId()));
            if (started) return 0;
            (void)platform::DeleteFileOf(copy);
        }
        // No copy: remove what can go while this file stays in use.
    }
    if (arguments.size() > 1) {
        const DWORD parent = static_cast<DWORD>(std::wcstoul(arguments[1].c_str(), nullptr, 10));
        const platform::unique_handle original = platform::OpenProcessOf(parent, SYNCHRONIZE);
        if (original) ::WaitForSingleObject(original.get(), 30000);
    }
    setup::test_log::Log(L"removal-host: removing " + installed);
    setup::RemoveInstallation();
    if (common::FolderPart(self) != installed) (void)platform::DeleteFileAtRestart(self);
    setup::test_log::Log(L"removal-host: done");
    return 0;
}

int Run() {
    const std::vector<std::wstring> arguments = platform::CommandLineArguments();
    if (!arguments.empty() && common::EqualsIgnoreCase(common::Trim(arguments[0]), kUninstallWord))
        return Uninstall(arguments);
    return 0;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    (void)platform::RestrictLibrarySearch();
    try {
        return Run();
    } catch (...) {
        return 1;
    }
}
