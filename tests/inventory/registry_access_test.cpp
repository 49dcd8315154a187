// The registry access layer by root name and view, against the real registry.
#include <gtest/gtest.h>

#include "inventory/registry_access.h"
#include "support/scratch_registry.h"

using namespace tarvo::inventory;
using tarvo::platform::RegistryView;
using tarvo::test::ScratchKey;

TEST(RegistryAccess, RootNamesAnyCase) {
    EXPECT_EQ(RootFromName(L"HKEY_LOCAL_MACHINE"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(RootFromName(L"hkey_current_user"), HKEY_CURRENT_USER);
    EXPECT_EQ(RootFromName(L"HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
    EXPECT_EQ(RootFromName(L"HKEY_USERS"), HKEY_USERS);
    EXPECT_EQ(RootFromName(L"HKEY_CURRENT_CONFIG"), HKEY_CURRENT_CONFIG);
    EXPECT_EQ(RootFromName(L"HKLM"), nullptr);
    EXPECT_EQ(RootFromName(L""), nullptr);
    EXPECT_EQ(ReadStringValue(L"HKLM", L"SOFTWARE", L"x", false), L"");
    EXPECT_FALSE(DeleteKey(L"HKLM", L"SOFTWARE\\x", false));
}

// Value types as other programs leave them, read through each accessor.
TEST(RegistryAccess, ReadsTolerateWrongTypesAndMissingTerminators) {
    ScratchKey key(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Wow64_64Key);
    key.SetString(L"", L"Text", L"hello");
    key.SetString(L"", L"Expand", L"%TEMP%\\x", REG_EXPAND_SZ);
    key.SetRaw(L"", L"NoZero", REG_SZ, L"abc", 6);
    key.SetRaw(L"", L"OddBytes", REG_SZ, L"abc", 5);
    key.SetDword(L"", L"Negative", 0xFFFFFFFF);
    key.SetDword(L"", L"Number", 42);
    key.SetRaw(L"", L"Multi", REG_MULTI_SZ, L"a\0b\0", 10);
    key.SetRaw(L"", L"Binary", REG_BINARY, "\x01\x02", 2);
    const std::wstring path = L"\\" + key.path();  // entries carry a leading backslash

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
        EXPECT_EQ(ReadStringValue(L"HKEY_LOCAL_MACHINE", path, c.name, true), c.text) << c.name;
        EXPECT_EQ(ReadIntegerValue(L"HKEY_LOCAL_MACHINE", path, c.name, true), c.number) << c.name;
    }
    EXPECT_TRUE(ValueExists(L"HKEY_LOCAL_MACHINE", path, L"Binary", true));
    EXPECT_FALSE(ValueExists(L"HKEY_LOCAL_MACHINE", path, L"Missing", true));
    // The other view does not see the key.
    EXPECT_EQ(ReadStringValue(L"HKEY_LOCAL_MACHINE", path, L"Text", false), L"");
    EXPECT_FALSE(ValueExists(L"HKEY_LOCAL_MACHINE", path, L"Text", false));
}

TEST(RegistryAccess, ListKeyTreeIsBreadthFirstInRegistryOrder) {
    ScratchKey key(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    (void)key.Key(L"A\\A1\\A11");
    (void)key.Key(L"B");
    (void)key.Key(L"A\\A2");
    std::vector<std::wstring> keys;
    EXPECT_EQ(ListKeyTree(L"HKEY_CURRENT_USER", key.path(), keys, false), 6);
    const std::wstring p = key.path();
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[0], p);
    EXPECT_EQ(keys[1], p + L"\\A");
    EXPECT_EQ(keys[2], p + L"\\B");
    EXPECT_EQ(keys[5], p + L"\\A\\A1\\A11");

    std::vector<std::wstring> none;
    EXPECT_EQ(ListKeyTree(L"HKEY_CURRENT_USER", key.PathOf(L"Missing"), none, false), 1);
}

TEST(RegistryAccess, DeleteKeyAndValue) {
    ScratchKey key(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Default);
    key.SetString(L"Tree\\Deep", L"v", L"1");
    key.SetString(L"", L"Value", L"1");
    const std::wstring path = L"\\" + key.path();

    EXPECT_TRUE(DeleteKey(L"HKEY_LOCAL_MACHINE", path + L"\\Tree", false));
    EXPECT_FALSE(tarvo::platform::RegKeyExists(HKEY_LOCAL_MACHINE, key.PathOf(L"Tree"), RegistryView::Default));
    EXPECT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, path + L"\\Tree", false));  // already gone
    // An empty path would be the root itself: refused.
    EXPECT_FALSE(DeleteKey(HKEY_CURRENT_USER, L"", false));
    EXPECT_FALSE(DeleteKey(HKEY_CURRENT_USER, L"\\", false));

    EXPECT_TRUE(DeleteValue(HKEY_LOCAL_MACHINE, path, L"Value", false));
    EXPECT_FALSE(ValueExists(L"HKEY_LOCAL_MACHINE", path, L"Value", false));
    EXPECT_TRUE(DeleteValue(HKEY_LOCAL_MACHINE, path, L"Value", false));
    EXPECT_TRUE(DeleteValue(HKEY_LOCAL_MACHINE, path + L"\\Missing", L"Value", false));
}

TEST(RegistryAccess, ItemText) {
    EXPECT_EQ(RegistryItemText(HKEY_CURRENT_USER, L"Software\\X"), L"HKEY_CURRENT_USER\\Software\\X");
    EXPECT_EQ(RegistryItemText(HKEY_LOCAL_MACHINE, L"\\Software\\X", L"Path", L"C:\\x"),
              L"HKEY_LOCAL_MACHINE\\Software\\X | Path - C:\\x");
    EXPECT_EQ(RegistryItemText(HKEY_CLASSES_ROOT, L".x", L"", L"file"), L"HKEY_CLASSES_ROOT\\.x | Default - file");
}
