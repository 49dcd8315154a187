// uninstall_dialog_driver: opens the uninstall dialog on its own, for end-to-end runs.
//   uninstall_dialog_driver stages LOGFILE   walks every stage with a real stand-in
//                                            uninstaller; presses the buttons itself
//   uninstall_dialog_driver forced LOGFILE   opens it as the forced uninstall without an
//                                            entry does, then presses Cancel
// Every stage the dialog shows is appended to LOGFILE as "stage N" (and "notice" for the
// message), after which it holds for a moment so a screenshot can be taken from outside.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "inventory/soft_info.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "settings/main_ini.h"
#include "shell/uninstalling_window.h"
#include "uninstall/run_and_wait.h"

namespace {

using tarvo::shell::TfrmUninstalling;
namespace un = tarvo::uninstall;

std::wstring g_log;

void Log(const std::string& line) {
    if (FILE* f = _wfopen(g_log.c_str(), L"ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

void Hold(DWORD ms) { un::PumpedPause(ms, 50, [] { tarvo::platform::PumpWaitingMessages(); }); }

std::wstring Beside(const std::wstring& name) {
    std::wstring folder = tarvo::platform::GetModuleFilePath();
    folder.resize(folder.rfind(L'\\') + 1);
    return folder + name;
}

void Click(int id) {
    if (const HWND dialog = ::FindWindowW(TfrmUninstalling::kClassName, nullptr))
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

// Closes the message box of a notice once it has been seen.
void DismissNoticeLater() {
    std::thread([] {
        for (int i = 0; i < 200; ++i) {
            ::Sleep(50);
            if (const HWND box = ::FindWindowW(L"#32770", nullptr); box && ::IsWindowVisible(box)) {
                Log("notice");
                ::Sleep(2000);
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
        }
    }).detach();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring mode = argv[1];
    g_log = argv[2];
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring scratch = std::wstring(temp) + L"uninstall_dialog_driver";
    ::CreateDirectoryW(scratch.c_str(), nullptr);

    tarvo::inventory::TSoftInfo alpha, bravo;
    alpha.DisplayName = L"Northwind Photo Viewer";
    bravo.DisplayName = L"Starward Chess";
    const std::wstring fake = L"\"" + Beside(L"fake_uninstaller.exe") + L"\"";
    alpha.UninstallString = fake + L" chain \"" + scratch + L"\\a.done\" 2500";
    bravo.UninstallString = fake + L" chain \"" + scratch + L"\\b.done\" 2500";

    un::LogContext log{scratch + L"\\Log", L"3.0", L"Windows 7", {}};
    const tarvo::settings::TMainIni ini(scratch + L"\\Main.ini");
    un::TUninstallActions actions = un::DefaultUninstallActions(log, ini);
    // Wine has no System Restore: stand in with the time a request takes.
    actions.createRestorePoint = [] { Hold(2500); };
    actions.scan = [](const un::TLeftoverScanRequest&, const std::function<bool()>&) {
        Hold(2000);
        return std::function<void()>();
    };

    un::TForcedOpening forced;
    if (mode == L"forced") {
        forced.kind = un::TForcedOpening::WithoutEntry;
        forced.targetPath = [scratch] { return scratch + L"\\Gone\\gone.exe"; };
    }
    const bool stages = mode == L"stages";
    TfrmUninstalling dialog(stages ? std::vector<const tarvo::inventory::TSoftInfo*>{&alpha, &bravo}
                                   : std::vector<const tarvo::inventory::TSoftInfo*>{},
                            true, stages, std::move(actions), forced);
    dialog.SetNotice([](HWND owner, const std::wstring& text) {
        DismissNoticeLater();
        ::MessageBoxW(owner, text.c_str(), L"Tarvo Uninstaller", MB_OK | MB_ICONINFORMATION);
    });
    dialog.SetStageObserver([stages](un::TUninstallStage stage) {
        Log("stage " + std::to_string(static_cast<int>(stage)));
        if (stage == un::usFinished) {
            Hold(2000);
            Click(TfrmUninstalling::kIdPowerfulScan);
        } else if (stage == un::usFilesDeleted) {
            Hold(2000);
            Click(TfrmUninstalling::kIdCancel);
        } else if (stage == un::usScanning) {
            Hold(500);
        }
        (void)stages;
    });
    if (!dialog.Create(nullptr)) return 1;
    if (stages) {
        // The asking stage is the dialog as created: shown, held, then Uninstall pressed.
        std::thread([] {
            for (int i = 0; i < 200 && !::FindWindowW(TfrmUninstalling::kClassName, nullptr); ++i) ::Sleep(50);
            ::Sleep(300);
            Log("stage 0");
            ::Sleep(2000);
            Click(TfrmUninstalling::kIdUninstall);
        }).detach();
    }
    dialog.ShowModal();
    Log(dialog.Session().workDone() ? "end work-done" : "end");
    return 0;
}
