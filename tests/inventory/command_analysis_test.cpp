// Folder, date and icon lookups against real files in a scratch folder.
#include <gtest/gtest.h>

#include <vector>

#include "inventory/command_analysis.h"
#include "inventory/command_text.h"
#include "common/date_time.h"
#include "platform/registry.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "support/scratch_folder.h"

using namespace tarvo::common;
using namespace tarvo::inventory;
using tarvo::test::ScratchFolder;

namespace {

TSoftInfo WithCommand(const std::wstring& command) {
    TSoftInfo e;
    e.UninstallString = command;
    return e;
}

std::wstring Upper(const std::wstring& text) { return UpperCase(text); }

// The Windows and system folders in other letter cases, three of the user's shell folders,
// the drive in both spellings, nothing at all, and a path with an unexpanded variable.
std::vector<std::wstring> SystemPlaces() {
    using namespace tarvo::platform;
    const RegistryLocation shellFolders{HKEY_CURRENT_USER,
                                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                        RegistryView::Wow64_64Key};
    return {
        GetWindowsFolder(),
        Upper(GetWindowsFolder()) + L"\\",
        LowerCase(GetSystemFolder()),
        ReadStringValue(shellFolders, L"Desktop"),
        ReadStringValue(shellFolders, L"Start Menu"),
        ReadStringValue(shellFolders, L"Recent"),
        L"C:\\",
        L"C:",
        L"",
        L"%ProgramFiles%\\App",
    };
}

}  // namespace

TEST(InstallFolderFromEntry, WrappersQuotesAndArguments) {
    ScratchFolder scratch;
    const std::wstring app = scratch.MakeFolder(L"App") + L"\\";
    scratch.MakeFile(L"App\\unins000.exe", "MZ");
    scratch.MakeFile(L"App\\uninst.dll", "MZ");
    scratch.MakeFile(L"App\\readme.txt", "r");

    // Upper-cased on the way in: folder lookups are not case-sensitive on Windows.
    EXPECT_EQ(InstallFolderFromEntry(WithCommand(L"\"" + app + L"unins000.exe\" /SILENT")), Upper(app));
    EXPECT_EQ(InstallFolderFromEntry(WithCommand(L"RunDll32.exe " + app + L"uninst.dll,Remove")), Upper(app));

    TSoftInfo msi = WithCommand(L"MsiExec.exe /X{12345678-90AB-CDEF-1234-567890ABCDEF}");
    msi.Readme = app + L"readme.txt";
    EXPECT_EQ(InstallFolderFromEntry(msi), app);
    msi.Readme.clear();
    EXPECT_EQ(InstallFolderFromEntry(msi), L"");

    EXPECT_EQ(InstallFolderFromEntry(WithCommand(scratch.PathOf(L"Missing\\u.exe"))), L"");
    EXPECT_EQ(InstallFolderFromEntry(WithCommand(L"")), L"");

    TSoftInfo toolbar = WithCommand(kTarvoToolbarMarker);
    toolbar.DisplayIcon = app + L"unins000.exe,0";
    EXPECT_EQ(InstallFolderFromEntry(toolbar), Upper(app));
}

TEST(InstallFolderFromEntry, AFolderNamedLikeAProgramBesideThatProgram) {
    // "Setup.exe" and the folder "Setup.exe Files" side by side: the unquoted command names
    // the file inside the folder, though cutting it at its first ".exe" names a file too.
    ScratchFolder scratch;
    (void)scratch.MakeFile(L"X\\Setup.exe", "MZ");
    const std::wstring inner = scratch.MakeFile(L"X\\Setup.exe Files\\app.exe", "MZ");
    const TSoftInfo entry = WithCommand(inner);
    EXPECT_EQ(Upper(InstallFolderFromEntry(entry)), Upper(scratch.PathOf(L"X\\Setup.exe Files\\")));
    const auto times = tarvo::platform::GetFileTimesOf(scratch.PathOf(L"X\\Setup.exe Files"));
    ASSERT_TRUE(times);
    EXPECT_EQ(FolderDateFromEntry(entry), FileTimeToDate(times->creation));
    // With arguments after the program the cut alone decides, as it always did.
    EXPECT_EQ(Upper(InstallFolderFromEntry(WithCommand(scratch.PathOf(L"X\\Setup.exe") + L" /remove"))),
              Upper(scratch.PathOf(L"X\\")));
}

TEST(InstallFolderFromEntry, DriverPackageFolderUnderWindowsIsAccepted) {
    const std::wstring windows = tarvo::platform::GetWindowsFolder();
    ASSERT_TRUE(tarvo::platform::FolderExists(windows + L"\\inf"));
    EXPECT_EQ(InstallFolderFromEntry(WithCommand(L"DPInst.exe /U " + windows + L"\\inf\\oem12.inf /S")),
              Upper(windows + L"\\inf\\"));
}

TEST(IsRemovableFolder, SystemPlacesAreRefused) {
    using namespace tarvo::platform;
    ScratchFolder scratch;
    EXPECT_TRUE(IsRemovableFolder(scratch.path()));
    EXPECT_TRUE(IsRemovableFolder(scratch.path() + L"\\"));
    EXPECT_TRUE(IsRemovableFolder(GetWindowsFolder() + L"\\inf"));

    std::vector<std::wstring> refused = SystemPlaces();
    refused.push_back(scratch.path() + L"\\%x%");
    for (const auto& path : refused) EXPECT_FALSE(IsRemovableFolder(path)) << path;
}

TEST(TRefusedFolders, ReadOnceRefusesWhatEachCallRefuses) {
    using namespace tarvo::platform;
    ScratchFolder scratch;
    const TRefusedFolders refused = TRefusedFolders::Read();
    std::vector<std::wstring> paths = SystemPlaces();
    paths.insert(paths.end(), {scratch.path(), scratch.path() + L"\\", GetWindowsFolder() + L"\\inf"});
    for (const auto& path : paths) EXPECT_EQ(refused.IsRemovable(path), IsRemovableFolder(path)) << path;
}

TEST(TRefusedFolders, InjectedPlacesAreRefusedInAnyCase) {
    const TRefusedFolders refused(std::vector<std::wstring>{L"D:\\Users\\Me\\Desktop", L"", L"d:\\windows\\"});
    const struct {
        const wchar_t* path;
        bool removable;
    } cases[] = {
        {L"D:\\Users\\Me\\Desktop", false},
        {L"d:\\users\\me\\desktop\\", false},
        {L"D:\\WINDOWS", false},
        {L"D:\\Users\\Me\\Desktop\\Tool", true},
        {L"D:\\Users\\Me", true},
        {L"D:\\", false},
        {L"", false},
        {L"D:\\%APP%", false},
    };
    for (const auto& c : cases) EXPECT_EQ(refused.IsRemovable(c.path), c.removable) << c.path;
}

TEST(InstallFolderFromEntry, AnInjectedRefusedFolderIsNoProgramsFolder) {
    ScratchFolder scratch;
    const std::wstring app = scratch.MakeFolder(L"Shared");
    (void)scratch.MakeFile(L"Shared\\unins000.exe", "MZ");
    const TSoftInfo entry = WithCommand(L"\"" + app + L"\\unins000.exe\" /S");
    EXPECT_EQ(Upper(InstallFolderFromEntry(entry, TRefusedFolders(std::vector<std::wstring>{}))), Upper(app + L"\\"));
    EXPECT_EQ(InstallFolderFromEntry(entry, TRefusedFolders(std::vector<std::wstring>{app})), L"");
}

TEST(PathInEntryCase, TheCaseTheEntrysTextsHaveThePathIn) {
    TSoftInfo e = WithCommand(L"\"C:\\Program Files\\My App\\unins.exe\" /S");
    e.DisplayIcon = L"D:\\Icons\\App.ico,2";
    const struct {
        const wchar_t* path;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\PROGRAM FILES\\MY APP\\", L"C:\\Program Files\\My App\\"},
        {L"C:\\PROGRAM FILES\\MY APP\\UNINS.EXE", L"C:\\Program Files\\My App\\unins.exe"},
        {L"d:\\icons\\app.ico", L"D:\\Icons\\App.ico"},
        {L"C:\\OTHER\\", L"C:\\OTHER\\"},
        // Arguments or a file the texts do not name: the leading part they hold.
        {L"C:\\PROGRAM FILES\\MY APP\\UNINS.EXE /S", L"C:\\Program Files\\My App\\unins.exe /S"},
        {L"C:\\PROGRAM FILES\\MY APP\\TOOL.EXE", L"C:\\Program Files\\My App\\TOOL.EXE"},
        {L"D:\\ICONS\\", L"D:\\Icons\\"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(PathInEntryCase(c.path, e), c.expected) << c.path;
}

TEST(FolderDateFromEntry, CreationDateOfTheMainFilesFolder) {
    ScratchFolder scratch;
    scratch.MakeFile(L"App\\uninstall.exe", "MZ");
    const std::wstring folder = scratch.PathOf(L"App");
    const auto times = tarvo::platform::GetFileTimesOf(folder);
    ASSERT_TRUE(times);
    const TDateTime expected = FileTimeToDate(times->creation);
    ASSERT_NE(expected, 0);

    EXPECT_EQ(FolderDateFromEntry(WithCommand(L"\"" + folder + L"\\uninstall.exe\" /S")), expected);
    // A command naming the folder itself dates the folder.
    EXPECT_EQ(FolderDateFromEntry(WithCommand(folder)), expected);
    EXPECT_EQ(FolderDateFromEntry(WithCommand(scratch.PathOf(L"Gone\\x.exe"))), 0);
    EXPECT_EQ(FolderDateFromEntry(WithCommand(L"")), 0);

    TSoftInfo toolbar = WithCommand(kToolbarMarker);
    toolbar.IsToolbar = true;
    toolbar.ToolbarFile = scratch.MakeFile(L"Ext\\install.rdf", "<rdf/>");
    const auto extTimes = tarvo::platform::GetFileTimesOf(scratch.PathOf(L"Ext"));
    ASSERT_TRUE(extTimes);
    EXPECT_EQ(FolderDateFromEntry(toolbar), FileTimeToDate(extTimes->creation));
}

TEST(RepairInstallLocation, CleansAndKeepsOnlyExistingFolders) {
    ScratchFolder scratch;
    const std::wstring app = scratch.MakeFolder(L"App");
    EXPECT_EQ(RepairInstallLocation(L"\"" + app + L"\""), app);
    EXPECT_EQ(RepairInstallLocation(L"\\??\\" + app), app);
    EXPECT_EQ(RepairInstallLocation(L"RUNDLL32 " + app), app);
    // Not upper-cased: a lower-case loader word stays and the result is no folder.
    EXPECT_EQ(RepairInstallLocation(L"rundll32 " + app), L"");
    EXPECT_EQ(RepairInstallLocation(app + L"\\Missing"), L"");
    EXPECT_EQ(RepairInstallLocation(L""), L"");
}

TEST(FileFromCommandLine, CommandsAndIconSpecifications) {
    using namespace tarvo::platform;
    const std::wstring windows = GetWindowsFolder();
    const struct {
        std::wstring in;
        std::wstring out;
    } cases[] = {
        {L"\"C:\\App\\x.exe\" /uninstall", L"C:\\App\\x.exe"},
        {L"C:\\App\\x.exe,1", L"C:\\App\\x.exe"},
        {L"\\??\\C:\\d\\x.sys", L"C:\\d\\x.sys"},
        {L"xyz C:\\App\\x.exe", L"C:\\App\\x.exe"},
        {L"%1 C:\\x.exe", L"C:\\x.exe"},
        {L"C:\\my-app\\x.exe -u", L"C:\\my-app\\x.exe"},
        {L"C:\\a;b\\x.exe", L"C:\\ab\\x.exe"},
        {L"%SystemRoot%\\system32\\x.exe -u", windows + L"\\system32\\x.exe"},
        {L"\"%SystemRoot%\\system32\\x.exe\" -u", windows + L"\\system32\\x.exe"},
        {L"%windir%\\x.exe", windows + L"\\x.exe"},
        {L"\\SystemRoot\\System32\\drivers\\x.sys", windows + L"\\System32\\drivers\\x.sys"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(Upper(FileFromCommandLine(c.in)), Upper(c.out)) << c.in;

    const std::wstring shell32 = FileFromCommandLine(L"rundll32.exe shell32.dll,Control_RunDLL");
    EXPECT_TRUE(FileExists(shell32)) << shell32;
    EXPECT_TRUE(Upper(shell32) == Upper(windows + L"\\shell32.dll") ||
                Upper(shell32) == Upper(GetSystemFolder() + L"\\shell32.dll"))
        << shell32;
    EXPECT_EQ(FileFromCommandLine(L"rundll32.exe nothing-here.dll,X"), L"rundll32.exe nothing-here.dll");
}

TEST(IconSourceFromEntry, DisplayIconWithIndex) {
    ScratchFolder scratch;
    const std::wstring exe = scratch.MakeFile(L"App\\app.exe", "MZ");
    int index = -1;
    TSoftInfo e = WithCommand(L"C:\\nowhere\\u.exe");
    e.DisplayIcon = L"\"" + exe + L"\",1";
    EXPECT_EQ(IconSourceFromEntry(e, index), exe);
    EXPECT_EQ(index, 1);
    e.DisplayIcon = exe + L",-101";
    EXPECT_EQ(IconSourceFromEntry(e, index), exe);
    EXPECT_EQ(index, -101);
    e.DisplayIcon = scratch.PathOf(L"App\\missing.ico");
    EXPECT_EQ(IconSourceFromEntry(e, index), L"");
}

TEST(IconSourceFromEntry, SearchesTheFolderForTheNamesExecutable) {
    ScratchFolder scratch;
    scratch.MakeFile(L"App\\ABtool.exe", "MZ");
    const std::wstring uninstaller = scratch.MakeFile(L"App\\unins000.exe", "MZ");
    TSoftInfo e = WithCommand(L"\"" + uninstaller + L"\" /S");
    e.DisplayName = L"A B";  // pattern "AB*.EXE"
    int index = -1;
    EXPECT_EQ(Upper(IconSourceFromEntry(e, index)), Upper(scratch.PathOf(L"App\\ABtool.exe")));
    EXPECT_EQ(index, 0);
    // No match: the uninstaller itself.
    e.DisplayName = L"Other";
    EXPECT_EQ(Upper(IconSourceFromEntry(e, index)), Upper(uninstaller));
}

TEST(IconSourceFromEntry, InstallerProductIconByPackedCode) {
    ScratchFolder scratch;
    const std::wstring icon = scratch.MakeFile(L"product.ico", "ico");
    wchar_t guid[64];
    swprintf(guid, 64, L"{%08lX-1234-5678-9ABC-DEF012345678}", ::GetTickCount() ^ ::GetCurrentProcessId());
    const std::wstring packed = PackedProductCode(guid);
    const std::wstring productKey = L"Software\\Microsoft\\Installer\\Products\\" + packed;
    {
        tarvo::platform::RegistryKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, productKey), ERROR_SUCCESS);
        ASSERT_EQ(key.SetString(L"ProductIcon", icon), ERROR_SUCCESS);
    }
    TSoftInfo e = WithCommand(std::wstring(L"MsiExec.exe /X") + guid);
    e.KeyPath = std::wstring(L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + guid;
    int index = -1;
    const std::wstring found = IconSourceFromEntry(e, index);
    (void)tarvo::platform::DeleteKeyTree(HKEY_CURRENT_USER, productKey, tarvo::platform::RegistryView::Default);
    EXPECT_EQ(found, icon);
}

TEST(CommandIcon, ShellIconForAnyFileName) {
    EXPECT_TRUE(CommandIcon(L"\"C:\\App\\setup.exe\" /u", true));
    EXPECT_TRUE(CommandIcon(L"C:\\App\\readme.txt", false));
}
