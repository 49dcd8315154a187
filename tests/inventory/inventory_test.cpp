// The inventory against programs registered under the real uninstall keys, in both views.
// Wine's own entries stay in the list as background; every check looks at fixture keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/date_time.h"
#include "inventory/inventory.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"
#include "support/uninstall_fixture.h"

using namespace tarvo::common;
using namespace tarvo::inventory;
using tarvo::platform::RegistryView;
using tarvo::test::ScratchFolder;
using tarvo::test::UninstallFixture;
using tarvo::test::UniqueName;

namespace {

constexpr auto kDefault = RegistryView::Default;
constexpr auto k64 = RegistryView::Wow64_64Key;

TSoftList FreshInventory() {
    TSoftList list;
    Inventory(list);
    return list;
}

std::vector<const TSoftInfo*> At(const TSoftList& list, const std::wstring& keyPath, bool visibleOnly = true) {
    std::vector<const TSoftInfo*> found;
    for (const auto& e : list)
        if (e->KeyPath == keyPath && (!visibleOnly || !e->Hidden)) found.push_back(e.get());
    return found;
}

std::vector<const TSoftInfo*> Named(const TSoftList& list, const std::wstring& name, bool visibleOnly = true) {
    std::vector<const TSoftInfo*> found;
    for (const auto& e : list)
        if (e->DisplayName == name && (!visibleOnly || !e->Hidden)) found.push_back(e.get());
    return found;
}

// A braced product code no other fixture or installer uses.
std::wstring UniqueProductCode() {
    static unsigned counter = 0;
    wchar_t code[64];
    swprintf(code, 64, L"{%08lX-%04X-4000-8000-%012lX}", ::GetTickCount(), ++counter & 0xFFFF,
             static_cast<unsigned long>(::GetCurrentProcessId()));
    return code;
}

}  // namespace

TEST(Inventory, EntryFieldsFromTheKey) {
    UninstallFixture app(HKEY_LOCAL_MACHINE, k64);
    const std::wstring name = L"Fields " + app.keyName();
    app.Set(L"DisplayName", L"  " + name + L"  ")
        .Set(L"UninstallString", L"\"C:\\Program Files\\Fields\\unins000.exe\" /SILENT")
        .Set(L"Publisher", L" Contoso ")
        .Set(L"DisplayVersion", L"")
        .Set(L"URLInfoAbout", L" http://about ")
        .Set(L"InstallDate", L"20130512")
        .Set(L"DisplayIcon", L"C:\\x.exe,1")
        .Set(L"Readme", L"C:\\readme.txt")
        .SetDword(L"EstimatedSize", 1);
    const TDateTime before = NowLocal();
    const auto list = FreshInventory();

    const auto found = At(list, app.KeyPath());
    ASSERT_EQ(found.size(), 1u);
    const TSoftInfo& e = *found[0];
    EXPECT_EQ(e.DisplayName, name);
    EXPECT_EQ(e.Publisher, L"Contoso");
    EXPECT_EQ(e.DisplayVersion, L"-");
    EXPECT_EQ(e.HelpLink, L"-");
    EXPECT_EQ(e.URLInfoAbout, L" http://about ");  // as read
    EXPECT_EQ(e.RootKeyName, L"HKEY_LOCAL_MACHINE");
    EXPECT_TRUE(e.View64);
    EXPECT_EQ(e.UninstallString, L"\"C:\\Program Files\\Fields\\unins000.exe\" /SILENT");
    EXPECT_EQ(e.DisplayIcon, L"C:\\x.exe,1");
    EXPECT_EQ(e.IconIndex, 0);
    EXPECT_EQ(e.Size, 1024);
    EXPECT_EQ(e.SizeText.substr(0, 1), L"1");
    EXPECT_EQ(e.SizeText.substr(e.SizeText.size() - 3), L" KB");
    EXPECT_EQ(e.InstallDate, DateFromParts(2013, 5, 12));
    EXPECT_EQ(e.InstallDateText, ShortDateText(*DateFromParts(2013, 5, 12)));
    EXPECT_FALSE(e.InstallDateText.empty());
    EXPECT_GE(e.LastAccessDate, before - 1.0 / 86400);
    EXPECT_EQ(e.Readme, L"C:\\readme.txt");
    EXPECT_FALSE(e.IsUpdate || e.IsToolbar || e.SystemComponent || e.SpareFlag);
    EXPECT_EQ(e.UseRange, audUnknown);
    EXPECT_EQ(e.UseRate, aurUnknown);
}

TEST(Inventory, KeysThatAreNotListedPrograms) {
    UninstallFixture veldane(HKEY_LOCAL_MACHINE, kDefault), noName(HKEY_LOCAL_MACHINE, kDefault),
        noCommand(HKEY_CURRENT_USER, kDefault), registration(HKEY_LOCAL_MACHINE, kDefault),
        otherCase(HKEY_LOCAL_MACHINE, kDefault);
    veldane.Set(L"DisplayName", L"VELDANE Surfing Protection").Set(L"UninstallString", L"u.exe");
    noName.Set(L"UninstallString", L"u.exe").Set(L"Publisher", L"Nameless");
    noCommand.Set(L"DisplayName", L"No command " + noCommand.keyName());
    registration.Set(L"DisplayName", L"Reg " + registration.keyName())
        .Set(L"UninstallString", L"regsvr32 /u x.dll")
        .Set(L"Publisher", L"Microsoft Corporation");
    otherCase.Set(L"DisplayName", L"Reg " + otherCase.keyName())
        .Set(L"UninstallString", L"RegSvr32 /u x.dll")
        .Set(L"Publisher", L"Microsoft Corporation");
    const auto list = FreshInventory();

    EXPECT_TRUE(At(list, veldane.KeyPath(), false).empty());
    EXPECT_TRUE(At(list, noName.KeyPath(), false).empty());
    EXPECT_TRUE(At(list, noCommand.KeyPath(), false).empty());
    EXPECT_TRUE(At(list, registration.KeyPath(), false).empty());
    EXPECT_EQ(At(list, otherCase.KeyPath()).size(), 1u);
}

TEST(Inventory, InstallerProductKeys) {
    const std::wstring code = UniqueProductCode(), hiddenCode = UniqueProductCode(), installCode = UniqueProductCode();
    UninstallFixture product(HKEY_LOCAL_MACHINE, kDefault, code);
    UninstallFixture component(HKEY_LOCAL_MACHINE, kDefault, hiddenCode);
    UninstallFixture install(HKEY_LOCAL_MACHINE, k64, installCode);
    product.Set(L"DisplayName", L"Product " + code).SetDword(L"SystemComponent", 0);
    component.Set(L"DisplayName", L"Component " + hiddenCode).SetDword(L"SystemComponent", 1);
    install.Set(L"DisplayName", L"Install " + installCode)
        .Set(L"UninstallString", L"msiexec.exe /i" + installCode + L" /qb");
    const auto list = FreshInventory();

    const auto p = At(list, product.KeyPath());
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0]->UninstallString, L"MsiExec.exe /X " + code);
    EXPECT_TRUE(At(list, component.KeyPath(), false).empty());
    const auto i = At(list, install.KeyPath());
    ASSERT_EQ(i.size(), 1u);
    EXPECT_EQ(i[0]->UninstallString, L"MsiExec.exe /X" + installCode + L" /qb");
}

TEST(Inventory, TwinsAcrossViewsAreListedOnce) {
    UninstallFixture native(HKEY_LOCAL_MACHINE, k64), redirected(HKEY_LOCAL_MACHINE, kDefault);
    const std::wstring name = L"Twin " + native.keyName();
    native.Set(L"DisplayName", name).Set(L"UninstallString", L"C:\\twin64\\u.exe");
    redirected.Set(L"DisplayName", name).Set(L"UninstallString", L"C:\\twin32\\u.exe").Set(L"HelpLink", L"http://h");
    UninstallFixture user(HKEY_CURRENT_USER, kDefault);
    const std::wstring userName = L"User " + user.keyName();
    user.Set(L"DisplayName", userName).Set(L"UninstallString", L"C:\\user\\u.exe");
    const auto list = FreshInventory();

    const auto visible = Named(list, name);
    ASSERT_EQ(visible.size(), 1u);
    // The default view is read first, so its entry is the one kept.
    EXPECT_FALSE(visible[0]->View64);
    EXPECT_EQ(visible[0]->HelpLink, L"http://h");
    EXPECT_EQ(Named(list, name, false).size(), 2u);

    // The user's key is the same in both views: read twice, shown once.
    EXPECT_EQ(Named(list, userName).size(), 1u);
    EXPECT_EQ(Named(list, userName, false).size(), 2u);
}

TEST(Inventory, SystemComponentTwinGivesWay) {
    UninstallFixture first(HKEY_LOCAL_MACHINE, kDefault), second(HKEY_CURRENT_USER, kDefault),
        msiPart(HKEY_LOCAL_MACHINE, kDefault);
    const std::wstring name = L"Component twin " + first.keyName();
    first.Set(L"DisplayName", name).Set(L"UninstallString", L"a.exe").SetDword(L"SystemComponent", 1)
        .Set(L"Readme", L"C:\\from-first.txt");
    second.Set(L"DisplayName", name).Set(L"UninstallString", L"b.exe");
    msiPart.Set(L"DisplayName", L"Part " + msiPart.keyName())
        .Set(L"UninstallString", L"MsiExec.exe /X{1}")
        .SetDword(L"SystemComponent", 1);
    const auto list = FreshInventory();

    const auto visible = Named(list, name);
    ASSERT_EQ(visible.size(), 1u);
    EXPECT_EQ(visible[0]->KeyPath, second.KeyPath());
    EXPECT_EQ(visible[0]->Readme, L"C:\\from-first.txt");
    EXPECT_TRUE(At(list, msiPart.KeyPath()).empty());
    EXPECT_EQ(At(list, msiPart.KeyPath(), false).size(), 1u);
}

TEST(Inventory, UpdatesAndToolbars) {
    UninstallFixture update(HKEY_LOCAL_MACHINE, kDefault), toolbar(HKEY_LOCAL_MACHINE, k64),
        servicePack(HKEY_LOCAL_MACHINE, kDefault);
    update.Set(L"DisplayName", L"Security Update for Windows (KB2533623) " + update.keyName())
        .Set(L"UninstallString", L"u.exe");
    toolbar.Set(L"DisplayName", L"Ask-Tool bar " + toolbar.keyName()).Set(L"UninstallString", L"u.exe");
    servicePack.Set(L"DisplayName", L"Service Pack 1 " + servicePack.keyName())
        .Set(L"UninstallString", L"u.exe")
        .Set(L"Publisher", L"Contoso");
    const auto list = FreshInventory();
    ASSERT_EQ(At(list, update.KeyPath()).size(), 1u);
    ASSERT_EQ(At(list, toolbar.KeyPath()).size(), 1u);
    ASSERT_EQ(At(list, servicePack.KeyPath()).size(), 1u);
    EXPECT_TRUE(At(list, update.KeyPath())[0]->IsUpdate);
    EXPECT_TRUE(At(list, toolbar.KeyPath())[0]->IsToolbar);
    EXPECT_FALSE(At(list, servicePack.KeyPath())[0]->IsUpdate);
}

TEST(Inventory, InstallLocationRepair) {
    ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Installed");
    UninstallFixture quoted(HKEY_LOCAL_MACHINE, kDefault), gone(HKEY_LOCAL_MACHINE, kDefault),
        fine(HKEY_LOCAL_MACHINE, kDefault);
    quoted.Set(L"DisplayName", L"Quoted " + quoted.keyName()).Set(L"UninstallString", L"u.exe")
        .Set(L"InstallLocation", L"\"" + folder + L"\"");
    gone.Set(L"DisplayName", L"Gone " + gone.keyName()).Set(L"UninstallString", L"u.exe")
        .Set(L"InstallLocation", folder + L"\\Missing");
    fine.Set(L"DisplayName", L"Fine " + fine.keyName()).Set(L"UninstallString", L"u.exe")
        .Set(L"InstallLocation", folder + L"\\");
    const auto list = FreshInventory();
    ASSERT_EQ(At(list, quoted.KeyPath()).size(), 1u);
    EXPECT_EQ(At(list, quoted.KeyPath())[0]->InstallLocation, folder);
    EXPECT_EQ(At(list, gone.KeyPath())[0]->InstallLocation, L"");
    EXPECT_EQ(At(list, fine.KeyPath())[0]->InstallLocation, folder + L"\\");
}

TEST(Inventory, NestedKeysAtAnyDepth) {
    UninstallFixture holder(HKEY_LOCAL_MACHINE, k64);
    std::wstring deep;
    for (int level = 0; level < 25; ++level) deep += (level ? L"\\Level" : L"Level") + std::to_wstring(level);
    holder.Set(L"DisplayName", L"Deep " + holder.keyName(), deep).Set(L"UninstallString", L"u.exe", deep);
    holder.Set(L"DisplayName", L"Shallow " + holder.keyName(), L"Level0").Set(L"UninstallString", L"u.exe", L"Level0");
    const auto list = FreshInventory();
    EXPECT_EQ(At(list, holder.KeyPath(deep)).size(), 1u);
    EXPECT_EQ(At(list, holder.KeyPath(L"Level0")).size(), 1u);
    EXPECT_TRUE(At(list, holder.KeyPath(), false).empty());  // the holder has no name
}

// What other programs write: none of it may crash the inventory or cost another entry.
TEST(Inventory, BadValuesLoseNothingElse) {
    UninstallFixture dwordName(HKEY_LOCAL_MACHINE, kDefault), textSize(HKEY_LOCAL_MACHINE, kDefault),
        unterminated(HKEY_LOCAL_MACHINE, k64), huge(HKEY_LOCAL_MACHINE, k64), astral(HKEY_CURRENT_USER, kDefault),
        dashed(HKEY_LOCAL_MACHINE, kDefault), zero(HKEY_LOCAL_MACHINE, kDefault), nines(HKEY_LOCAL_MACHINE, kDefault),
        neighbour(HKEY_LOCAL_MACHINE, kDefault);
    dwordName.SetDword(L"DisplayName", 7).Set(L"UninstallString", L"u.exe");
    textSize.Set(L"DisplayName", L"Text size " + textSize.keyName()).Set(L"UninstallString", L"u.exe")
        .Set(L"EstimatedSize", L"1234");
    const std::wstring rawName = L"Raw " + unterminated.keyName();
    unterminated.SetRaw(L"DisplayName", REG_SZ, rawName.data(), static_cast<DWORD>(rawName.size() * 2))
        .SetRaw(L"UninstallString", REG_SZ, L"u.exe", 9);  // odd count, no terminator
    const std::wstring megabyte(512 * 1024, L'x');
    huge.Set(L"DisplayName", L"Huge " + huge.keyName()).Set(L"UninstallString", L"C:\\" + megabyte)
        .Set(L"Comments", megabyte).Set(L"InstallLocation", L"C:\\" + megabyte);
    const std::wstring astralName = L"\U0001F4E6 Box \U00010400 " + astral.keyName();
    astral.Set(L"DisplayName", astralName).Set(L"UninstallString", L"u.exe");
    dashed.Set(L"DisplayName", L"Dashed " + dashed.keyName()).Set(L"UninstallString", L"u.exe")
        .Set(L"InstallDate", L"2013-05-12");
    zero.Set(L"DisplayName", L"Zero " + zero.keyName()).Set(L"UninstallString", L"u.exe").Set(L"InstallDate", L"0")
        .SetDword(L"EstimatedSize", 0xFFFFFFFF);  // a DWORD of KB, never negative
    nines.Set(L"DisplayName", L"Nines " + nines.keyName()).Set(L"UninstallString", L"u.exe")
        .Set(L"InstallDate", L"99999999");
    neighbour.Set(L"DisplayName", L"Neighbour " + neighbour.keyName()).Set(L"UninstallString", L"u.exe");
    const auto list = FreshInventory();

    EXPECT_TRUE(At(list, dwordName.KeyPath(), false).empty());
    ASSERT_EQ(At(list, textSize.KeyPath()).size(), 1u);
    EXPECT_EQ(At(list, textSize.KeyPath())[0]->Size, 0);
    EXPECT_EQ(At(list, textSize.KeyPath())[0]->SizeText, L"0 Byte");
    ASSERT_EQ(At(list, unterminated.KeyPath()).size(), 1u);
    EXPECT_EQ(At(list, unterminated.KeyPath())[0]->DisplayName, rawName);
    EXPECT_EQ(At(list, unterminated.KeyPath())[0]->UninstallString, L"u.ex");
    ASSERT_EQ(At(list, huge.KeyPath()).size(), 1u);
    EXPECT_EQ(At(list, huge.KeyPath())[0]->UninstallString.size(), megabyte.size() + 3);
    EXPECT_TRUE(At(list, huge.KeyPath())[0]->InstallLocation.empty());  // no such folder can exist
    ASSERT_EQ(At(list, astral.KeyPath()).size(), 1u);
    EXPECT_EQ(At(list, astral.KeyPath())[0]->DisplayName, astralName);
    for (const auto* fixture : {&dashed, &zero, &nines}) {
        const auto found = At(list, fixture->KeyPath());
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0]->InstallDate, 0);
        EXPECT_EQ(found[0]->InstallDateText, L"");
    }
    EXPECT_EQ(At(list, zero.KeyPath())[0]->Size, std::int64_t{0xFFFFFFFF} * 1024);
    EXPECT_EQ(At(list, zero.KeyPath())[0]->SizeText, L"4096.00 GB");
    EXPECT_EQ(At(list, neighbour.KeyPath()).size(), 1u);
}

TEST(Inventory, PassReturnsTheCount) {
    EXPECT_EQ(InventoryPass(nullptr, tarvo::platform::RegistryView::Default), -1);
    TSoftList list;
    const int first = InventoryPass(&list, tarvo::platform::RegistryView::Default);
    EXPECT_EQ(first, static_cast<int>(list.size()));
    const int second = InventoryPass(&list, tarvo::platform::RegistryView::Wow64_64Key);
    EXPECT_EQ(second, static_cast<int>(list.size()));
    EXPECT_GE(second, first);
}
