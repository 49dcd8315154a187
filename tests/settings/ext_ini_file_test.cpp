#include "settings/ext_ini_file.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/text.h"
#include "settings/number_text.h"
#include "settings/text_file.h"
#include "support/scratch_folder.h"

using namespace tarvo::settings;
using tarvo::test::ScratchFolder;

namespace {

std::string Utf16Le(const std::wstring& text, bool mark = true) {
    std::string bytes = EncodeUtf16Le(text);
    return mark ? bytes : bytes.substr(2);
}

const std::wstring kSample = L"[Größe]\r\nName=Café\r\n";

}  // namespace

TEST(TextFile, ByteOrderMarkSelectsTheEncoding) {
    const struct {
        const char* what;
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"UTF-8 mark", "\xEF\xBB\xBF[Gr\xC3\xB6\xC3\x9F" "e]\r\nName=Caf\xC3\xA9\r\n", kSample},
        {"UTF-16LE mark", Utf16Le(kSample), kSample},
        {"UTF-16BE mark", std::string("\xFE\xFF\0[\0a\0]", 8), L"[a]"},
        {"UTF-16LE odd trailing byte", std::string("\xFF\xFE" "a\0b", 5), L"a"},
        {"only a mark", "\xFF\xFE", L""},
        {"plain ASCII", "[a]\nx=1", L"[a]\nx=1"},
        {"empty", "", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeText(c.bytes), c.text) << c.what;
    // Without a mark the system code page decides; compare with what the system makes of it.
    const std::string ansi = "Caf\xE9";
    EXPECT_EQ(DecodeText(ansi), tarvo::platform::MultiByteToWide(ansi.data(), ansi.size(), CP_ACP));
}

TEST(TextFile, LinesSplitAtEveryKindOfLineEnd) {
    EXPECT_EQ(SplitLines(L"a\r\nb\nc\rd"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(SplitLines(L"a\r\n\r\nb\r\n"), (std::vector<std::wstring>{L"a", L"", L"b"}));
    EXPECT_EQ(SplitLines(L"\n"), (std::vector<std::wstring>{L""}));
    EXPECT_TRUE(SplitLines(L"").empty());
}

TEST(ExtIniFile, ParsingRules) {
    TExtIniFile ini;
    ini.LoadFromText(L"orphan=dropped\r\n"
                     L"; comment before any section\r\n"
                     L"[  First Section  ]\r\n"
                     L"   name   =   value with  inner blanks   \r\n"
                     L"\r\n"
                     L"   \t \r\n"
                     L";Name=commented out\r\n"
                     L"  ; indented comment\r\n"
                     L"no equals sign here   \r\n"
                     L"empty=\r\n"
                     L"a=b=c\r\n"
                     L"Name=second occurrence\r\n"
                     L"[first section]\r\n"
                     L"name=from the duplicate section\r\n"
                     L"only=here\r\n"
                     L"[]\r\n"
                     L"=nameless\r\n");
    ASSERT_EQ(ini.Sections().size(), 3u);
    EXPECT_EQ(ini.Sections()[0].name, L"First Section");
    EXPECT_EQ(ini.Sections()[0].lines, (std::vector<std::wstring>{L"name=value with  inner blanks",
                                                                   L"no equals sign here", L"empty=", L"a=b=c",
                                                                   L"Name=second occurrence"}));
    // Look-ups ignore case and find the first section and the first line.
    EXPECT_EQ(ini.ReadString(L"FIRST SECTION", L"NAME", L"-"), L"value with  inner blanks");
    EXPECT_EQ(ini.ReadString(L"first section", L"empty", L"-"), L"");
    EXPECT_EQ(ini.ReadString(L"first section", L"a", L"-"), L"b=c");
    EXPECT_EQ(ini.ReadString(L"first section", L"only", L"-"), L"-");
    EXPECT_EQ(ini.ReadString(L"first section", L"no equals sign here", L"-"), L"-");
    EXPECT_EQ(ini.ReadString(L"first section", L"orphan", L"-"), L"-");
    EXPECT_EQ(ini.ReadString(L"missing", L"name", L"-"), L"-");
    EXPECT_EQ(ini.ReadString(L"", L"", L"-"), L"nameless");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::wstring>{L"First Section", L""}));
    EXPECT_EQ(ini.ReadSection(L"first section"), (std::vector<std::wstring>{L"name", L"empty", L"a", L"Name"}));
    EXPECT_EQ(ini.ReadSectionValues(L"First Section"), ini.Sections()[0].lines);
    EXPECT_TRUE(ini.ReadSection(L"missing").empty());
}

TEST(ExtIniFile, WritingReplacesAppendsAndDeletes) {
    TExtIniFile ini;
    ini.LoadFromText(L"[App]\r\nsize=1\r\nLocation=C:\\x\r\n");
    ini.WriteString(L"app", L"SIZE", L"2");                 // replaces, with the name as written now
    ini.WriteString(L"App", L"DisplayIcon", L"C:\\x\\a.exe");  // appends
    ini.WriteString(L"Other", L"k", L"v");                  // new section at the end
    ini.WriteInteger(L"Other", L"IconIndex", -3);
    ini.WriteInt64(L"Other", L"size", 5000000000LL);
    EXPECT_EQ(ini.SaveToText(), L"[App]\r\nSIZE=2\r\nLocation=C:\\x\r\nDisplayIcon=C:\\x\\a.exe\r\n\r\n"
                                L"[Other]\r\nk=v\r\nIconIndex=-3\r\nsize=5000000000\r\n\r\n");
    EXPECT_EQ(ini.ReadInteger(L"Other", L"IconIndex", 0), -3);
    EXPECT_EQ(ini.ReadInt64(L"Other", L"size", 0), 5000000000LL);
    EXPECT_EQ(ini.ReadInteger(L"Other", L"size", 7), 7);  // too big for an int
    EXPECT_EQ(ini.ReadInteger(L"Other", L"k", 7), 7);
    EXPECT_TRUE(ini.ValueExists(L"other", L"K"));

    ini.DeleteKey(L"App", L"location");
    ini.DeleteKey(L"App", L"missing");
    ini.DeleteKey(L"Missing", L"size");
    EXPECT_EQ(ini.ReadSection(L"App"), (std::vector<std::wstring>{L"SIZE", L"DisplayIcon"}));
    ini.EraseSection(L"OTHER");
    EXPECT_FALSE(ini.SectionExists(L"Other"));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::wstring>{L"App"}));
}

TEST(ExtIniFile, ErasingASectionLeavesNoDuplicateBehind) {
    TExtIniFile ini;
    ini.LoadFromText(L"[a]\nx=1\n[b]\ny=2\n[A]\nx=stale\n");
    ini.EraseSection(L"a");
    EXPECT_EQ(ini.ReadString(L"a", L"x", L"-"), L"-");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::wstring>{L"b"}));
}

TEST(ExtIniFile, SectionsStayFoundAfterEveryKindOfChange) {
    TExtIniFile ini;
    for (int i = 0; i < 300; ++i) ini.WriteInteger(L"Program " + std::to_wstring(i), L"size", i);
    ini.EraseSection(L"program 10");
    ini.WriteInteger(L"Program 10", L"size", -1);
    EXPECT_EQ(ini.ReadInteger(L"PROGRAM 11", L"size", 0), 11);
    EXPECT_EQ(ini.ReadInteger(L"program 299", L"size", 0), 299);
    EXPECT_EQ(ini.ReadInteger(L"Program 10", L"size", 0), -1);
    EXPECT_EQ(ini.Sections().back().name, L"Program 10");
    ini.Clear();
    EXPECT_FALSE(ini.SectionExists(L"Program 11"));
    ini.WriteString(L"Again", L"k", L"v");
    EXPECT_EQ(ini.ReadString(L"again", L"K", L""), L"v");
}

TEST(ExtIniFile, FloatsUseTheUsersDecimalSeparator) {
    const struct {
        double value;
        const wchar_t* separator;
        const wchar_t* text;
    } cases[] = {
        {41234.5, L".", L"41234.5"},
        {41234.5, L",", L"41234,5"},
        {0, L".", L"0"},
        {-1.25, L",", L"-1,25"},
        {41234.123456789, L".", L"41234.123456789"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatFloat(c.value, c.separator), c.text);
        EXPECT_EQ(ParseFloat(c.text, c.separator), c.value) << c.text;
    }
    for (const wchar_t* bad : {L"", L"abc", L"1.5x", L"1.5", L"inf", L"nan", L"1,5,5"})
        EXPECT_EQ(ParseFloat(bad, L","), std::nullopt) << bad;

    TExtIniFile ini;
    ini.WriteFloat(L"App", L"InstallDateT", 41234.75);
    EXPECT_EQ(ini.ReadFloat(L"App", L"InstallDateT", 0), 41234.75);
    EXPECT_EQ(ini.ReadString(L"App", L"InstallDateT", L""), FormatFloat(41234.75, tarvo::platform::DecimalSeparator()));
    EXPECT_EQ(ini.ReadFloat(L"App", L"missing", 2.5), 2.5);
}

TEST(ExtIniFile, IntegersAreStrictDecimalText) {
    const struct {
        const wchar_t* text;
        std::optional<long long> value;
    } cases[] = {
        {L"0", 0},
        {L" 42 ", 42},
        {L"+7", 7},
        {L"-9223372036854775808", -9223372036854775807LL - 1},
        {L"9223372036854775807", 9223372036854775807LL},
        {L"9223372036854775808", std::nullopt},
        {L"", std::nullopt},
        {L"-", std::nullopt},
        {L"12abc", std::nullopt},
        {L"0x10", std::nullopt},
        {L"1 2", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << c.text;
}

TEST(ExtIniFile, FilesInAnyEncodingAreSavedAsUtf16WithMark) {
    ScratchFolder folder;
    const std::wstring normalised = L"[Größe]\r\nName=Café\r\n\r\n";
    const struct {
        const wchar_t* name;
        std::string bytes;
    } inputs[] = {
        {L"utf8.ini", "\xEF\xBB\xBF[ Gr\xC3\xB6\xC3\x9F" "e ]\nName = Caf\xC3\xA9\n"},
        {L"utf16.ini", Utf16Le(L"; cache\r\n[Größe]\r\n  Name=Café\r\n")},
        {L"ansi.ini", tarvo::platform::WideToMultiByte(L"[Größe]\r\nName=Café", CP_ACP)},
    };
    for (const auto& input : inputs) {
        const auto path = folder.MakeFile(input.name, input.bytes);
        TExtIniFile ini;
        ASSERT_TRUE(ini.LoadFromFile(path)) << input.name;
        EXPECT_EQ(ini.ReadString(L"GRÖßE", L"name", L"-"), L"Café") << input.name;
        const auto saved = folder.PathOf(std::wstring(L"saved-") + input.name);
        ASSERT_TRUE(ini.SaveToFile(saved));
        EXPECT_EQ(tarvo::platform::ReadFileBytes(saved), Utf16Le(normalised)) << input.name;

        // And the saved file reads back to the same document.
        TExtIniFile again;
        ASSERT_TRUE(again.LoadFromFile(saved));
        EXPECT_EQ(again.SaveToText(), normalised);
    }
}

TEST(ExtIniFile, MissingFileLeavesTheDocumentAndUnwritableFileFails) {
    ScratchFolder folder;
    TExtIniFile ini;
    ini.WriteString(L"a", L"b", L"c");
    EXPECT_FALSE(ini.LoadFromFile(folder.PathOf(L"missing.ini")));
    EXPECT_EQ(ini.ReadString(L"a", L"b", L""), L"c");
    EXPECT_FALSE(ini.SaveToFile(folder.PathOf(L"no\\such\\folder.ini")));
    // An empty document is written as the mark alone.
    TExtIniFile empty;
    ASSERT_TRUE(empty.SaveToFile(folder.PathOf(L"empty.ini")));
    EXPECT_EQ(tarvo::platform::ReadFileBytes(folder.PathOf(L"empty.ini")), std::string("\xFF\xFE"));
}
