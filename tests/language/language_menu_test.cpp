#include "language/language_menu.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "language/language.h"
#include "language_fixture.h"
#include "settings/main_ini.h"

using namespace tarvo::language;
using tarvo::test::LanguageFolder;

namespace {

class LanguageMenuTest : public ::testing::Test {
protected:
    LanguageMenuTest() : mainIni(files.scratch().PathOf(L"Main.ini")) {
        files.Write(L"English", L"[Main]\r\nDisplayName=English\r\n"
                                L"[Uninstaller_M]\r\nClose=Close\r\n"
                                L"[Uninstaller_frmTest]\r\nButton_Ok.Caption=OK\r\n");
        files.Write(L"German", L"[Main]\r\nDisplayName=Deutsch\r\n"
                               L"[Uninstaller_M]\r\nClose=Schließen\r\n"
                               L"[Uninstaller_frmTest]\r\nButton_Ok.Caption=Gut\r\n");
        files.Write(L"Nameless", L"[Uninstaller_M]\r\nClose=Zamknij\r\n");
        language.SetFolder(files.path());
    }

    std::size_t IndexOf(const TLanguageDisplayName& menu, const std::wstring& hint) const {
        const auto& items = menu.Items();
        const auto found = std::find_if(items.begin(), items.end(), [&](const auto& i) { return i.hint == hint; });
        return static_cast<std::size_t>(found - items.begin());
    }

    LanguageFolder files;
    TLanguage language;
    tarvo::settings::TMainIni mainIni;
};

}  // namespace

TEST_F(LanguageMenuTest, BuildsOnceWithTheCurrentLanguageChecked) {
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    int pumped = 0;
    TLanguageDisplayName menu(language, mainIni, files.path());
    EXPECT_FALSE(menu.IsBuilt());
    ASSERT_TRUE(menu.BuildMenu([&] { ++pumped; }));
    EXPECT_TRUE(menu.IsBuilt());
    EXPECT_EQ(pumped, 3);

    std::vector<TLanguageMenuItem> items = menu.Items();
    std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.hint < b.hint; });
    ASSERT_EQ(items.size(), 3u);
    const struct {
        const wchar_t* caption;
        const wchar_t* hint;
        bool checked;
    } expected[] = {
        {L"English", L"English", false},
        {L"Deutsch", L"German", true},
        {L"Nameless", L"Nameless", false},  // no display name: listed under its file name
    };
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].caption, expected[i].caption);
        EXPECT_EQ(items[i].hint, expected[i].hint);
        EXPECT_EQ(items[i].checked, expected[i].checked) << expected[i].hint;
    }
    EXPECT_EQ(menu.CheckedIndex(), IndexOf(menu, L"German"));

    // A second build changes nothing, even when the folder changed meanwhile.
    files.Write(L"French", L"[Main]\r\nDisplayName=Français\r\n");
    EXPECT_FALSE(menu.BuildMenu([&] { ++pumped; }));
    EXPECT_EQ(menu.Items().size(), 3u);
    EXPECT_EQ(pumped, 3);
}

TEST_F(LanguageMenuTest, NothingCheckedWhenNoLanguageIsLoaded) {
    TLanguageDisplayName menu(language, mainIni, files.path());
    ASSERT_TRUE(menu.BuildMenu());
    EXPECT_FALSE(menu.CheckedIndex());
    for (const auto& item : menu.Items()) EXPECT_FALSE(item.checked);
}

TEST_F(LanguageMenuTest, ClickingAnotherLanguageSwitchesEverything) {
    ASSERT_TRUE(language.LoadLanguage(L"English"));
    language.LoadDefaultTexts();
    TextList button{L"OK"};
    TTranslatableWindow window(language, L"frmTest");
    window.Add({L"Button_Ok", TranslationKind::Caption, [&]() -> std::optional<TextList> { return button; },
                [&](const TextList& texts) {
                    button = texts;
                    return true;
                }});
    int refreshed = 0;
    std::wstring shownDuringRefresh;
    TLanguageDisplayName menu(language, mainIni, files.path(), [&] {
        ++refreshed;
        shownDuringRefresh = language.Texts().Close;  // shared texts are ready by then
    });
    ASSERT_TRUE(menu.BuildMenu());

    ASSERT_TRUE(menu.Click(IndexOf(menu, L"German")));
    EXPECT_EQ(mainIni.Language(), L"German");
    EXPECT_EQ(language.CurrentName(), L"German");
    EXPECT_EQ(button, TextList{L"Gut"});
    EXPECT_EQ(shownDuringRefresh, L"Schließen");
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(menu.CheckedIndex(), IndexOf(menu, L"German"));
    EXPECT_EQ(std::count_if(menu.Items().begin(), menu.Items().end(), [](const auto& i) { return i.checked; }), 1);

    // And back again.
    ASSERT_TRUE(menu.Click(IndexOf(menu, L"English")));
    EXPECT_EQ(mainIni.Language(), L"English");
    EXPECT_EQ(button, TextList{L"OK"});
    EXPECT_EQ(language.Texts().Close, L"Close");
    EXPECT_EQ(refreshed, 2);
}

TEST_F(LanguageMenuTest, ClicksThatDoNothing) {
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    int refreshed = 0;
    TLanguageDisplayName menu(language, mainIni, files.path(), [&] { ++refreshed; });
    ASSERT_TRUE(menu.BuildMenu());
    // The checked language again, or no item at all: Main.ini is not even written.
    EXPECT_FALSE(menu.Click(IndexOf(menu, L"German")));
    EXPECT_FALSE(menu.Click(menu.Items().size()));
    EXPECT_EQ(refreshed, 0);
    EXPECT_EQ(mainIni.ReadString(L"Main", L"Language", L"<unset>"), L"<unset>");
}

TEST_F(LanguageMenuTest, AFailingRefreshDoesNotUndoTheSwitch) {
    ASSERT_TRUE(language.LoadLanguage(L"English"));
    TLanguageDisplayName menu(language, mainIni, files.path(), [] { throw std::runtime_error("page busy"); });
    ASSERT_TRUE(menu.BuildMenu());
    EXPECT_TRUE(menu.Click(IndexOf(menu, L"German")));
    EXPECT_EQ(language.CurrentName(), L"German");
    EXPECT_EQ(menu.CheckedIndex(), IndexOf(menu, L"German"));
}
