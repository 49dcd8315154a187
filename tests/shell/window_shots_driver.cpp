// window_shots_driver: opens one of our dialogs on made-up content and keeps it open until it
// is closed from outside, so that a script can take its picture.
//   window_shots_driver forced-tip     the forced uninstall as it opens
//   window_shots_driver forced-list    the same after a file was dropped: two rows, one chosen
//   window_shots_driver power-scan     the leftover findings of a small folder, with the
//                                      warning band for a folder shared by several programs
//   window_shots_driver power-scan-done  the same folder removed: the final state
//   window_shots_driver power-scan-traced  a traced installation's recorded items first in
//                                      the tree (a real recording of a small made-up setup)
//   window_shots_driver about          the About window
//   window_shots_driver log-days       the log manager with three day logs, one chosen
//   window_shots_driver log-backups    its Backups view with two removals, one chosen
//   window_shots_driver restore-chrome  the browser restore for a hijacked Chrome profile
//   window_shots_driver restore-firefox the same for Firefox, with its note on compressed engines
// Everything it writes lives in one folder under the temporary folder and goes at the end.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <memory>
#include <string>

#include "inventory/software_info.h"
#include "leftovers/scan_driver.h"
#include "leftovers/removal_backup.h"
#include "shell/about_window.h"
#include "shell/forced_uninstall_window.h"
#include "shell/log_manager_window.h"
#include "shell/power_scan_window.h"
#include "shell/restore_browser_defaults_window.h"
#include "platform/registry.h"
#include "trace/trace_recorder.h"
#include "trace/traced_tree.h"
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
    window.ShowModal();
    return 0;
}

void SelectRow(HWND window, int listId, int row) {
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendDlgItemMessageW(window, listId, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

// One backup as a removal leaves it, at a fixed time.
void MakeBackup(const std::wstring& scratch, const std::wstring& program, WORD hour, int fileCount) {
    const std::wstring folder = scratch + L"\\" + program;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    SYSTEMTIME at{};
    at.wYear = 2026, at.wMonth = 12, at.wDay = 9, at.wHour = hour, at.wMinute = 14, at.wSecond = 7;
    lo::TRemovalBackup backup(scratch + L"\\Backup", at);
    backup.NoteProgram(program);
    for (int i = 0; i < fileCount; ++i) {
        const std::wstring file = folder + L"\\file" + std::to_wstring(i) + L".dat";
        WriteFile(file, "data");
        (void)backup.TakeFile(file);
    }
    backup.NoteFolder(folder);
    (void)backup.Finish();
    ::RemoveDirectoryW(folder.c_str());
}

int ShowLogManager(const std::wstring& scratch, bool backups) {
    const std::wstring logs = scratch + L"\\Log";
    ::CreateDirectoryW(logs.c_str(), nullptr);
    for (const wchar_t* day : {L"2026-11-28.log", L"2026-12-02.log", L"2026-12-09.log"})
        WriteFile(logs + L"\\" + day, "log");
    MakeBackup(scratch, L"Starward Chess", 9, 3);
    MakeBackup(scratch, L"Northwind Viewer", 16, 5);
    tarvo::shell::TfrmLogManage window(logs);
    if (!window.Create(nullptr)) return 1;
    if (backups) {
        ::SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(tarvo::shell::TfrmLogManage::kIdBackupsPage, BN_CLICKED), 0);
        SelectRow(window.hwnd(), tarvo::shell::TfrmLogManage::kIdBackupList, 0);
    } else {
        SelectRow(window.hwnd(), tarvo::shell::TfrmLogManage::kIdList, 2);
    }
    window.ShowModal();
    return 0;
}

// A user whose browser was taken over: the folders live in the scratch folder, the
// registry is never touched, and the restore is never run.
int ShowRestore(const std::wstring& scratch, tarvo::addons::BrowserKind kind) {
    namespace bd = tarvo::browserdefaults;
    bd::RestoreEnvironment env;
    env.appDataFolder = scratch + L"\\Roaming";
    env.localAppDataFolder = scratch + L"\\Local";
    env.keyPrefix = env.machineKeyPrefix = L"Software\\TarvoShotsNone\\";
    for (const wchar_t* folder : {L"\\Roaming", L"\\Local", L"\\Local\\Google", L"\\Local\\Google\\Chrome",
                                  L"\\Local\\Google\\Chrome\\User Data", L"\\Local\\Google\\Chrome\\User Data\\Default",
                                  L"\\Roaming\\Mozilla", L"\\Roaming\\Mozilla\\Firefox", L"\\Roaming\\Mozilla\\Firefox\\p"})
        ::CreateDirectoryW((scratch + folder).c_str(), nullptr);
    WriteFile(scratch + L"\\Local\\Google\\Chrome\\User Data\\Default\\Preferences",
              "{\"homepage\":\"http://www.delta-search.com/?affID=119357&babsrc=HP_ss&mntrId=3c4a5f0e2b\"}");
    WriteFile(scratch + L"\\Roaming\\Mozilla\\Firefox\\profiles.ini", "[Profile0]\r\nIsRelative=1\r\nPath=p\r\n");
    WriteFile(scratch + L"\\Roaming\\Mozilla\\Firefox\\p\\prefs.js",
              "user_pref(\"browser.startup.homepage\", \"http://search.conduit.com/?ctid=CT3289847\");\n"
              "user_pref(\"browser.search.selectedEngine\", \"Search the web (Babylon)\");\n");
    tarvo::shell::TfrmRestBrowserDefault window(kind, env, {}, [](HWND, const std::wstring&, UINT) { return IDCANCEL; });
    if (!window.Create(nullptr)) return 1;
    window.ShowModal();
    return 0;
}

HWND g_powerScan = nullptr;

void CALLBACK RemoveEverything(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    for (const int id : {tarvo::shell::TfrmPowerScan::kIdLink, tarvo::shell::TfrmPowerScan::kIdDelete})
        ::SendMessageW(g_powerScan, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

int ShowPowerScan(const std::wstring& scratch, bool removed = false) {
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
    // Nothing is removed unless asked: every question is answered "no".
    tarvo::shell::TfrmPowerScan window(tree, images,
                                       lo::DefaultRemovalActions(tarvo::uninstall::MakeLogContext(scratch)),
                                       std::move(settings), [removed](HWND, const std::wstring&) { return removed; });
    if (!window.Create(nullptr)) return 1;
    window.ShowMultiProgramWarning(!removed);
    if (removed) {
        g_powerScan = window.hwnd();
        ::SetTimer(nullptr, 0, 100, &RemoveEverything);
    }
    window.ShowModal();
    return 0;
}

}  // namespace

// A setup recorded over a scratch folder and key: a GUID folder with a cache, a settings key
// under another vendor's name, a PATH-like value it appends to.
int ShowTracedPowerScan(const std::wstring& scratch) {
    const std::wstring key = L"Software\\TarvoShotsTrace";
    (void)tarvo::platform::DeleteKeyTree(HKEY_CURRENT_USER, key, tarvo::platform::RegistryView::Default);
    HKEY made = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made, nullptr);
    const wchar_t before[] = L"C:\\Tools;C:\\Keep";
    ::RegSetValueExW(made, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(before), sizeof before);
    tarvo::trace::RecordingPlan plan;
    plan.keys = {{HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", key, true}};
    plan.drives = {scratch};
    plan.filter.AddFolder(scratch + L"\\Backup");
    ::CreateDirectoryW((scratch + L"\\Backup").c_str(), nullptr);
    plan.spillPath = scratch + L"\\Backup\\spill.tmp";
    tarvo::trace::TraceRecorder recorder(plan);
    if (!recorder.Begin()) return 1;
    const std::wstring guid = scratch + L"\\{5D2B7C9E-41A3-4F0B-9E6C-2A8D1F3B7E40}";
    ::CreateDirectoryW(guid.c_str(), nullptr);
    ::CreateDirectoryW((guid + L"\\cache").c_str(), nullptr);
    WriteFile(guid + L"\\cache\\index.bin", "index");
    WriteFile(scratch + L"\\twhelp32.dll", "MZ");
    HKEY vendor = nullptr;
    ::RegCreateKeyExW(made, L"Northwind Cartography\\Tiles", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &vendor, nullptr);
    const wchar_t cache[] = L"{5D2B7C9E-41A3-4F0B-9E6C-2A8D1F3B7E40}";
    ::RegSetValueExW(vendor, L"CacheFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(cache), sizeof cache);
    ::RegCloseKey(vendor);
    const wchar_t after[] = L"C:\\Tools;C:\\Keep;C:\\Program Files\\Trace World\\bin";
    ::RegSetValueExW(made, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(after), sizeof after);
    ::RegCloseKey(made);
    tarvo::trace::Trace trace;
    trace.items = recorder.End();
    lo::TResultTree tree;
    lo::TIconList images;
    (void)tarvo::trace::AddTracedNode(trace, L"Trace World", tree);
    lo::TPowerScanSettings settings;
    settings.backupRoot = scratch + L"\\Backup";
    tarvo::shell::TfrmPowerScan window(tree, images, lo::DefaultRemovalActions(tarvo::uninstall::MakeLogContext(scratch)),
                                       std::move(settings), [](HWND, const std::wstring&) { return false; });
    if (!window.Create(nullptr)) return 1;
    window.ShowModal();
    (void)tarvo::platform::DeleteKeyTree(HKEY_CURRENT_USER, key, tarvo::platform::RegistryView::Default);
    return 0;
}

int ShowAboutWindow() {
    tarvo::shell::TfrmAbout window(L"3.0.0.1");
    if (!window.Create(nullptr)) return 1;
    window.ShowModal();
    return 0;
}

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
    else if (mode == L"power-scan-done") result = ShowPowerScan(scratch, true);
    else if (mode == L"power-scan-traced") result = ShowTracedPowerScan(scratch);
    else if (mode == L"about") result = ShowAboutWindow();
    else if (mode == L"log-days") result = ShowLogManager(scratch, false);
    else if (mode == L"log-backups") result = ShowLogManager(scratch, true);
    else if (mode == L"restore-chrome") result = ShowRestore(scratch, tarvo::addons::BrowserKind::Chrome);
    else if (mode == L"restore-firefox") result = ShowRestore(scratch, tarvo::addons::BrowserKind::Firefox);
    RemoveFolder(scratch);
    return result;
}
