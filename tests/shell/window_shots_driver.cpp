// window_shots_driver: opens one of our dialogs on made-up content and keeps it open until it
// is closed from outside, so that a script can take its picture.
//   window_shots_driver forced-tip     the forced uninstall as it opens
//   window_shots_driver forced-list    the same after a file was dropped: two rows, one chosen
//   window_shots_driver power-scan     the leftover findings of a small folder, with the
//                                      warning band for a folder shared by several programs
// Everything it writes lives in one folder under the temporary folder and goes at the end.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <memory>
#include <string>

#include "inventory/software_info.h"
#include "leftovers/scan_driver.h"
#include "shell/forced_uninstall_window.h"
#include "shell/power_scan_window.h"
#include "uninstall/operation_log.h"

namespace {

namespace lo = tarvo::leftovers;
using tarvo::inventory::TSoftInfo;
using tarvo::inventory::TSoftList;
using tarvo::inventory::TSoftwareInfo;

void WriteFile(const std::wstring& path, const char* content) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, content, static_cast<DWORD>(std::strlen(content)), &written, nullptr);
    ::CloseHandle(file);
}

void RemoveFolder(const std::wstring& folder) {
    std::wstring from = folder + L'\0';  // the shell wants a double-ended list
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationW(&op);
}

TSoftInfo Program(const std::wstring& name, const std::wstring& folder, bool view64, const wchar_t* size) {
    TSoftInfo e;
    e.DisplayName = name;
    e.InstallLocation = folder;
    e.View64 = view64;
    e.SizeText = size;
    e.InstallDateText = L"2026-11-30";
    return e;
}

int ShowForced(const std::wstring& scratch, bool listed) {
    const std::wstring folder = scratch + L"\\Northwind";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring exe = folder + L"\\viewer.exe";
    WriteFile(exe, "MZ");
    TSoftwareInfo::Options options;
    options.cacheFile = scratch + L"\\SoftwareCache.ini";
    options.readInventory = [folder](TSoftList& list) {
        list.push_back(std::make_unique<TSoftInfo>(Program(L"Northwind Photo Viewer", folder, false, L"12.4 MB")));
        list.push_back(std::make_unique<TSoftInfo>(Program(L"Northwind Photo Viewer", folder, true, L"14.1 MB")));
    };
    TSoftwareInfo catalogue(nullptr, options);
    tarvo::shell::TfrmForcedUninstall window(&catalogue, nullptr, {});
    if (!window.Create(nullptr)) return 1;
    if (listed) {
        (void)window.Model().Dropped(exe);
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(::GetDlgItem(window.hwnd(), tarvo::shell::TfrmForcedUninstall::kIdList), LVM_SETITEMSTATE, 0,
                       reinterpret_cast<LPARAM>(&state));
    }
    window.RunModal();
    return 0;
}

int ShowPowerScan(const std::wstring& scratch) {
    const std::wstring folder = scratch + L"\\Starward Chess";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"\\Saves").c_str(), nullptr);
    WriteFile(folder + L"\\engine.dll", "abcd");
    WriteFile(folder + L"\\openings.dat", "e4 e5");
    WriteFile(folder + L"\\Saves\\game1.pgn", "1. e4");
    lo::TResultTree tree;
    lo::TIconList images;
    lo::ScanLeftovers(nullptr, tree, folder + L"\\", images);
    lo::TPowerScanSettings settings;
    settings.backupRoot = scratch + L"\\Backup";
    // Nothing is removed here: every question is answered "no".
    tarvo::shell::TfrmPowerScan window(tree, images,
                                       lo::DefaultRemovalActions(tarvo::uninstall::MakeLogContext(scratch)),
                                       std::move(settings), [](HWND, const std::wstring&) { return false; });
    if (!window.Create(nullptr)) return 1;
    window.ShowMultiProgramWarning(true);
    window.RunModal();
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring mode = argv[1];
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring scratch = std::wstring(temp) + L"window_shots_driver";
    RemoveFolder(scratch);
    ::CreateDirectoryW(scratch.c_str(), nullptr);
    int result = 2;
    if (mode == L"forced-tip") result = ShowForced(scratch, false);
    else if (mode == L"forced-list") result = ShowForced(scratch, true);
    else if (mode == L"power-scan") result = ShowPowerScan(scratch);
    RemoveFolder(scratch);
    return result;
}
