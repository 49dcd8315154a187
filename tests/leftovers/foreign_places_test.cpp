// What a scan must never offer, tried on the real prefix: entries whose install folder is a
// shared folder of the system or the user, a drive root, the profiles, or another program's
// folder or a folder above it. Other programs live in the native and the 32-bit Program
// Files and the per-user programs folder, with registry values pointing into their folders.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <optional>

#include "platform/registry.h"
#include "common/text.h"
#include "leftovers/exclusion.h"
#include "leftovers/program_ownership.h"
#include "leftovers/scan_driver.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

using namespace tarvo::leftovers;
using tarvo::common::LowerCase;
using tarvo::inventory::TProgramPlace;
using tarvo::inventory::TSoftInfo;
using tarvo::platform::RegistryKey;
using tarvo::platform::RegistryView;

namespace {

std::wstring Known(const wchar_t* id) {
    std::wstring path;
    return tarvo::platform::GetKnownFolderPathOf(id, path) == tarvo::platform::KnownFolderResult::Found ? path
                                                                                                        : std::wstring();
}

std::wstring Special(int csidl) { return tarvo::platform::GetSpecialFolderPath(csidl); }

// A folder at a given place with one file in it; removed with what it holds, unless it was
// there before (then only the file goes).
class PlacedFolder {
public:
    PlacedFolder(const std::wstring& folder, const std::wstring& file) : folder_(folder), file_(folder + L"\\" + file) {
        created_ = ::CreateDirectoryW(folder_.c_str(), nullptr) != FALSE;
        const HANDLE h = ::CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
    ~PlacedFolder() {
        if (created_)
            tarvo::test::RemoveTree(folder_);
        else
            ::DeleteFileW(file_.c_str());
    }
    PlacedFolder(const PlacedFolder&) = delete;
    PlacedFolder& operator=(const PlacedFolder&) = delete;
    [[nodiscard]] const std::wstring& folder() const noexcept { return folder_; }
    [[nodiscard]] const std::wstring& file() const noexcept { return file_; }

private:
    std::wstring folder_, file_;
    bool created_ = false;
};

// A value in a key shared with everyone else, removed afterwards.
class SharedValue {
public:
    SharedValue(HKEY root, std::wstring key, std::wstring name, const std::wstring& data, RegistryView view)
        : root_(root), key_(std::move(key)), name_(std::move(name)), view_(view) {
        RegistryKey k;
        if (k.Create(root_, key_, KEY_SET_VALUE, view_) == ERROR_SUCCESS) (void)k.SetString(name_, data);
    }
    ~SharedValue() { (void)tarvo::platform::DeleteValue({root_, key_, view_}, name_); }
    SharedValue(const SharedValue&) = delete;
    SharedValue& operator=(const SharedValue&) = delete;

private:
    HKEY root_;
    std::wstring key_, name_;
    RegistryView view_;
};

bool Inside(const std::wstring& folder, const std::wstring& path) {
    const std::wstring f = FolderForm(folder), p = FolderForm(path);
    return !f.empty() && p.compare(0, f.size(), f) == 0;
}

}  // namespace

TEST(ForeignPlaces, NoScanOffersWhatBelongsToTheUserTheSystemOrAnotherProgram) {
    const std::wstring name = tarvo::test::UniqueName(L"TarvoTrust");
    const std::wstring nativeFiles = tarvo::platform::GetEnvironmentString(L"ProgramW6432");
    const std::wstring x86Files = Special(CSIDL_PROGRAM_FILESX86);
    const std::wstring userPrograms = Special(CSIDL_LOCAL_APPDATA) + L"\\Programs";
    ASSERT_FALSE(nativeFiles.empty());
    ASSERT_NE(LowerCase(nativeFiles), LowerCase(x86Files)) << "the test needs a 64-bit prefix";

    // Other programs, each with a file, and values of theirs in shared keys.
    const PlacedFolder userProgramsFolder(userPrograms, name + L".keep");
    const PlacedFolder nativeProgram(nativeFiles + L"\\" + name + L"A", L"a.dll");
    const PlacedFolder x86Program(x86Files + L"\\" + name + L"B", L"b.exe");
    const PlacedFolder plugin(x86Program.folder() + L"\\Plugin", L"plugin.dll");
    const PlacedFolder userProgram(userPrograms + L"\\" + name + L"P", L"p.exe");
    const PlacedFolder vendor(x86Files + L"\\" + name + L"Vendor", L"vendor.txt");
    const PlacedFolder tool(vendor.folder() + L"\\Tool", L"tool.exe");
    const std::vector<TProgramPlace> catalogue = {
        {L"Trust A", nativeProgram.folder(), {}}, {L"Trust B", x86Program.folder(), {}},
        {L"Trust P", userProgram.folder(), {}},   {L"Trust Tool", tool.folder(), {}},
        {L"Trust A", nativeProgram.folder(), {}}};
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const SharedValue runA(HKEY_LOCAL_MACHINE, run, name + L"A", nativeProgram.file(), RegistryView::Wow64_64Key);
    const SharedValue runB(HKEY_CURRENT_USER, run, name + L"B", L"\"" + x86Program.file() + L"\" /tray",
                           RegistryView::Default);
    const tarvo::test::ScratchKey settings(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    settings.SetString(L"Settings", L"Tool", tool.file());

    // The user's and everyone's folders, each holding a file of the user's.
    std::vector<std::unique_ptr<PlacedFolder>> userFiles;
    const std::wstring shared[] = {
        Known(L"{374DE290-123F-4565-9164-39C4925E467B}"),  // Downloads
        Known(L"{DFDF76A2-C82A-4D63-906A-5644AC457385}"),  // Public
        Known(L"{ED4824AF-DCE4-45A8-81E2-FC7965083634}"),  // Public Documents
        Known(L"{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}"),  // Saved Games
        Known(L"{0762D272-C50A-4BB0-A382-697DCD729B80}"),  // the profiles
        Special(CSIDL_PROFILE),
        Special(CSIDL_DESKTOPDIRECTORY),
        Special(CSIDL_PERSONAL),
        Special(CSIDL_MYMUSIC),
        Special(CSIDL_COMMON_DESKTOPDIRECTORY),
        Special(CSIDL_COMMON_APPDATA),
        tarvo::platform::GetEnvironmentString(L"CommonProgramW6432"),
        Special(CSIDL_PROGRAM_FILES_COMMONX86),
    };
    for (const auto& folder : shared) {
        ASSERT_FALSE(folder.empty());
        userFiles.push_back(std::make_unique<PlacedFolder>(folder, name + L".txt"));
    }

    struct Case {
        std::wstring location;
        bool view64;
        std::wstring own;       // what the scan may offer: this folder's content, or nothing
        std::wstring expected;  // one finding that must be there, or none
    };
    std::vector<Case> cases = {
        {nativeFiles, true, {}, {}},
        {nativeFiles, false, {}, {}},
        {x86Files, false, {}, {}},
        {userPrograms, false, {}, {}},
        {L"C:\\", false, {}, {}},
        // Another program's folder claimed by a second entry: both programs', neither's alone.
        {x86Program.folder(), false, {}, {}},
        // Above another program's folder: its own files, not the folder nor the other program.
        {vendor.folder(), false, vendor.folder(), vendor.file()},
        // A plug-in inside its host's folder: the plug-in's folder and nothing else of the host.
        {plugin.folder(), false, plugin.folder(), plugin.file()},
    };
    for (const auto& folder : shared) cases.push_back({folder, true, {}, {}});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.location);
        TSoftInfo entry;
        entry.DisplayName = L"Trust Probe";
        entry.InstallLocation = c.location;
        entry.View64 = c.view64;
        TResultTree tree;
        TIconList images;
        ScanOptions options;
        options.catalogue = &catalogue;
        (void)ScanLeftovers(&entry, tree, {}, images, options);
        bool sawExpected = false;
        for (const auto& program : tree.Programs)
            for (const auto& group : program->Children)
                for (const auto& item : group->Children) {
                    const auto& d = item->Data;
                    if (d.ItemKind == FindingKind::File) {
                        const bool own = Inside(c.own, d.FilePath) && !Inside(tool.folder(), d.FilePath) &&
                                         !(c.own == vendor.folder() && FolderForm(d.FilePath) == FolderForm(c.own));
                        EXPECT_TRUE(own) << d.FilePath;
                        sawExpected |= LowerCase(d.FilePath) == LowerCase(c.expected);
                        continue;
                    }
                    const std::wstring text = LowerCase(item->Caption);
                    if (c.own == plugin.folder() && text.find(LowerCase(plugin.folder())) != std::wstring::npos) continue;
                    for (const auto* other : {&nativeProgram, &x86Program, &userProgram, &tool})
                        EXPECT_EQ(text.find(LowerCase(other->folder())), std::wstring::npos) << item->Caption;
                }
        EXPECT_EQ(sawExpected, !c.expected.empty());
    }
}

TEST(ForeignPlaces, OwnershipGoesToTheDeepestProgramFolder) {
    const TReservedFolders reserved;
    const std::vector<TProgramPlace> places = {{L"Host", L"D:\\Apps\\Host", {}}, {L"Other", L"D:\\Apps\\Other\\", {}},
                                               {L"Probe", L"D:\\Apps\\Probe", {}}, {L"Shared", L"C:\\Program Files", {}}};
    // A plug-in in its host's folder.
    const TProgramOwnership plugin(places, L"Probe", L"D:\\Apps\\Host\\Plugin", false, reserved);
    EXPECT_FALSE(plugin.BelongsToOther(L"d:\\apps\\host\\plugin\\p.dll\\"));
    EXPECT_TRUE(plugin.BelongsToOther(L"d:\\apps\\host\\host.exe\\"));
    EXPECT_TRUE(plugin.HoldsOther(L"d:\\apps\\"));
    EXPECT_FALSE(plugin.PointsIntoOther(L"\"D:\\Apps\\Host\\Plugin\\p.dll\",Start"));
    EXPECT_TRUE(plugin.PointsIntoOther(L"D:\\Apps\\Host\\host.exe /plugin D:\\Apps\\Host\\Plugin\\p.dll"));
    EXPECT_TRUE(plugin.PointsIntoOther(L"d:\\apps\\other"));
    EXPECT_FALSE(plugin.PointsIntoOther(L"D:\\Apps\\Others\\x.exe"));
    // Its twin (same name, other view) and a broken entry naming a shared folder own nothing.
    EXPECT_FALSE(plugin.BelongsToOther(L"d:\\apps\\probe\\x.exe\\"));
    EXPECT_FALSE(plugin.BelongsToOther(L"c:\\program files\\foo\\"));
    // A bare folder the user chose is theirs to remove, whoever was installed there.
    const TProgramOwnership bare(places, L"", L"D:\\Apps\\Other", true, reserved);
    EXPECT_FALSE(bare.BelongsToOther(L"d:\\apps\\other\\x.exe\\"));
}

// A vendor's entry names the vendor folder while another program of the vendor lives inside
// it. Whatever rule meets the nested program's traces (a file class in either view and under
// the classes root, a verb on every file, a shortcut on the desktop or in the vendor's start
// menu folder, a start-up value, a settings key, a service), none of it is offered; the
// vendor's own traces still are.
TEST(ForeignPlaces, NestedProgramsOwnTheirFolders) {
    const tarvo::test::ScratchFolder scratch;
    const std::wstring name = tarvo::test::UniqueName(L"TarvoNest");
    const std::wstring vendor = scratch.MakeFolder(name);
    const std::wstring other = scratch.MakeFolder(name + L"\\Other");
    const std::wstring vendorExe = scratch.MakeFile(name + L"\\vendor.exe", "MZ");
    const std::wstring otherExe = scratch.MakeFile(name + L"\\Other\\other.exe", "MZ");
    const std::vector<TProgramPlace> catalogue = {{L"Nested Other", other, {}}};
    const std::wstring otherCommand = L"\"" + otherExe + L"\" \"%1\"";

    std::vector<std::pair<HKEY, std::pair<std::wstring, RegistryView>>> ownedKeys;
    const auto key = [&](HKEY root, const std::wstring& path, RegistryView view, bool owned, const std::wstring& value,
                         const std::wstring& data) {
        RegistryKey k;
        ASSERT_EQ(k.Create(root, path, KEY_SET_VALUE, view), ERROR_SUCCESS) << path;
        ASSERT_EQ(k.SetString(value, data), ERROR_SUCCESS);
        if (owned) ownedKeys.push_back({root, {path, view}});
    };
    const std::wstring otherClass = name + L"Other.Doc", ownClass = name + L"Vendor.Doc";
    const std::wstring otherExt = L"." + LowerCase(name) + L"o", ownExt = L"." + LowerCase(name) + L"v";
    for (const RegistryView view : {RegistryView::Default, RegistryView::Wow64_64Key}) {
        key(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + otherClass + L"\\shell\\open\\command", view, false, {},
            otherCommand);
        ownedKeys.push_back({HKEY_LOCAL_MACHINE, {L"Software\\Classes\\" + otherClass, view}});
        key(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + otherExt, view, true, {}, otherClass);
        key(HKEY_LOCAL_MACHINE, L"Software\\Classes\\*\\shell\\" + name + L"\\command", view, false, {}, otherCommand);
        ownedKeys.push_back({HKEY_LOCAL_MACHINE, {L"Software\\Classes\\*\\shell\\" + name, view}});
    }
    key(HKEY_CURRENT_USER, L"Software\\Classes\\" + otherClass + L"User\\shell\\open\\command", RegistryView::Default,
        false, {}, otherCommand);
    ownedKeys.push_back({HKEY_CURRENT_USER, {L"Software\\Classes\\" + otherClass + L"User", RegistryView::Default}});
    key(HKEY_CURRENT_USER, L"Software\\Classes\\" + otherExt + L"u", RegistryView::Default, true, {},
        otherClass + L"User");
    key(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + ownClass + L"\\shell\\open\\command", RegistryView::Default,
        false, {}, L"\"" + vendorExe + L"\" \"%1\"");
    ownedKeys.push_back({HKEY_LOCAL_MACHINE, {L"Software\\Classes\\" + ownClass, RegistryView::Default}});
    key(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + ownExt, RegistryView::Default, true, {}, ownClass);
    key(HKEY_CURRENT_USER, L"Software\\" + name + L"\\Other", RegistryView::Default, false, L"Path", other);
    ownedKeys.push_back({HKEY_CURRENT_USER, {L"Software\\" + name, RegistryView::Default}});
    key(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\" + name, RegistryView::Default, true,
        L"ImagePath", otherExe);
    const SharedValue run(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", name, otherExe,
                          RegistryView::Default);
    struct OwnedKeys {
        std::vector<std::pair<HKEY, std::pair<std::wstring, RegistryView>>>& keys;
        ~OwnedKeys() {
            for (const auto& [root, at] : keys) (void)tarvo::platform::DeleteKeyTree(root, at.first, at.second);
        }
    } cleanup{ownedKeys};

    const tarvo::platform::ComApartment com;
    const std::wstring desktopLink = Special(CSIDL_DESKTOPDIRECTORY) + L"\\" + name + L" Other.lnk";
    const std::wstring ownLink = Special(CSIDL_DESKTOPDIRECTORY) + L"\\" + name + L".lnk";
    const PlacedFolder menu(Special(CSIDL_PROGRAMS) + L"\\" + name, L"readme.txt");
    const std::wstring menuLink = menu.folder() + L"\\Other.lnk";
    ASSERT_TRUE(tarvo::platform::CreateShellLink(desktopLink, otherExe));
    ASSERT_TRUE(tarvo::platform::CreateShellLink(ownLink, vendorExe));
    ASSERT_TRUE(tarvo::platform::CreateShellLink(menuLink, otherExe));
    struct Links {
        std::vector<std::wstring> paths;
        ~Links() {
            for (const auto& p : paths) ::DeleteFileW(p.c_str());
        }
    } links{{desktopLink, ownLink, menuLink}};

    // Nothing that names these may be offered; everything here must be.
    const std::vector<std::wstring> foreign = {other, otherClass, otherExt, desktopLink, menuLink,
                                               L"shell\\" + name, L"services\\" + name};
    const std::vector<std::wstring> own = {vendorExe, ownClass, ownExt, ownLink, menu.file()};
    for (const bool view64 : {false, true}) {
        SCOPED_TRACE(view64);
        TSoftInfo entry;
        entry.DisplayName = name;
        entry.InstallLocation = vendor;
        entry.View64 = view64;
        TResultTree tree;
        TIconList images;
        ScanOptions options;
        options.catalogue = &catalogue;
        (void)ScanLeftovers(&entry, tree, {}, images, options);
        std::vector<std::wstring> offered;
        for (const auto& program : tree.Programs)
            for (const auto& group : program->Children)
                for (const auto& item : group->Children)
                    offered.push_back(LowerCase(item->Data.ItemKind == FindingKind::File ? item->Data.FilePath
                                                                                       : item->Caption));
        for (const auto& needle : foreign)
            for (const auto& text : offered) EXPECT_EQ(text.find(LowerCase(needle)), std::wstring::npos) << text;
        for (const auto& needle : own) {
            if (view64 && needle == ownClass) continue;  // written in the 32-bit view only
            if (view64 && needle == ownExt) continue;
            EXPECT_TRUE(std::any_of(offered.begin(), offered.end(), [&](const std::wstring& text) {
                return text.find(LowerCase(needle)) != std::wstring::npos;
            })) << needle;
        }
    }
}
