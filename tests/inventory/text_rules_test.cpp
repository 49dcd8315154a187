// The text rules of the inventory and the command analysis, driven directly.
#include <gtest/gtest.h>

#include "inventory/command_text.h"
#include "common/date_time.h"
#include "inventory/entry_rules.h"
#include "inventory/inventory.h"
#include "common/text.h"

using namespace tarvo::common;
using namespace tarvo::inventory;

namespace {

std::wstring Separator() {
    wchar_t buffer[8] = {};
    return ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) > 1 ? std::wstring(1, buffer[0]) : L".";
}

}  // namespace

TEST(SizeText, UnitStepsAtEach1024) {
    const std::wstring s = Separator();
    const struct {
        std::int64_t bytes;
        std::wstring text;
    } cases[] = {
        {0, L"0 Byte"},
        {1023, L"1023 Byte"},
        {1024, L"1" + s + L"00 KB"},
        {1536, L"1" + s + L"50 KB"},
        {1024LL * 1024 - 1, L"1024" + s + L"00 KB"},  // rounds up, but the step was not taken
        {1024LL * 1024, L"1" + s + L"00 MB"},
        {5LL * 1024 * 1024 * 1024, L"5" + s + L"00 GB"},
        {3000LL * 1024 * 1024 * 1024, L"3000" + s + L"00 GB"},
    };
    for (const auto& c : cases) EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
}

TEST(DateTime, OleDateRoundTripsThroughSystemTime) {
    EXPECT_EQ(DateFromParts(1899, 12, 30), 0.0);
    EXPECT_EQ(DateFromParts(2013, 5, 12), 41406.0);
    EXPECT_EQ(DateFromParts(2000, 2, 29), 36585.0);
    EXPECT_FALSE(DateFromParts(1900, 2, 29));
    EXPECT_FALSE(DateFromParts(2013, 13, 1));

    const auto time = DateToSystemTime(41406.75);
    ASSERT_TRUE(time);
    EXPECT_EQ(time->wYear, 2013);
    EXPECT_EQ(time->wMonth, 5);
    EXPECT_EQ(time->wDay, 12);
    EXPECT_EQ(time->wHour, 18);
    EXPECT_EQ(time->wDayOfWeek, 0);  // a Sunday
    EXPECT_EQ(SystemTimeToDate(*time), 41406.75);
    EXPECT_EQ(IsoLocalDateTime(41406.75), L"2013-05-12T18:00:00");
    EXPECT_FALSE(DateToSystemTime(1e12));
}

// Raw "InstallDate" texts as installers write them, good and bad.
TEST(InstallDate, DashesGoInBeforeTheSeventhAndFifthCharacter) {
    const auto may12 = DateFromParts(2013, 5, 12);
    const struct {
        const wchar_t* raw;
        std::optional<TDateTime> date;
    } cases[] = {
        {L"20130512", may12},
        {L"2013-05-12", std::nullopt},  // already has dashes: the inserted ones break it
        {L"0", std::nullopt},
        {L"99999999", std::nullopt},
        {L"20130230", std::nullopt},
        {L"2013051", DateFromParts(2013, 5, 1)},
        {L"201305123", std::nullopt},
        {L"12.05.2013", std::nullopt},
        {L"2013051x", std::nullopt},
        {L"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInstallDate(c.raw), c.date) << c.raw;
}

TEST(EntryRules, MsiInstallCommandBecomesRemoveCommand) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"msiexec.exe /i{1234}", L"MsiExec.exe /X{1234}"},
        {L"MSIEXEC.EXE /I {1234} /qb", L"MsiExec.exe /X {1234} /qb"},
        {L"C:\\x\\MsiExec.exe /I{A} and msiexec.exe /i{B}", L"C:\\x\\MsiExec.exe /X{A} and MsiExec.exe /X{B}"},
        {L"MsiExec.exe /X{1234}", L"MsiExec.exe /X{1234}"},
        {L"msiexec /i{1234}", L"msiexec /i{1234}"},
    };
    for (const auto& c : cases) EXPECT_EQ(RewriteMsiInstallCommand(c.in), c.out) << c.in;
}

TEST(EntryRules, ProductCodeKeysGetARemoveCommand) {
    const std::wstring base = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const std::wstring guid = L"{12345678-90AB-CDEF-1234-567890ABCDEF}";
    EXPECT_EQ(MsiCommandFromKeyPath(base + guid), L"MsiExec.exe /X " + guid);
    EXPECT_EQ(MsiCommandFromKeyPath(base + L"PlainName"), L"");
    EXPECT_EQ(MsiCommandFromKeyPath(base + guid + L"\\Sub"), L"");  // the last 38 hold "}" only
    EXPECT_EQ(MsiCommandFromKeyPath(guid.substr(1)), L"");          // 37 characters: too short
}

TEST(EntryRules, Classification) {
    EXPECT_TRUE(IsWindowsRegistrationCommand(L"regsvr32 /u x.dll", L"Microsoft Corporation"));
    EXPECT_FALSE(IsWindowsRegistrationCommand(L"RegSvr32 /u x.dll", L"Microsoft Corporation"));
    EXPECT_FALSE(IsWindowsRegistrationCommand(L" regsvr32 /u x.dll", L"Microsoft Corporation"));
    EXPECT_FALSE(IsWindowsRegistrationCommand(L"regsvr32 /u x.dll", L"Contoso"));

    EXPECT_TRUE(IsUpdateEntry(L"Security Update for Windows (KB2533623)", L""));
    EXPECT_TRUE(IsUpdateEntry(L"Office service pack 2", L"microsoft"));
    EXPECT_FALSE(IsUpdateEntry(L"Office Service Pack 2", L"Contoso"));
    EXPECT_FALSE(IsUpdateEntry(L"Tool KB2533623", L"Microsoft"));

    EXPECT_TRUE(IsToolbarEntry(L"Ask-Toolbar", L"x"));
    EXPECT_TRUE(IsToolbarEntry(L"Ask Tool bar", L"x"));
    EXPECT_TRUE(IsToolbarEntry(L"Plain", L"C:\\x\\v9tarvo.exe /u"));
    EXPECT_FALSE(IsToolbarEntry(L"Toolkit", L"x"));
}

namespace {

std::unique_ptr<TSoftInfo> Entry(const wchar_t* name, bool systemComponent = false,
                                 const wchar_t* command = L"x.exe") {
    auto e = std::make_unique<TSoftInfo>();
    e->DisplayName = name;
    e->SystemComponent = systemComponent;
    e->UninstallString = command;
    e->SizeText = L"0 Byte";
    return e;
}

}  // namespace

TEST(MergeEntries, FillsOnlyEmptyFieldsOfTheKeptEntry) {
    TSoftInfo kept, dropped;
    kept.Publisher = L"Kept";
    kept.SizeText = L"0 Byte";
    dropped.Publisher = L"Dropped";
    dropped.HelpLink = L"http://help";
    dropped.Size = 2048;
    dropped.SizeText = L"2.00 KB";
    dropped.InstallDate = 41406;
    dropped.InstallDateText = L"12/05/2013";
    dropped.IconIndex = 3;
    dropped.Readme = L"C:\\readme.txt";
    dropped.DisplayIcon = L"C:\\a.ico";
    MergeEntries(kept, dropped);
    EXPECT_EQ(kept.Publisher, L"Kept");
    EXPECT_EQ(kept.HelpLink, L"http://help");
    EXPECT_EQ(kept.Size, 2048);
    EXPECT_EQ(kept.SizeText, L"2.00 KB");  // travels with the size
    EXPECT_EQ(kept.InstallDate, 41406);
    EXPECT_EQ(kept.InstallDateText, L"12/05/2013");
    EXPECT_EQ(kept.IconIndex, 3);
    EXPECT_EQ(kept.Readme, L"C:\\readme.txt");
    EXPECT_EQ(kept.DisplayIcon, L"C:\\a.ico");
}

TEST(MergePass, TwinsAndSystemComponents) {
    TSoftList list;
    list.push_back(Entry(L"Foo"));
    list.push_back(Entry(L"Bar", true));
    list.push_back(Entry(L"FOO"));
    list.push_back(Entry(L"bar"));
    list.push_back(Entry(L"foo"));
    list.push_back(Entry(L"Msi Part", true, L"msiexec.exe /x{1}"));
    list.push_back(Entry(L"Own", true));
    list[2]->Publisher = L"From the twin";
    MergePass(list);

    // The first Foo stays and gathers what the later twins had.
    EXPECT_FALSE(list[0]->Hidden);
    EXPECT_TRUE(list[2]->Hidden);
    EXPECT_TRUE(list[4]->Hidden);
    EXPECT_EQ(list[0]->Publisher, L"From the twin");
    // A system component gives way to its later twin.
    EXPECT_TRUE(list[1]->Hidden);
    EXPECT_FALSE(list[3]->Hidden);
    // An installer-managed system component is hidden even alone; another one is not.
    EXPECT_TRUE(list[5]->Hidden);
    EXPECT_FALSE(list[6]->Hidden);

    // A second run (the next view's pass) changes nothing already decided.
    MergePass(list);
    EXPECT_FALSE(list[0]->Hidden);
    EXPECT_FALSE(list[3]->Hidden);
}

TEST(MergePass, SystemComponentWithTwoTwinsFillsOnlyTheFirst) {
    TSoftList list;
    list.push_back(Entry(L"Same", true));
    list.push_back(Entry(L"same"));
    list.push_back(Entry(L"SAME"));
    list[0]->Readme = L"r";
    MergePass(list);
    EXPECT_TRUE(list[0]->Hidden);
    EXPECT_FALSE(list[1]->Hidden);
    EXPECT_TRUE(list[2]->Hidden);
    EXPECT_EQ(list[1]->Readme, L"r");
}

TEST(MergePass, NamesOutsideTheBasicPlaneCompareWithoutCase) {
    TSoftList list;
    list.push_back(Entry(L"\U0001F600 App \u00E9"));
    list.push_back(Entry(L"\U0001F600 APP \u00C9"));
    MergePass(list);
    EXPECT_FALSE(list[0]->Hidden);
    EXPECT_TRUE(list[1]->Hidden);
}

// Each rundll removal form, on the same inputs.
TEST(CleanCommandText, RundllWordsPerRemovalForm) {
    const struct {
        const wchar_t* text;
        const wchar_t* anywhere;
        const wchar_t* firstOrAfterBlank;
        const wchar_t* firstOrBlankAnywhere;
    } cases[] = {
        {L"RUNDLL32.EXE C:\\A\\U.DLL,X", L"C:\\A\\U.DLL,X", L"C:\\A\\U.DLL,X", L"C:\\A\\U.DLL,X"},
        {L"C:\\WIN\\RUNDLL32.EXE C:\\A\\U.DLL", L"C:\\WIN\\ C:\\A\\U.DLL", L"C:\\WIN\\RUNDLL32.EXE C:\\A\\U.DLL",
         L"C:\\WIN\\RUNDLL32.EXE C:\\A\\U.DLL"},
        {L"X RUNDLL C:\\A", L"X  C:\\A", L"X  C:\\A", L"X  C:\\A"},
        {L"rundll32.exe c:\\a\\u.dll", L"rundll32.exe c:\\a\\u.dll", L"rundll32.exe c:\\a\\u.dll",
         L"rundll32.exe c:\\a\\u.dll"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CleanCommandText(c.text, RundllRemoval::Anywhere), c.anywhere) << c.text;
        EXPECT_EQ(CleanCommandText(c.text, RundllRemoval::FirstOrAfterBlank), c.firstOrAfterBlank) << c.text;
        EXPECT_EQ(CleanCommandText(c.text, RundllRemoval::FirstOrBlankAnywhere), c.firstOrBlankAnywhere) << c.text;
    }
    // " word" at the very first character counts only for the anywhere-blank form.
    EXPECT_EQ(CleanCommandText(L" RUNDLL32 C:\\A", RundllRemoval::FirstOrAfterBlank), L"RUNDLL32 C:\\A");
    EXPECT_EQ(CleanCommandText(L" RUNDLL32 C:\\A", RundllRemoval::FirstOrBlankAnywhere), L"C:\\A");
}

TEST(CleanCommandText, QuotesPrefixesAndWrappers) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"\"C:\\Program Files\\App\\unins000.exe\" /SILENT", L"C:\\Program Files\\App\\unins000.exe /SILENT"},
        {L"\\??\\C:\\\\App\\\\x.exe", L"C:\\App\\x.exe"},
        {L"C:\\WINDOWS\\ST6UNST.EXE -N \"C:\\APP\\ST6UNST.LOG\"", L"C:\\APP\\ST6UNST.LOG"},
        {L"DPINST.EXE /U C:\\WINDOWS\\INF\\OEM12.INF /S", L"C:\\WINDOWS\\INF\\OEM12.INF"},
        {L"C:\\X\\DPINST64.EXE /U C:\\D\\A.INF /S /D", L"C:\\D\\A.INF"},
        {L"DPINST.EXE /S", L"DPINST.EXE /S"},  // nothing to cut to: left alone
        {L"  \t", L""},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(CleanCommandText(c.in, RundllRemoval::Anywhere), c.out) << c.in;
}

TEST(CutAtExecutable, EarliestExtensionWins) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"C:\\App\\unins000.exe /SILENT", L"C:\\App\\unins000.exe"},
        {L"C:\\PROGRA~1\\APP\\UNINST.DLL,REMOVE", L"C:\\PROGRA~1\\APP\\UNINST.DLL"},
        {L"C:\\a.bat x.exe", L"C:\\a.bat"},
        {L"C:\\App\\readme.txt", L"C:\\App\\readme.txt"},
        {L"C:\\x.exe", L"C:\\x.exe"},
    };
    for (const auto& c : cases) EXPECT_EQ(CutAtExecutable(c.in), c.out) << c.in;
}

TEST(PackedProductCode, ReversesGroupsAndSwapsPairs) {
    EXPECT_EQ(PackedProductCode(L"{12345678-90AB-CDEF-1234-567890ABCDEF}"), L"87654321BA09FEDC2143658709BADCFE");
    EXPECT_EQ(PackedProductCode(L"12345678-90AB-CDEF-1234-567890ABCDEF"), L"");
    EXPECT_EQ(PackedProductCode(L""), L"");
}

TEST(IconIndexFromText, SignedDecimalOrZero) {
    const struct {
        const wchar_t* in;
        int out;
    } cases[] = {{L"1", 1}, {L" -101 ", -101}, {L"+7", 7}, {L"x", 0}, {L"", 0}, {L"-", 0}, {L"99999999999", 0}};
    for (const auto& c : cases) EXPECT_EQ(IconIndexFromText(c.in), c.out) << c.in;
}

TEST(MainFileText, CommandIconReadmeOrToolbarFile) {
    TSoftInfo e;
    e.UninstallString = L"c:\\app\\u.exe";
    e.DisplayIcon = L"c:\\app\\icon.exe";
    EXPECT_EQ(MainFileText(e), L"C:\\APP\\U.EXE");
    e.UninstallString = kToolbarMarker;
    EXPECT_EQ(MainFileText(e), L"C:\\APP\\ICON.EXE");
    e.UninstallString = L"MsiExec.exe /X{1}";
    e.Readme = L"C:\\App\\readme.txt";
    EXPECT_EQ(MainFileText(e), L"C:\\App\\readme.txt");  // as stored
    e.IsToolbar = true;
    e.ToolbarFile = L"C:\\ext\\install.rdf";
    EXPECT_EQ(MainFileText(e), L"C:\\App\\readme.txt");
    EXPECT_EQ(MainFileText(e, true), L"C:\\ext\\install.rdf");
}

TEST(ShellCommandMacros, CaseSensitiveFolderMacros) {
    EXPECT_EQ(ExpandShellCommandMacros(L"%WINDOWS%\\a %SYSTEM%\\b %APP%\\c %APP%/d %app%\\e", L"C:\\W", L"C:\\W\\S",
                                       L"C:\\P"),
              L"C:\\W\\a C:\\W\\S\\b C:\\P\\c C:\\P\\d %app%\\e");
}

TEST(TextUtil, TrimAndCase) {
    EXPECT_EQ(Trim(L"\t x y \r\n"), L"x y");
    EXPECT_EQ(UpperCase(L"stra\u00DFe \u00E9"), L"STRA\u00DFE \u00C9");
    EXPECT_EQ(ReplaceAllIgnoreCase(L"aXbxc", L"x", L"--"), L"a--b--c");
    EXPECT_EQ(RemoveFirst(L"a;b;c", L";"), L"ab;c");
}

// Plain ASCII is mapped without the system; the result must be the system's all the same,
// and letters are told from the punctuation one bit away from them ('[' and '{').
TEST(TextUtil, AsciiCaseIsTheSystemsInvariantCase) {
    std::wstring ascii;
    for (wchar_t c = 1; c < 0x80; ++c) ascii += c;
    for (const DWORD flags : {DWORD{LCMAP_UPPERCASE}, DWORD{LCMAP_LOWERCASE}}) {
        std::wstring system(ascii.size(), L'\0');
        const int size = static_cast<int>(ascii.size());
        ASSERT_EQ(::LCMapStringW(LOCALE_INVARIANT, flags, ascii.data(), size, system.data(), size), size);
        EXPECT_EQ(flags == LCMAP_UPPERCASE ? UpperCase(ascii) : LowerCase(ascii), system);
    }
    EXPECT_TRUE(EqualsIgnoreCase(L"Program Files\\Ab", L"pROGRAM fILES\\aB"));
    EXPECT_FALSE(EqualsIgnoreCase(L"a[", L"A{"));
    EXPECT_TRUE(EqualsIgnoreCase(L"\u00E9t\u00E9", L"\u00C9T\u00C9"));
    using tarvo::platform::LowerCaseContains;
    EXPECT_TRUE(LowerCaseContains(L"\"C:\\Prog\\X\\a.exe\"", L"c:\\prog\\x\\"));
    EXPECT_FALSE(LowerCaseContains(L"C:\\Prog\\X", L"c:\\prog\\x\\"));
    EXPECT_TRUE(LowerCaseContains(L"D:\\\u00C9t\u00C9\\", L"\u00E9t\u00E9\\"));
}
