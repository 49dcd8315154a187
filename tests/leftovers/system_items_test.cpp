// What the system keeps books on besides keys and files, found and taken away through the
// system: a PATH element (the value and its other elements stay), a service (gone from the
// service manager, not only from the registry), a scheduled task (its file and cache keys) and
// context-menu entries in the user's classes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "common/text.h"
#include "leftovers/path_elements.h"
#include "leftovers/power_scan_model.h"
#include "leftovers/removal.h"
#include "leftovers/scan_driver.h"
#include "leftovers/scheduled_tasks.h"
#include "leftovers/system_removal.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "removal_fixture.h"
#include "settings/system_info.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

using namespace tarvo::leftovers;
using namespace tarvo::test;
using tarvo::inventory::TSoftInfo;
using tarvo::platform::RegistryKey;
using tarvo::platform::RegistryView;

namespace {

struct Finally {
    std::function<void()> run;
    ~Finally() { run(); }
};

bool ServiceKnown(const std::wstring& name) {
    const SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) return false;
    const SC_HANDLE service = ::OpenServiceW(manager, name.c_str(), SERVICE_QUERY_STATUS);
    if (service) ::CloseServiceHandle(service);
    ::CloseServiceHandle(manager);
    return service != nullptr;
}

}  // namespace

TEST(SystemItems, ServiceNameAndPathValueAreKnownOnlyWhereTheyLive) {
    const struct {
        HKEY root;
        std::wstring key;
        std::wstring service;
    } services[] = {
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\Probe", L"Probe"},
        {HKEY_LOCAL_MACHINE, L"\\system\\ControlSet001\\Services\\Probe\\", L"Probe"},
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\Probe\\Parameters", L""},
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services", L""},
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSetX01\\services\\Probe", L""},
        {HKEY_CURRENT_USER, L"SYSTEM\\CurrentControlSet\\services\\Probe", L""},
    };
    for (const auto& c : services) EXPECT_EQ(ServiceNameOfKey(c.root, c.key), c.service) << c.key;
    EXPECT_TRUE(IsPathValue(HKEY_CURRENT_USER, L"Environment", L"PATH"));
    EXPECT_TRUE(IsPathValue(HKEY_LOCAL_MACHINE, kMachineEnvironmentKey, L"Path"));
    EXPECT_TRUE(IsPathValue(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001\\Control\\Session Manager\\Environment", L"Path"));
    EXPECT_FALSE(IsPathValue(HKEY_CURRENT_USER, L"Environment", L"PATHEXT"));
    EXPECT_FALSE(IsPathValue(HKEY_CURRENT_USER, L"Software\\Environment", L"Path"));
    EXPECT_EQ(TaskXmlCommands(L"<Exec><Command>\"C:\\P &amp; Q\\u.exe\"</Command></Exec><Command> </Command>"),
              std::vector<std::wstring>{L"\"C:\\P & Q\\u.exe\""});
}

TEST(SystemItems, FoundAndTakenAwayThroughTheSystem) {
    const ScratchFolder files;
    const std::wstring name = UniqueName(L"TarvoSys");
    const std::wstring program = files.MakeFolder(name);
    const std::wstring exe = files.MakeFile(name + L"\\probe.exe", "MZ");

    // PATH: the program's element between two others, in an expandable value.
    RegistryKey environment;
    ASSERT_EQ(environment.Create(HKEY_CURRENT_USER, kUserEnvironmentKey, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    const auto savedPath = environment.QueryValue(kPathValueName);
    const Finally restorePath{[&] {
        if (savedPath)
            (void)environment.SetValue(kPathValueName, savedPath->type, savedPath->data.data(),
                                       static_cast<DWORD>(savedPath->data.size()));
        else
            (void)environment.DeleteValue(kPathValueName);
    }};
    ASSERT_EQ(environment.SetString(kPathValueName, L"%SystemRoot%\\keep;\"" + program + L"\\bin\";C:\\Other Tool",
                                    REG_EXPAND_SZ),
              ERROR_SUCCESS);

    // A service of the program, registered with the manager.
    const SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    const SC_HANDLE service = ::CreateServiceW(manager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                               SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                               (L"\"" + exe + L"\"").c_str(), nullptr, nullptr, nullptr, nullptr,
                                               nullptr);
    ASSERT_NE(service, nullptr) << ::GetLastError();
    // Closed now: a service stays registered while any handle to it is open.
    ::CloseServiceHandle(service);
    const Finally dropService{[&] {
        if (const SC_HANDLE left = ::OpenServiceW(manager, name.c_str(), DELETE)) {
            (void)::DeleteService(left);
            ::CloseServiceHandle(left);
        }
        ::CloseServiceHandle(manager);
    }};

    // A task as the scheduler files it: its file and its cache keys.
    const std::wstring tasks = (tarvo::settings::SystemFolderRedirected()
                                    ? tarvo::platform::GetWindowsFolder() + L"\\Sysnative"
                                    : tarvo::platform::GetSystemFolder()) +
                               L"\\Tasks";
    (void)::CreateDirectoryW(tasks.c_str(), nullptr);
    const std::wstring taskFile = tasks + L"\\" + name + L" Update";
    {
        const std::wstring xml = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><Task><Actions><Exec><Command>\"" +
                                 exe + L"\"</Command><Arguments>/update</Arguments></Exec></Actions></Task>";
        const HANDLE h = ::CreateFileW(taskFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(h, xml.data(), static_cast<DWORD>(xml.size() * sizeof(wchar_t)), &written, nullptr);
        ::CloseHandle(h);
    }
    const std::wstring cache = kTaskCacheKey, id = L"{5A1D7E2C-0B9E-4F7A-9E1C-2D3B4A5C6D7E}";
    const std::vector<std::wstring> cacheKeys = {L"Tree\\" + name + L" Update", L"Tasks\\" + id, L"Plain\\" + id};
    for (const auto& key : cacheKeys) {
        RegistryKey k;
        ASSERT_EQ(k.Create(HKEY_LOCAL_MACHINE, cache + L"\\" + key, KEY_WRITE, RegistryView::Wow64_64Key), ERROR_SUCCESS);
        ASSERT_EQ(k.SetString(L"Id", id), ERROR_SUCCESS);
    }
    const Finally dropTask{[&] {
        ::DeleteFileW(taskFile.c_str());
        for (const auto& key : cacheKeys)
            (void)tarvo::platform::DeleteKeyTree(HKEY_LOCAL_MACHINE, cache + L"\\" + key, RegistryView::Wow64_64Key);
    }};

    // A verb on every folder's background and a menu handler on every file, in the user's classes.
    const std::wstring classId = L"{6B2E8F3D-1C0F-4A8B-8F2D-3E4C5B6D7E8F}";
    const std::wstring verb = L"Software\\Classes\\Directory\\Background\\shell\\" + name;
    const std::wstring handler = L"Software\\Classes\\*\\shellex\\ContextMenuHandlers\\" + name;
    const std::wstring server = L"Software\\Classes\\CLSID\\" + classId;
    for (const auto& [key, value] : {std::pair{verb + L"\\command", L"\"" + exe + L"\" \"%V\""},
                                     std::pair{handler, classId},
                                     std::pair{server + L"\\InprocServer32", program + L"\\menu.dll"}}) {
        RegistryKey k;
        ASSERT_EQ(k.Create(HKEY_CURRENT_USER, key, KEY_WRITE), ERROR_SUCCESS);
        ASSERT_EQ(k.SetString(L"", value), ERROR_SUCCESS);
    }
    const Finally dropClasses{[&] {
        for (const auto& key : {verb, handler, server})
            (void)tarvo::platform::DeleteKeyTree(HKEY_CURRENT_USER, key, RegistryView::Default);
    }};

    TSoftInfo entry;
    entry.DisplayName = name;
    entry.InstallLocation = program;
    TResultTree tree;
    TIconList images;
    ASSERT_GT(ScanLeftovers(&entry, tree, {}, images), 0);
    std::vector<std::wstring> found;
    for (const auto& group : tree.Programs.front()->Children)
        for (const auto& item : group->Children)
            found.push_back(tarvo::common::LowerCase(item->Data.ItemKind == FindingKind::File ? item->Data.FilePath
                                                                                            : item->Caption));
    const auto offered = [&](const std::wstring& text) {
        return std::any_of(found.begin(), found.end(), [&](const std::wstring& f) {
            return f.find(tarvo::common::LowerCase(text)) != std::wstring::npos;
        });
    };
    for (const auto& expected : {L"environment | path - \"" + program + L"\\bin\"", L"services\\" + name, taskFile,
                                 L"tree\\" + name + L" update", L"tasks\\" + id, verb, handler})
        EXPECT_TRUE(offered(expected)) << expected;
    EXPECT_FALSE(offered(L"%systemroot%\\keep"));

    RecordingView view;
    TPowerScanModel model(tree, view, DefaultRemovalActions({}), {});
    model.SelectLinkClicked();
    model.DeleteClicked();

    const auto path = environment.QueryValue(kPathValueName);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(path->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(path->AsString(), std::wstring(L"%SystemRoot%\\keep;C:\\Other Tool"));
    EXPECT_FALSE(ServiceKnown(name));
    EXPECT_FALSE(tarvo::platform::RegKeyExists(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\" + name,
                                               RegistryView::Default));
    EXPECT_EQ(::GetFileAttributesW(taskFile.c_str()), INVALID_FILE_ATTRIBUTES);
    for (const auto& key : cacheKeys)
        EXPECT_FALSE(tarvo::platform::RegKeyExists(HKEY_LOCAL_MACHINE, cache + L"\\" + key, RegistryView::Wow64_64Key))
            << key;
    for (const auto& key : {verb, handler})
        EXPECT_FALSE(tarvo::platform::RegKeyExists(HKEY_CURRENT_USER, key, RegistryView::Default)) << key;
}
