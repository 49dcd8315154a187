#include "platform/registry.h"

#include <gtest/gtest.h>

#include "platform/call_counter.h"
#include "support/scratch_registry.h"

using namespace tarvo::platform;
using tarvo::test::ScratchKey;

namespace {

bool Visible(HKEY root, const std::wstring& path, RegistryView view) {
    return RegKeyExists(root, path, view);
}

}  // namespace

// A 32-bit process on 64-bit Windows sees HKLM\SOFTWARE through WOW6432Node unless it asks
// for the 64-bit view; the inventory depends on reading both.
TEST(RegistryViews, MachineSoftwareKeysAreSeparatePerView) {
    ScratchKey native(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Wow64_64Key);
    ScratchKey redirected(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Default);

    EXPECT_TRUE(Visible(HKEY_LOCAL_MACHINE, native.path(), RegistryView::Wow64_64Key));
    EXPECT_FALSE(Visible(HKEY_LOCAL_MACHINE, native.path(), RegistryView::Default));
    EXPECT_TRUE(Visible(HKEY_LOCAL_MACHINE, redirected.path(), RegistryView::Default));
    EXPECT_FALSE(Visible(HKEY_LOCAL_MACHINE, redirected.path(), RegistryView::Wow64_64Key));
    // The default view's key is the 64-bit view's WOW6432Node child.
    EXPECT_TRUE(Visible(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\" + redirected.path().substr(9),
                        RegistryView::Wow64_64Key));
}

TEST(RegistryViews, CurrentUserKeysAreSharedByBothViews) {
    ScratchKey key(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    key.SetString(L"", L"Name", L"shared");

    RegistryKey through64;
    ASSERT_EQ(through64.Open(HKEY_CURRENT_USER, key.path(), KEY_READ, RegistryView::Wow64_64Key), ERROR_SUCCESS);
    EXPECT_EQ(through64.QueryString(L"Name"), L"shared");
}

TEST(RegistryKeyTree, DeleteTreeRemovesEverySubkeyInThatViewOnly) {
    ScratchKey parent(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Wow64_64Key);
    parent.SetString(L"Tree\\A\\Deep\\Deeper", L"v", L"1");
    parent.SetString(L"Tree\\B", L"v", L"2");
    parent.SetDword(L"Tree", L"d", 7);
    // A twin of the same name in the other view must survive.
    ScratchKey twinParent(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Default);
    twinParent.SetString(L"Tree", L"v", L"twin");

    ASSERT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, parent.PathOf(L"Tree"), RegistryView::Wow64_64Key), ERROR_SUCCESS);

    EXPECT_FALSE(Visible(HKEY_LOCAL_MACHINE, parent.PathOf(L"Tree"), RegistryView::Wow64_64Key));
    EXPECT_FALSE(Visible(HKEY_LOCAL_MACHINE, parent.PathOf(L"Tree\\A\\Deep"), RegistryView::Wow64_64Key));
    EXPECT_TRUE(Visible(HKEY_LOCAL_MACHINE, parent.path(), RegistryView::Wow64_64Key));
    EXPECT_TRUE(Visible(HKEY_LOCAL_MACHINE, twinParent.PathOf(L"Tree"), RegistryView::Default));
    EXPECT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, parent.PathOf(L"Tree"), RegistryView::Wow64_64Key),
              ERROR_FILE_NOT_FOUND);
}

TEST(RegistryEnumeration, SubkeysAndValuesComeInRegistryOrder) {
    ScratchKey key(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    for (const wchar_t* name : {L"zeta", L"Alpha", L"mid"}) (void)key.Key(name);
    for (const wchar_t* name : {L"second", L"first", L""}) key.SetString(L"", name, L"x");

    RegistryKey opened;
    ASSERT_EQ(opened.Open(HKEY_CURRENT_USER, key.path()), ERROR_SUCCESS);

    std::vector<std::wstring> expectedKeys;
    std::wstring name;
    for (DWORD i = 0; ::RegEnumKeyW(opened.get(), i, name.assign(256, L'\0').data(), 256) == ERROR_SUCCESS; ++i)
        expectedKeys.push_back(name.c_str());
    EXPECT_EQ(opened.SubKeyNames(), expectedKeys);
    EXPECT_EQ(opened.SubKeyNames().size(), 3u);

    const auto values = opened.ValueNames();
    ASSERT_EQ(values.size(), 3u);
    EXPECT_NE(std::find(values.begin(), values.end(), L""), values.end());

    RegistryValue value;
    ASSERT_EQ(opened.EnumValue(0, name, &value), ERROR_SUCCESS);
    EXPECT_EQ(value.AsString(), L"x");
}

TEST(RegistryValues, MissingValuesAndKeysGiveNothing) {
    ScratchKey key(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    RegistryKey opened;
    ASSERT_EQ(opened.Open(HKEY_CURRENT_USER, key.path()), ERROR_SUCCESS);
    EXPECT_EQ(opened.QueryValue(L"absent"), std::nullopt);
    EXPECT_EQ(opened.QueryString(L"absent"), std::nullopt);
    EXPECT_EQ(opened.QueryDword(L"absent"), std::nullopt);
    EXPECT_FALSE(opened.HasValue(L"absent"));

    RegistryKey missing;
    EXPECT_EQ(missing.Open(HKEY_CURRENT_USER, key.PathOf(L"no\\such\\key")), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(missing.IsOpen());
}

// Other programs write what they like; reading it must neither crash nor read past the data.
struct RawString {
    const char* label;
    std::vector<BYTE> bytes;
    DWORD type;
    std::optional<std::wstring> expected;
};

TEST(RegistryValues, StringsAreReadAsOtherProgramsWroteThem) {
    const RawString cases[] = {
        {"terminated", {'a', 0, 'b', 0, 0, 0}, REG_SZ, L"ab"},
        {"no terminator", {'a', 0, 'b', 0}, REG_SZ, L"ab"},
        {"odd byte count", {'a', 0, 'b', 0, 'c'}, REG_SZ, L"ab"},
        {"empty", {}, REG_SZ, L""},
        {"single byte", {'a'}, REG_SZ, L""},
        {"embedded zero", {'a', 0, 0, 0, 'b', 0}, REG_EXPAND_SZ, L"a"},
        {"dword is not text", {1, 0, 0, 0}, REG_DWORD, std::nullopt},
        {"binary is not text", {'a', 0}, REG_BINARY, std::nullopt},
    };
    ScratchKey key(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    RegistryKey opened = key.Key();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        key.SetRaw(L"", L"v", c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
        EXPECT_EQ(opened.QueryString(L"v"), c.expected);
    }
}

TEST(RegistryValues, DwordNeedsFourBytesOfTheRightType) {
    ScratchKey key(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    RegistryKey opened = key.Key();
    key.SetDword(L"", L"d", 0xFFFFFFFEu);
    EXPECT_EQ(opened.QueryDword(L"d"), 0xFFFFFFFEu);
    const BYTE shortData[] = {1, 2};
    key.SetRaw(L"", L"short", REG_DWORD, shortData, sizeof shortData);
    EXPECT_EQ(opened.QueryDword(L"short"), std::nullopt);
    key.SetString(L"", L"text", L"12");
    EXPECT_EQ(opened.QueryDword(L"text"), std::nullopt);
}

TEST(RegistryValues, LargeValuesAreReadWhole) {
    ScratchKey key(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    const std::wstring big(512 * 1024, L'x');  // 1 MB of UTF-16
    key.SetString(L"", L"big", big);
    RegistryKey opened = key.Key();
    EXPECT_EQ(opened.QueryString(L"big"), big);

    std::wstring name;
    RegistryValue value;
    ASSERT_EQ(opened.EnumValue(0, name, &value), ERROR_SUCCESS);
    EXPECT_EQ(value.AsString(), big);
}

TEST(RegistryValues, WriteAndDeleteRoundTrip) {
    ScratchKey key(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Wow64_64Key);
    RegistryKey opened = key.Key();
    ASSERT_EQ(opened.SetString(L"Path", L"%SystemRoot%\\x", REG_EXPAND_SZ), ERROR_SUCCESS);
    const auto value = opened.QueryValue(L"Path");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(value->AsString(), L"%SystemRoot%\\x");  // never expanded behind our back
    ASSERT_EQ(opened.DeleteValue(L"Path"), ERROR_SUCCESS);
    EXPECT_FALSE(opened.HasValue(L"Path"));
    EXPECT_EQ(opened.DeleteValue(L"Path"), ERROR_FILE_NOT_FOUND);
}

TEST(CallCounting, EveryRegistryCallIsCounted) {
    ScratchKey key(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    key.SetString(L"", L"a", L"1");
    CallCounter::Reset();
    RegistryKey opened;
    ASSERT_EQ(opened.Open(HKEY_CURRENT_USER, key.path()), ERROR_SUCCESS);
    (void)opened.QueryString(L"a");
    (void)opened.SubKeyNames();
    EXPECT_EQ(CallCounter::Get(ApiCall::RegOpenKey), 1u);
    EXPECT_EQ(CallCounter::Get(ApiCall::RegQueryValue), 1u);
    EXPECT_EQ(CallCounter::Get(ApiCall::RegEnumKey), 1u);  // the call that reports the end
    EXPECT_EQ(CallCounter::RegistryTotal(), 3u);
}
