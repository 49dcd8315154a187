// Registry locations from the names records carry, and reads and deletes by location, against
// the real registry.
#include <gtest/gtest.h>

#include "platform/registry.h"
#include "support/scratch_registry.h"

using namespace tarvo::platform;
using tarvo::test::ScratchKey;

TEST(RegistryLocation, RootNamesAnyCaseAndLeadingBackslashes) {
    EXPECT_EQ(RootFromName(L"HKEY_LOCAL_MACHINE"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(RootFromName(L"hkey_current_user"), HKEY_CURRENT_USER);
    EXPECT_EQ(RootFromName(L"HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
    EXPECT_EQ(RootFromName(L"HKEY_USERS"), HKEY_USERS);
    EXPECT_EQ(RootFromName(L"HKEY_CURRENT_CONFIG"), HKEY_CURRENT_CONFIG);
    EXPECT_EQ(RootFromName(L"HKLM"), nullptr);
    EXPECT_EQ(RootFromName(L""), nullptr);
    EXPECT_EQ(ReadStringValue(RegistryLocation::FromNames(L"HKLM", L"SOFTWARE", false), L"x"), L"");
    EXPECT_FALSE(DeleteKey(RegistryLocation::FromNames(L"HKLM", L"SOFTWARE\\x", false)));
    const RegistryLocation entry = RegistryLocation::FromNames(L"HKEY_CURRENT_USER", L"\\\\Software\\X", true);
    EXPECT_EQ(entry.root, HKEY_CURRENT_USER);
    EXPECT_EQ(entry.path, L"Software\\X");
    EXPECT_EQ(entry.view, RegistryView::Wow64_64Key);
    EXPECT_EQ(RootName(HKEY_LOCAL_MACHINE), L"HKEY_LOCAL_MACHINE");
    EXPECT_EQ(RelativeKeyPath(L"\\"), L"");
}

// Value types as other programs leave them, read through each accessor.
TEST(RegistryLocation, ReadsTolerateWrongTypesAndMissingTerminators) {
    ScratchKey key(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Wow64_64Key);
    key.SetString(L"", L"Text", L"hello");
    key.SetString(L"", L"Expand", L"%TEMP%\\x", REG_EXPAND_SZ);
    key.SetRaw(L"", L"NoZero", REG_SZ, L"abc", 6);
    key.SetRaw(L"", L"OddBytes", REG_SZ, L"abc", 5);
    key.SetDword(L"", L"Negative", 0xFFFFFFFF);
    key.SetDword(L"", L"Number", 42);
    key.SetRaw(L"", L"Multi", REG_MULTI_SZ, L"a\0b\0", 10);
    key.SetRaw(L"", L"Binary", REG_BINARY, "\x01\x02", 2);
    const auto at = [&](bool view64) {  // entries carry a leading backslash
        return RegistryLocation::FromNames(L"HKEY_LOCAL_MACHINE", L"\\" + key.path(), view64);
    };

    const struct {
        const wchar_t* name;
        const wchar_t* text;
        std::int64_t number;
    } cases[] = {
        {L"Text", L"hello", 0},     {L"Expand", L"%TEMP%\\x", 0}, {L"NoZero", L"abc", 0},
        {L"OddBytes", L"ab", 0},    {L"Negative", L"", -1},       {L"Number", L"", 42},
        {L"Multi", L"", 0},         {L"Binary", L"", 0},          {L"Missing", L"", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadStringValue(at(true), c.name), c.text) << c.name;
        EXPECT_EQ(ReadIntegerValue(at(true), c.name), c.number) << c.name;
    }
    EXPECT_TRUE(ValueExists(at(true), L"Binary"));
    EXPECT_FALSE(ValueExists(at(true), L"Missing"));
    // The other view does not see the key.
    EXPECT_EQ(ReadStringValue(at(false), L"Text"), L"");
    EXPECT_FALSE(ValueExists(at(false), L"Text"));
}

TEST(RegistryLocation, ListKeyTreeIsBreadthFirstInRegistryOrder) {
    ScratchKey key(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    (void)key.Key(L"A\\A1\\A11");
    (void)key.Key(L"B");
    (void)key.Key(L"A\\A2");
    std::vector<std::wstring> keys;
    EXPECT_EQ(ListKeyTree({HKEY_CURRENT_USER, key.path()}, keys), 6);
    const std::wstring p = key.path();
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[0], p);
    EXPECT_EQ(keys[1], p + L"\\A");
    EXPECT_EQ(keys[2], p + L"\\B");
    EXPECT_EQ(keys[5], p + L"\\A\\A1\\A11");

    std::vector<std::wstring> none;
    EXPECT_EQ(ListKeyTree({HKEY_CURRENT_USER, key.PathOf(L"Missing")}, none), 1);
}

TEST(RegistryLocation, DeleteKeyAndValue) {
    ScratchKey key(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Default);
    key.SetString(L"Tree\\Deep", L"v", L"1");
    key.SetString(L"", L"Value", L"1");
    const RegistryLocation tree =
        RegistryLocation::FromNames(L"HKEY_LOCAL_MACHINE", L"\\" + key.PathOf(L"Tree"), false);
    const RegistryLocation here{HKEY_LOCAL_MACHINE, key.path()};

    EXPECT_TRUE(DeleteKey(tree));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key.PathOf(L"Tree"), RegistryView::Default));
    EXPECT_TRUE(DeleteKey(tree));  // already gone
    // An empty path would be the root itself: refused; so is a handle that is no root.
    EXPECT_FALSE(DeleteKey(RegistryLocation::FromRoot(HKEY_CURRENT_USER, L"", false)));
    EXPECT_FALSE(DeleteKey(RegistryLocation::FromRoot(HKEY_CURRENT_USER, L"\\", false)));
    EXPECT_FALSE(DeleteKey({nullptr, key.PathOf(L"Tree")}));

    EXPECT_TRUE(DeleteValue(here, L"Value"));
    EXPECT_FALSE(ValueExists(here, L"Value"));
    EXPECT_TRUE(DeleteValue(here, L"Value"));
    EXPECT_TRUE(DeleteValue({HKEY_LOCAL_MACHINE, key.PathOf(L"Missing")}, L"Value"));
}
