// The reserved-folder list from a known set of drives and folders and from the real system,
// the reserved class and vendor names, and the maker table's look-ups and macros.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "leftovers/exclusion.h"
#include "leftovers/maker_table.h"
#include "platform/folders.h"
#include "support/scratch_folder.h"

using namespace tarvo::leftovers;
using tarvo::inventory::TSoftInfo;

namespace {

class FakeSource final : public ReservedFolderSource {
public:
    [[nodiscard]] std::vector<Drive> Drives() const override {
        return {
            {L"A:\\", DRIVE_REMOVABLE, true, true},   // floppy letters never count
            {L"C:\\", DRIVE_FIXED, true, true},
            {L"E:\\", DRIVE_REMOVABLE, false, false},  // card reader without a card
            {L"F:\\", DRIVE_REMOVABLE, true, true},
            {L"N:\\", DRIVE_REMOTE, true, true},
            {L"R:\\", DRIVE_CDROM, true, true},
        };
    }
    [[nodiscard]] std::vector<std::wstring> NamedFolders() const override {
        return {L"C:\\WINDOWS", L"", L"  C:\\Program Files\\ ", L"C:\\Users\\bob\\Documents",
                L"C:\\Users\\bob\\AppData\\Roaming"};
    }
    [[nodiscard]] std::wstring SystemDrive() const override { return L"C:"; }
};

class FakeMakerFolders final : public MakerFolders {
public:
    [[nodiscard]] std::wstring CommonPrograms() const override { return L"C:\\PD\\Programs"; }
    [[nodiscard]] std::wstring AppData() const override { return L"C:\\U\\Roaming"; }
    [[nodiscard]] std::wstring CommonAppData() const override { return {}; }
};

}  // namespace

TEST(ReservedFolders, ListHoldsUsableLocalDrivesAndNamedFolders) {
    const TReservedFolders reserved{FakeSource()};
    const std::vector<std::wstring> expected = {
        L"c:\\", L"f:\\", L"c:\\windows\\", L"c:\\program files\\", L"c:\\users\\bob\\documents\\",
        L"c:\\users\\bob\\appdata\\roaming\\", L"c:\\windows\\syswow64\\"};
    EXPECT_EQ(reserved.Folders(), expected);

    for (const auto* path : {L"C:\\Program Files", L"c:\\PROGRAM FILES\\", L" C:\\Users\\Bob\\Documents ", L"C:"})
        EXPECT_TRUE(reserved.IsReservedFolder(path)) << path;
    for (const auto* path : {L"", L"N:\\", L"E:\\", L"A:\\", L"R:\\", L"C:\\Program Files\\Foo"})
        EXPECT_FALSE(reserved.IsReservedFolder(path)) << path;

    EXPECT_TRUE(reserved.IsAboveReservedFolder(L"C:\\Users"));
    EXPECT_TRUE(reserved.IsAboveReservedFolder(L"C:\\Users\\bob\\AppData"));
    EXPECT_FALSE(reserved.IsAboveReservedFolder(L"C:\\Users\\bob\\AppData\\Roaming\\Foo"));
    EXPECT_FALSE(reserved.IsAboveReservedFolder(L"C:\\Program Files"));
}

TEST(ReservedFolders, SystemListHoldsTheSystemsOwnFolders) {
    const TReservedFolders reserved;
    for (const auto& folder : {tarvo::platform::GetWindowsFolder(), tarvo::platform::GetSystemFolder(),
                               tarvo::platform::GetTempFolder(), tarvo::platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILES),
                               tarvo::platform::GetSpecialFolderPath(CSIDL_PERSONAL),
                               tarvo::platform::GetSpecialFolderPath(CSIDL_APPDATA),
                               tarvo::platform::GetEnvironmentString(L"SYSTEMDRIVE") + L"\\windows\\syswow64",
                               tarvo::platform::GetEnvironmentString(L"SYSTEMDRIVE") + L"\\"})
        EXPECT_TRUE(reserved.IsReservedFolder(folder)) << folder;
}

TEST(ReservedNames, ClassesAndVendorKeysIgnoreCase) {
    EXPECT_EQ(ReservedClasses().size(), 16u);
    for (const auto* name : {L"*", L"Directory", L"EXEFILE", L"paint.picture", L"TIFImage.Document"})
        EXPECT_TRUE(IsReservedClass(name)) << name;
    for (const auto* name : {L"txtfile", L"Foo.Document", L""}) EXPECT_FALSE(IsReservedClass(name)) << name;
    for (const auto* name : {L"MICROSOFT", L"microsoft", L"wow6432node", L"Classes", L"ImgBurn"})
        EXPECT_TRUE(IsSkippedVendorKey(name)) << name;
    EXPECT_FALSE(IsSkippedVendorKey(L"Tarvo"));
}

TEST(MakerTable, RowLookupsInTableOrder) {
    const TFileterManage table({{L"tarvo tarvo", L"R1", L"P1", L"F1"}, {L"tarvo tarvo uninstaller", L"R2", L"", L""}});
    std::wstring row;
    EXPECT_TRUE(table.FindMakerRow(L"  Tarvo Tarvo Uninstaller ", row));
    EXPECT_EQ(row, L"tarvo tarvo");  // the first row that occurs in the key wins
    EXPECT_FALSE(table.FindMakerRow(L"acme tarvo", row));

    EXPECT_EQ(table.MakerRowField(L"TARVO TARVO UNINSTALLER", L"reg", L"-"), L"R2");
    EXPECT_EQ(table.MakerRowField(L"tarvo tarvo", L"filter", L"-"), L"F1");
    EXPECT_EQ(table.MakerRowField(L"tarvo tarvo uninstaller", L"path", L"-"), L"");
    EXPECT_EQ(table.MakerRowField(L"tarvo", L"reg", L"-"), L"-");  // names must equal exactly

    int pumped = 0;
    (void)table.FindMakerRow(L"nothing", row, [&] { ++pumped; });
    EXPECT_EQ(pumped, 2);
}

TEST(MakerTable, BuiltInTableKnowsOurOwnProduct) {
    TSoftInfo entry;
    entry.Publisher = L"Tarvo";
    entry.DisplayName = L"Tarvo Uninstaller";
    std::wstring row;
    ASSERT_TRUE(TFileterManage::Instance().FindMakerRow(MakerKeyOf(entry), row));
    EXPECT_NE(TFileterManage::Instance().MakerRowField(row, L"filter", {}).find(L"TarvoUninstaler.exe"),
              std::wstring::npos);
    EXPECT_NE(TFileterManage::Instance().MakerRowField(row, L"path", {}).find(L"CSIDL_APPDATA\\Tarvo\\Tarvo Uninstaller"),
              std::wstring::npos);
}

TEST(MakerTable, ItemMacros) {
    const FakeMakerFolders folders;
    TSoftInfo entry;
    entry.InstallLocation = L"C:\\Program Files\\Tarvo\\";
    EXPECT_EQ(ExpandItemMacro(L"CSIDL_APPDATA\\X\\Y", entry, folders), L"C:\\U\\Roaming\\X\\Y");
    EXPECT_EQ(ExpandItemMacro(L"CSIDL_COMMON_PROGRAMS\\Tarvo", entry, folders), L"C:\\PD\\Programs\\Tarvo");
    EXPECT_EQ(ExpandItemMacro(L"CSIDL_LOCAPTION\\keep.dat", entry, folders), L"C:\\Program Files\\Tarvo\\keep.dat");
    // Unknown macros, items without a backslash and folders the system cannot name give nothing,
    // never a path from the drive's root.
    EXPECT_EQ(ExpandItemMacro(L"CSIDL_WINDOWS\\X", entry, folders), L"");
    EXPECT_EQ(ExpandItemMacro(L"csidl_appdata\\X", entry, folders), L"");
    EXPECT_EQ(ExpandItemMacro(L"CSIDL_APPDATA", entry, folders), L"");
    EXPECT_EQ(ExpandItemMacro(L"CSIDL_COMMON_APPDATA\\X", entry, folders), L"");
    entry.InstallLocation.clear();
    EXPECT_EQ(ExpandItemMacro(L"CSIDL_LOCAPTION\\keep.dat", entry, folders), L"");

    // Our own uninstall key names the executable: items beside it are in its folder.
    tarvo::test::ScratchFolder scratch;
    entry.InstallLocation = scratch.MakeFile(L"TarvoUninstaler.exe");
    EXPECT_EQ(ExpandItemMacro(L"CSIDL_LOCAPTION\\RemovalHost.exe", entry, folders), scratch.PathOf(L"RemovalHost.exe"));

    EXPECT_EQ(SplitItems(L" a ,, b,"), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_TRUE(SplitItems(L"").empty());
}
