#include "uninstall/log_lines.h"

#include <gtest/gtest.h>

#include "platform/text.h"

using namespace tarvo::uninstall;
using Lines = std::vector<std::wstring>;

namespace {

SYSTEMTIME Afternoon() {
    SYSTEMTIME t{};
    t.wYear = 2013;
    t.wMonth = 5;
    t.wDay = 12;
    t.wHour = 14;
    t.wMinute = 3;
    t.wSecond = 9;
    return t;
}

// The user's own date format; in the test prefix's US English it reads as below.
std::wstring UserDate() {
    const std::wstring text = tarvo::platform::FormatUserDateTime(Afternoon());
    if (::GetUserDefaultLCID() == 0x409) {
        EXPECT_EQ(text, L"5/12/2013 2:03:09 PM");
    }
    return text;
}

}  // namespace

TEST(UninstallLogLines, NameInBracketsThenDateWithoutBlankThenEmptyLine) {
    EXPECT_EQ(UninstallLogLines(L"Foo Player 2.1", Afternoon()),
              (Lines{L"[Foo Player 2.1]", L"Date:" + UserDate(), L""}));
    EXPECT_EQ(UninstallLogLines(L"", Afternoon())[0], L"[]");
}

TEST(RemovalLogLines, CaptionsAreCutAtTheirFirstBracket) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Foo (beta) (15)", L"Foo "},
        {L"Foo(3)", L"Foo"},
        {L"Registry (12)", L"Registry "},
        {L"(7)", L""},
        {L"No count at all", L""},
        {L"", L""},
    };
    for (const auto& [caption, expected] : cases) EXPECT_EQ(CaptionBeforeCount(caption), expected) << caption;
}

TEST(RemovalLogLines, ItemLinesSayWhatWasRemoved) {
    EXPECT_EQ(RemovalItemLine(RemovalLogItem::Registry(L"HKEY_CURRENT_USER\\Software\\Foo | Path - C:\\Foo", L"Path")),
              L"Deleted Registry Value HKEY_CURRENT_USER\\Software\\Foo | Path - C:\\Foo");
    EXPECT_EQ(RemovalItemLine(RemovalLogItem::Registry(L"HKEY_LOCAL_MACHINE\\Software\\Foo", L"")),
              L"Deleted Registry Key HKEY_LOCAL_MACHINE\\Software\\Foo");
    // The unnamed default value has no value name: it logs as a key line with its data.
    EXPECT_EQ(RemovalItemLine(RemovalLogItem::Registry(L"HKEY_CLASSES_ROOT\\.foo | Default - FooFile", L"")),
              L"Deleted Registry Key HKEY_CLASSES_ROOT\\.foo | Default - FooFile");
    EXPECT_EQ(RemovalItemLine(RemovalLogItem::File(L"C:\\Foo\\foo.exe")), L"Delete File C:\\Foo\\foo.exe");
    EXPECT_EQ(RemovalItemLine(RemovalLogItem::Folder(L"C:\\Foo")), L"Delete Folder C:\\Foo");
}

TEST(RemovalLogLines, OneBlockPerProgramWithItsGroupsInTreeOrder) {
    const std::vector<RemovalLogProgram> programs = {
        {L"Foo (beta) (4)",
         {{L"Registry (2)",
           {RemovalLogItem::Registry(L"HKEY_CURRENT_USER\\Software\\Foo", L""),
            RemovalLogItem::Registry(L"HKEY_CURRENT_USER\\Run | Foo - foo.exe", L"Foo")}},
          {L"Files (2)", {RemovalLogItem::File(L"C:\\Foo\\a.dll"), RemovalLogItem::Folder(L"C:\\Foo")}}}},
        // Nothing ticked under it: the program still gets its three lines and group headings.
        {L"Bar (1)", {{L"Registry (1)", {}}}},
        {L"Empty (0)", {}},
    };
    const std::wstring date = L"Date: " + UserDate();
    EXPECT_EQ(RemovalLogLines(programs, Afternoon()),
              (Lines{L"[Foo ]",
                     L"Operation: Powerful Scan",
                     date,
                     L"",
                     L"------Registry ------",
                     L"Deleted Registry Key HKEY_CURRENT_USER\\Software\\Foo",
                     L"Deleted Registry Value HKEY_CURRENT_USER\\Run | Foo - foo.exe",
                     L"",
                     L"------Files ------",
                     L"Delete File C:\\Foo\\a.dll",
                     L"Delete Folder C:\\Foo",
                     L"[Bar ]",
                     L"Operation: Powerful Scan",
                     date,
                     L"",
                     L"------Registry ------",
                     L"[Empty ]",
                     L"Operation: Powerful Scan",
                     date}));
    EXPECT_TRUE(RemovalLogLines({}, Afternoon()).empty());
}
