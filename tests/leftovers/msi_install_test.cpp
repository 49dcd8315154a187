// A real Windows Installer product: installed with msiexec, its files removed behind the
// installer's back, then scanned. The installer writes the uninstall key, its product,
// feature, upgrade-code and per-user component records and the service; the scan must find
// them where the installer put them, in the view it put them in.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

#include "inventory/installer_records.h"
#include "leftovers/value_text.h"
#include "platform/registry.h"
#include "common/text.h"
#include "leftovers/rule_families.h"
#include "leftovers/scan_driver.h"
#include "leftovers/system_rule_steps.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "settings/system_info.h"
#include "support/scratch_folder.h"

using namespace tarvo::leftovers;
using tarvo::inventory::TSoftInfo;
using tarvo::platform::RegistryKey;
using tarvo::platform::RegistryView;

namespace {

// The codes of tests/leftovers/msi/leftover_probe.wxs, and their packed forms.
const std::wstring kProductCode = L"{7A1C2E3F-4B5D-4E6F-8A9B-0C1D2E3F4A5B}";
const std::wstring kPacked = L"F3E2C1A7D5B4F6E4A8B9C0D1E2F3A4B5";
const std::wstring kUpgradePacked = L"E5D4C3B207F62814394A5B6C7D8E9F10";
const std::wstring kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kProductCode;

std::optional<DWORD> Msiexec(const std::wstring& arguments) {
    auto started = tarvo::platform::CreateProcessOf(L"msiexec.exe " + arguments, 0, {}, SW_HIDE);
    if (!started) return std::nullopt;
    return tarvo::platform::WaitForExitCode(started->process.get(), 180000);
}

std::wstring ProbeFolder() {
    // An x86 package: "Program Files (x86)" for either build of the test.
    return tarvo::platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILESX86) + L"\\Tarvo Leftover Probe";
}

// Through the service manager, not the registry: it keeps its own list, and a service whose
// key another test's leftover removal deleted behind its back would still block a new service
// of that name (the installer then goes on without it) until Wine restarts.
void DeleteProbeService() {
    const SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) return;
    if (const SC_HANDLE service = ::OpenServiceW(manager, L"TarvoLeftoverProbeSvc", DELETE)) {
        (void)::DeleteService(service);
        ::CloseServiceHandle(service);
    }
    ::CloseServiceHandle(manager);
}

// Installed for the test's length; removed again with msiexec, whatever the test left.
class InstalledProbe {
public:
    InstalledProbe() {
        (void)Msiexec(L"/x " + kProductCode + L" /qn");  // an earlier run that stopped half way
        DeleteProbeService();
        const std::wstring msi = tarvo::platform::GetModuleFilePath();
        exitCode_ = Msiexec(L"/i \"" + msi.substr(0, msi.find_last_of(L'\\')) + L"\\leftover_probe.msi\" /qn");
    }
    ~InstalledProbe() {
        (void)Msiexec(L"/x " + kProductCode + L" /qn");
        // The package asks for no service removal, so uninstalling leaves the service behind.
        DeleteProbeService();
        (void)tarvo::platform::DeleteKeyTree(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\TarvoLeftoverProbeSvc",
                                             RegistryView::Default);
        tarvo::test::RemoveTree(ProbeFolder());
    }
    [[nodiscard]] std::optional<DWORD> exitCode() const { return exitCode_; }

private:
    std::optional<DWORD> exitCode_;
};

// The installer's folder list, which Windows keeps and Wine's installer does not.
class FolderListFixture {
public:
    explicit FolderListFixture(std::vector<std::wstring> folders) : folders_(std::move(folders)) {
        RegistryKey key;
        EXPECT_EQ(key.Create(HKEY_LOCAL_MACHINE, path(), KEY_READ | KEY_WRITE, RegistryView::Wow64_64Key), ERROR_SUCCESS);
        for (const auto& folder : folders_) EXPECT_EQ(key.SetString(folder, L""), ERROR_SUCCESS);
    }
    ~FolderListFixture() {
        RegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, path(), KEY_SET_VALUE, RegistryView::Wow64_64Key) != ERROR_SUCCESS) return;
        for (const auto& folder : folders_) (void)key.DeleteValue(folder);
    }
    [[nodiscard]] static std::wstring path() { return std::wstring(kInstallerDataKey) + L"\\Folders"; }

private:
    std::vector<std::wstring> folders_;
};

struct Finding {
    std::wstring text;
    bool view64;
};

std::vector<Finding> Findings(const TRegeditScanClasses& scan) {
    std::vector<Finding> found;
    for (const auto& r : scan.RegResults)
        found.push_back({tarvo::leftovers::RegistryItemText(r.RootKey, r.KeyPath, r.ValueName, r.ValueData), r.View64});
    return found;
}

const Finding* Find(const std::vector<Finding>& found, const std::wstring& text) {
    const auto it = std::find_if(found.begin(), found.end(), [&](const Finding& f) {
        return tarvo::common::EqualsIgnoreCase(f.text, text);
    });
    return it == found.end() ? nullptr : &*it;
}

}  // namespace

TEST(RealInstaller, RecordsOfAProductWhoseFilesAreGone) {
    InstalledProbe probe;
    ASSERT_EQ(probe.exitCode(), std::optional<DWORD>(0));
    const std::wstring folder = ProbeFolder();
    ASSERT_TRUE(tarvo::platform::FileExists(folder + L"\\probe.exe"));
    ASSERT_TRUE(tarvo::platform::DeleteFileOf(folder + L"\\probe.exe"));
    const std::wstring data = folder + L"\\Data";  // left behind, empty
    FolderListFixture folderList({folder + L"\\", data + L"\\"});

    // The entry as the catalogue reads it: a 32-bit product, so in the redirected view.
    RegistryKey uninstall;
    ASSERT_EQ(uninstall.Open(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_READ, RegistryView::Default), ERROR_SUCCESS);
    ASSERT_TRUE(uninstall.HasValue(L"Comments"));
    TSoftInfo entry;
    entry.DisplayName = uninstall.QueryString(L"DisplayName").value_or(L"");
    entry.Publisher = uninstall.QueryString(L"Publisher").value_or(L"");
    entry.UninstallString = uninstall.QueryString(L"UninstallString").value_or(L"");
    entry.RootKeyName = L"HKEY_LOCAL_MACHINE";
    entry.KeyPath = L"\\" + kUninstallKey;
    entry.InstallLocation = folder;  // the installer leaves InstallLocation empty; analysis supplies it
    EXPECT_EQ(entry.DisplayName, L"Tarvo Leftover Probe");
    // The entry names no folder and its command none either: the component records do.
    TSoftInfo unlocated = entry;
    unlocated.InstallLocation.clear();
    EXPECT_EQ(tarvo::common::LowerCase(tarvo::inventory::CompletedInstallFolder(unlocated)),
              tarvo::common::LowerCase(folder));

    TIconList images;
    TRegeditScanClasses scan(entry, images);
    UninstallKeyRules(scan);
    ServicesRule(scan);
    VendorKeyWalk(scan, HKEY_LOCAL_MACHINE);
    const auto found = Findings(scan);

    const bool native = tarvo::settings::IsWow64();
    const std::wstring hklm = L"HKEY_LOCAL_MACHINE\\";
    const std::wstring userData = hklm + kInstallerDataKey + L"\\UserData\\S-1-5-18\\";
    const struct {
        std::wstring text;
        bool view64;
    } expected[] = {
        {hklm + kUninstallKey, false},
        {hklm + kUninstallKey + L" | DisplayName - Tarvo Leftover Probe", false},
        {hklm + L"SOFTWARE\\Classes\\Installer\\Features\\" + kPacked, native},
        {hklm + L"SOFTWARE\\Classes\\Installer\\Products\\" + kPacked, native},
        {hklm + L"SOFTWARE\\Classes\\Installer\\Products\\" + kPacked + L"\\SourceList", native},
        {hklm + L"SOFTWARE\\Classes\\Installer\\UpgradeCodes\\" + kUpgradePacked, native},
        {L"HKEY_CLASSES_ROOT\\Installer\\Features\\" + kPacked, native},
        {L"HKEY_CLASSES_ROOT\\Installer\\Products\\" + kPacked, native},
        {L"HKEY_CLASSES_ROOT\\Installer\\UpgradeCodes\\" + kUpgradePacked, native},
        {hklm + kInstallerDataKey + L"\\UpgradeCodes\\" + kUpgradePacked, native},
        {userData + L"Products\\" + kPacked, native},
        {userData + L"Products\\" + kPacked + L"\\InstallProperties | DisplayName - Tarvo Leftover Probe", native},
        {hklm + FolderListFixture::path() + L" | " + folder + L"\\ - ", native},
        {hklm + FolderListFixture::path() + L" | " + data + L"\\ - ", native},
        {hklm + L"SYSTEM\\CurrentControlSet\\services\\TarvoLeftoverProbeSvc", false},
        {hklm + L"SOFTWARE\\Tarvo Probe Works\\Leftover Probe | InstallPath - " + folder + L"\\", false},
    };
    for (const auto& e : expected) {
        const Finding* f = Find(found, e.text);
        ASSERT_NE(f, nullptr) << e.text;
        EXPECT_EQ(f->view64, e.view64) << e.text;
    }
    // The three components: the deleted file, the left-behind folder, the registry value.
    std::size_t components = 0;
    for (const auto& f : found)
        if (f.text.rfind(userData + L"Components\\", 0) == 0 && f.text.find(L" | " + kPacked + L" - ") != std::wstring::npos)
            ++components;
    EXPECT_EQ(components, 3u);
    EXPECT_EQ(scan.MsiComponentFolders, std::vector<std::wstring>{tarvo::common::LowerCase(data) + L"\\"});

    // The whole scan offers them too, each to be deleted in the view it was found in.
    TResultTree tree;
    EXPECT_GE(ScanLeftovers(&entry, tree, {}, images), static_cast<int>(std::size(expected)));
    ASSERT_EQ(tree.Programs.size(), 1u);
    const TTreeNode& registry = *tree.Programs[0]->Children.at(0);
    bool sawNative = false, sawRedirected = false;
    for (const auto& item : registry.Children) {
        if (item->Caption == userData + L"Products\\" + kPacked) sawNative = item->Data.View64 == native;
        if (item->Caption == hklm + kUninstallKey) sawRedirected = !item->Data.View64;
    }
    EXPECT_TRUE(sawNative);
    EXPECT_TRUE(sawRedirected);
}
