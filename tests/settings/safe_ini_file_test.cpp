#include "settings/safe_ini_file.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "settings/text_file.h"
#include "support/scratch_folder.h"

using namespace tarvo;
using namespace tarvo::settings;

namespace {

std::string Bytes(const std::wstring& path) { return platform::ReadFileBytes(path).value_or(std::string()); }

}  // namespace

// Both classes write where a plain write fails: into folders that do not exist yet and over
// a file marked read-only. TSafeIniFile writes itself back as UTF-16LE at once and again
// when it goes.
TEST(SafeIniFile, WritesThroughMissingFoldersAndReadOnlyFiles) {
    test::ScratchFolder scratch;
    const std::wstring readOnly = scratch.MakeFile(L"old.ini", "\xEF\xBB\xBF[a]\r\nx=caf\xC3\xA9\r\n");
    ASSERT_TRUE(platform::SetFileAttributesOf(readOnly, FILE_ATTRIBUTE_READONLY));
    {
        TSafeIniFile ini(readOnly);
        EXPECT_EQ(ini.ReadString(L"a", L"x", L""), L"café");
        EXPECT_EQ(Bytes(readOnly), EncodeUtf16Le(L"[a]\r\nx=café\r\n\r\n"));
        ini.WriteString(L"a", L"y", L"2");
    }
    EXPECT_EQ(Bytes(readOnly), EncodeUtf16Le(L"[a]\r\nx=café\r\ny=2\r\n\r\n"));

    const std::wstring nested = scratch.PathOf(L"one\\two\\new.ini");
    {
        TSafeIniFile ini(nested);
        ini.LoadFromStream(EncodeUtf16Le(L"[s]\r\nk=v"));
        EXPECT_EQ(ini.ReadString(L"s", L"k", L""), L"v");
    }
    EXPECT_EQ(Bytes(nested), EncodeUtf16Le(L"[s]\r\nk=v\r\n\r\n"));

    {
        TSafeIniFile memoryOnly;
        memoryOnly.LoadFromStream("[m]\r\nk=1");
        EXPECT_EQ(memoryOnly.ReadInteger(L"m", L"k", 0), 1);
    }

    const std::wstring profile = scratch.PathOf(L"three\\four\\prefs.ini");
    TIniFile first(profile);
    EXPECT_TRUE(first.WriteString(L"keep", L"a", L"1"));
    EXPECT_TRUE(first.WriteString(L"gone", L"b", L"2"));
    ASSERT_TRUE(platform::SetFileAttributesOf(profile, FILE_ATTRIBUTE_READONLY));
    TIniFile second(profile);
    EXPECT_TRUE(second.EraseSection(L"gone"));
    EXPECT_EQ(second.ReadString(L"keep", L"a", L""), L"1");
    EXPECT_EQ(second.ReadString(L"gone", L"b", L"none"), L"none");
}
