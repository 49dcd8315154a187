// The one path splitter and the ways its callers differ.
#include "common/paths.h"

#include <gtest/gtest.h>

using namespace tarvo::common;

TEST(Paths, SplitsAtTheLastSeparatorOfTheGivenSet) {
    const struct {
        const wchar_t* path;
        PathSeparators separators;
        const wchar_t* folder;
        const wchar_t* name;
    } cases[] = {
        {L"C:\\a\\b.exe", PathSeparators::Backslash, L"C:\\a\\", L"b.exe"},
        {L"b.exe", PathSeparators::Backslash, L"", L"b.exe"},
        {L"C:\\a\\", PathSeparators::Backslash, L"C:\\a\\", L""},
        {L"C:/a/b.exe", PathSeparators::Backslash, L"", L"C:/a/b.exe"},
        {L"C:/a\\x/b.exe", PathSeparators::BackslashOrSlash, L"C:/a\\x/", L"b.exe"},
        {L"C:b.exe", PathSeparators::BackslashOrSlash, L"", L"C:b.exe"},
        {L"C:b.exe", PathSeparators::BackslashSlashOrColon, L"C:", L"b.exe"},
        {L"", PathSeparators::Backslash, L"", L""},
    };
    for (const auto& c : cases) {
        const PathSplit split = SplitPath(c.path, c.separators);
        EXPECT_EQ(split.folder, c.folder) << c.path;
        EXPECT_EQ(split.name, c.name) << c.path;
        EXPECT_EQ(FolderPart(c.path, c.separators), c.folder) << c.path;
    }
}

TEST(Paths, NamesParentsAndTrailingBackslashes) {
    EXPECT_EQ(NamePart(L"Software\\Vendor\\App"), L"App");
    EXPECT_EQ(NamePart(L"App"), L"App");
    EXPECT_EQ(NamePart(L"App", LoneName::IsNothing), L"");
    EXPECT_EQ(NamePart(L"Software\\App", LoneName::IsNothing), L"App");

    EXPECT_EQ(ParentKey(L"Software\\Vendor\\App"), L"Software\\Vendor");
    EXPECT_EQ(ParentKey(L"\\App"), L"");
    EXPECT_EQ(ParentKey(L"App"), L"");

    // A folder's parent, with or without its own trailing backslash; a volume root has none.
    EXPECT_EQ(ParentFolder(L"C:\\a\\b\\"), L"C:\\a\\");
    EXPECT_EQ(ParentFolder(L"C:\\a\\b"), L"C:\\a\\");
    EXPECT_EQ(ParentFolder(L"C:\\a"), L"C:\\");
    EXPECT_EQ(ParentFolder(L"C:\\"), L"");
    EXPECT_EQ(ParentFolder(L"\\"), L"");

    EXPECT_EQ(WithTrailingBackslash(L"C:\\a"), L"C:\\a\\");
    EXPECT_EQ(WithTrailingBackslash(L"C:\\a\\"), L"C:\\a\\");
    EXPECT_EQ(WithTrailingBackslash(L""), L"\\");
    EXPECT_EQ(WithoutTrailingBackslashes(L"C:\\a\\\\"), L"C:\\a");
    EXPECT_EQ(WithoutTrailingBackslashes(L"C:\\\\"), L"C:");
    EXPECT_EQ(WithoutTrailingBackslashes(L"C:\\\\", TrailingCut::KeepVolumeRoot), L"C:\\");
}
