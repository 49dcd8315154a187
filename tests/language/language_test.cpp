#include "language/language.h"

#include <gtest/gtest.h>

#include "language_fixture.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "settings/main_ini.h"

using namespace tarvo::language;
using tarvo::test::LanguageFolder;

namespace {

const std::wstring kEnglish = L"[Main]\r\nDisplayName=English\r\n"
                              L"[Uninstaller_M]\r\nClose=Close\r\nRemoveEntry_ASK=Remove it?\r\n";
const std::wstring kGerman = L"[Main]\r\nDisplayName=Deutsch\r\n"
                             L"[Uninstaller_M]\r\nClose=Schließen\r\nLog_M=Protokoll\r\n";

class LanguageTest : public ::testing::Test {
protected:
    LanguageTest() { language.SetFolder(files.path()); }
    LanguageFolder files;
    TLanguage language;
};

}  // namespace

TEST_F(LanguageTest, NothingLoadedAnswersWithTheBuiltInText) {
    EXPECT_FALSE(language.IsLoaded());
    EXPECT_EQ(language.CurrentName(), L"");
    EXPECT_EQ(language.GetText(L"Close", L"built-in"), L"built-in");
    EXPECT_EQ(language.ReadText(L"Main", L"DisplayName", L"x"), L"x");
}

TEST_F(LanguageTest, LoadsTheChosenFileAndItsDisplayName) {
    files.Write(L"English", kEnglish);
    files.Write(L"German", kGerman);
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    EXPECT_EQ(language.CurrentName(), L"German");
    EXPECT_EQ(language.CurrentDisplayName(), L"Deutsch");
    EXPECT_EQ(language.GetText(L"Close", L"Close"), L"Schließen");
    EXPECT_EQ(language.ReadText(L"main", L"displayname", L""), L"Deutsch");

    // Loading another file replaces every message of the one before.
    ASSERT_TRUE(language.LoadLanguage(L"English"));
    EXPECT_EQ(language.GetText(L"Close", L"-"), L"Close");
    EXPECT_EQ(language.GetText(L"Log_M", L"Log"), L"Log");
    EXPECT_EQ(language.GetText(L"RemoveEntry_ASK", L"-"), L"Remove it?");
}

TEST_F(LanguageTest, UnknownOrUnreadableFilesFallBack) {
    // No file at all: nothing loads, every look-up keeps its built-in text.
    EXPECT_FALSE(language.LoadLanguage(L"German"));
    EXPECT_FALSE(language.IsLoaded());

    // The chosen file is missing: English stands in.
    files.Write(L"English", kEnglish);
    ASSERT_TRUE(language.LoadLanguage(L"Klingon"));
    EXPECT_EQ(language.CurrentName(), L"English");
    EXPECT_EQ(language.GetText(L"RemoveEntry_ASK", L"-"), L"Remove it?");

    // With German loaded and English gone, a missing choice leaves German in place.
    files.Write(L"German", kGerman);
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    ASSERT_TRUE(tarvo::platform::DeleteFileOf(files.path() + L"\\English.lng"));
    EXPECT_FALSE(language.LoadLanguage(L"Klingon"));
    EXPECT_EQ(language.CurrentName(), L"German");
    EXPECT_EQ(language.GetText(L"Close", L"Close"), L"Schließen");

    // A file that exists but cannot be read leaves the loaded language whole.
    const std::wstring french = files.Write(L"French", L"[Uninstaller_M]\r\nClose=Fermer\r\n");
    auto lock = tarvo::platform::CreateFileOf(french, GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_TRUE(lock);
    EXPECT_FALSE(language.LoadLanguage(L"French"));
    EXPECT_EQ(language.CurrentName(), L"German");
    EXPECT_EQ(language.GetText(L"Close", L"Close"), L"Schließen");
}

TEST_F(LanguageTest, MessageLookUpRules) {
    files.Write(L"Test", L"[Main]\r\n"
                         L"[uninstaller_m]\r\n"
                         L"removeentry_ask=lower-case key\r\n"
                         L"Close=\r\n"
                         L"Log_M =   spaced   \r\n"
                         L"Date_M=a=b\r\n"
                         L"Escapes=line\\none %s\r\n"
                         L"Dup=first\r\n"
                         L"DUP=second\r\n"
                         L"=nameless\r\n"
                         L"no equals sign\r\n"
                         L"[Uninstaller_frmOther]\r\n"
                         L"Select_All_M=not a message\r\n");
    ASSERT_TRUE(language.LoadLanguage(L"Test"));
    EXPECT_EQ(language.CurrentDisplayName(), L"Test");  // no DisplayName: the file's name
    const struct {
        const wchar_t* key;
        const wchar_t* expected;
    } cases[] = {
        {L"RemoveEntry_ASK", L"lower-case key"},
        {L"REMOVEENTRY_ASK", L"lower-case key"},
        {L"Close", L""},  // present and empty is an answer, not a miss
        {L"Log_M", L"spaced"},
        {L"Date_M", L"a=b"},
        {L"Escapes", L"line\\none %s"},  // no escapes are interpreted
        {L"dup", L"first"},
        {L"Select_All_M", L"default"},  // other sections are not messages
        {L"Missing", L"default"},
        {L"", L"default"},
        {L"no equals sign", L"default"},
    };
    for (const auto& c : cases) EXPECT_EQ(language.GetText(c.key, L"default"), c.expected) << c.key;
}

TEST_F(LanguageTest, AFileWithoutMessagesKeepsEveryBuiltInText) {
    files.WriteUtf8(L"Bare", "[Main]\r\nDisplayName=Gr\xC3\xBC\xC3\x9F" "e\r\n");
    ASSERT_TRUE(language.LoadLanguage(L"Bare"));
    EXPECT_EQ(language.CurrentDisplayName(), L"Grüße");
    EXPECT_EQ(language.GetText(L"Close", L"Close"), L"Close");
}

TEST_F(LanguageTest, SharedTextsFollowTheLoadedLanguage) {
    // Before any language, the shared texts are the built-in English ones.
    EXPECT_EQ(language.Texts().RemoveEntry_ASK, L"Are you sure to remove the selected program entry?");
    EXPECT_EQ(language.Texts().Delete_finished_M, L"Delete finished.");

    files.Write(L"German", kGerman);
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    EXPECT_EQ(language.Texts().Close, L"Close");  // only LoadDefaultTexts refreshes them
    language.LoadDefaultTexts();
    EXPECT_EQ(language.Texts().Close, L"Schließen");
    EXPECT_EQ(language.Texts().Log_M, L"Protokoll");
    EXPECT_EQ(language.Texts().WindowState_Max, L"Maximize");

    // Every shared variable is refreshed, not just some of them.
    std::wstring lines = L"[Uninstaller_M]\r\n";
    for (const auto& entry : SharedTextTable()) lines += std::wstring(entry.key) + L"=<" + entry.key + L">\r\n";
    files.Write(L"Marked", lines);
    ASSERT_TRUE(language.LoadLanguage(L"Marked"));
    language.LoadDefaultTexts();
    for (const auto& entry : SharedTextTable())
        EXPECT_EQ(language.Texts().*entry.field, std::wstring(L"<") + entry.key + L">") << entry.key;
}

TEST_F(LanguageTest, FolderRules) {
    TLanguage fresh;
    const std::wstring exe = tarvo::platform::GetModuleFilePath();
    EXPECT_EQ(fresh.Folder(), exe.substr(0, exe.rfind(L'\\')) + L"\\Language");
    EXPECT_EQ(fresh.AppName(), L"Uninstaller");
    fresh.SetFolder(L"C:\\Program Files\\Tarvo\\Language\\");
    EXPECT_EQ(fresh.Folder(), L"C:\\Program Files\\Tarvo\\Language");
    fresh.SetFolder(L"Language");
    EXPECT_EQ(fresh.Folder(), L"Language");
}

TEST_F(LanguageTest, ListsLanguagesWithDisplayNames) {
    files.Write(L"English", kEnglish);
    files.Write(L"German", kGerman);
    files.Write(L"Plain", L"[Uninstaller_M]\r\nClose=x\r\n");
    const std::wstring locked = files.Write(L"Locked", L"[Main]\r\nDisplayName=Never read\r\n");
    files.scratch().MakeFile(L"Language\\readme.txt", "not a language");
    files.scratch().MakeFile(L"Language\\Old.lngx", "not a language either");
    files.scratch().MakeFolder(L"Language\\Folder.lng");
    ASSERT_TRUE(language.LoadLanguage(L"German"));

    auto lock = tarvo::platform::CreateFileOf(locked, GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_TRUE(lock);
    language.ListLanguages(files.path() + L"\\", true);
    EXPECT_EQ(language.Folder(), files.path());

    // Directory order is the file system's; compare as pairs.
    std::vector<std::pair<std::wstring, std::wstring>> found;
    const auto& names = language.LanguageNames();
    const auto& displayNames = language.DisplayNames();
    ASSERT_EQ(names.size(), displayNames.size());
    for (std::size_t i = 0; i < names.size(); ++i) found.emplace_back(names[i], displayNames[i]);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::pair<std::wstring, std::wstring>>{
                         {L"English", L"English"}, {L"German", L"Deutsch"}, {L"Locked", L"Locked"}, {L"Plain", L"Plain"}}));
    // The loaded language is not disturbed by reading the others.
    EXPECT_EQ(language.CurrentName(), L"German");
    EXPECT_EQ(language.GetText(L"Close", L"-"), L"Schließen");
}

TEST_F(LanguageTest, NameListsScanOnlyWhenTheyMust) {
    files.Write(L"English", kEnglish);
    // The first question scans.
    EXPECT_EQ(language.LanguageNames(), std::vector<std::wstring>{L"English"});
    files.Write(L"German", kGerman);
    // Names are known, so asking again does not rescan...
    EXPECT_EQ(language.LanguageNames().size(), 1u);
    // ...but display names were never read, so asking for them rescans with them.
    EXPECT_EQ(language.DisplayNames().size(), 2u);
    EXPECT_EQ(language.LanguageNames().size(), 2u);
    // An empty folder gives empty lists.
    language.ListLanguages(files.scratch().MakeFolder(L"Empty"), true);
    EXPECT_TRUE(language.LanguageNames().empty());
    EXPECT_TRUE(language.DisplayNames().empty());
}

TEST(AppLanguage, StartsWithMainIniChoiceOrEnglish) {
    LanguageFolder files;
    files.Write(L"English", kEnglish);
    files.Write(L"German", kGerman);
    const tarvo::settings::TMainIni mainIni(files.scratch().PathOf(L"Main.ini"));

    // The language folder sits below the program folder, with or without its backslash.
    StartAppLanguage(files.scratch().path() + L"\\", mainIni);
    EXPECT_EQ(AppLanguage().Folder(), files.path());
    EXPECT_EQ(AppLanguage().CurrentName(), L"English");

    ASSERT_TRUE(mainIni.SetLanguage(L"German"));
    StartAppLanguage(files.scratch().path(), mainIni);
    EXPECT_EQ(AppLanguage().CurrentName(), L"German");
    EXPECT_EQ(GetText(L"Close", L"Close"), L"Schließen");
    EXPECT_EQ(SharedTexts().Close, L"Schließen");

    // A language whose file is gone: English, and Main.ini keeps what it said.
    ASSERT_TRUE(mainIni.SetLanguage(L"Gone"));
    StartAppLanguage(files.scratch().path(), mainIni);
    EXPECT_EQ(AppLanguage().CurrentName(), L"English");
    EXPECT_EQ(SharedTexts().Close, L"Close");
    EXPECT_EQ(mainIni.Language(), L"Gone");

    // Without a program folder the folder is relative.
    StartAppLanguage(L"", mainIni);
    EXPECT_EQ(AppLanguage().Folder(), L"Language");
}
