#include "language/translation.h"

#include <gtest/gtest.h>

#include <memory>

#include "language/language.h"
#include "language_fixture.h"

using namespace tarvo::language;
using tarvo::test::LanguageFolder;

namespace {

// A control as the translation sees it: texts, a log of writes, and ways to fail.
struct FakeControl {
    TextList texts;
    int writes = 0;
    bool failRead = false;
    bool failWrite = false;
    bool throwOnWrite = false;
};

TranslationTarget Bind(const std::wstring& name, TranslationKind kind, FakeControl& control) {
    return {name, kind,
            [&control]() -> std::optional<TextList> {
                if (control.failRead) return std::nullopt;
                return control.texts;
            },
            [&control](const TextList& texts) {
                if (control.throwOnWrite) throw std::runtime_error("control went away");
                if (control.failWrite) return false;
                control.texts = texts;
                ++control.writes;
                return true;
            }};
}

const std::wstring kGerman = L"[Uninstaller_frmLog]\r\n"
                             L"RdImageButton_Delete.Caption=Löschen\r\n"
                             L"rdimagebutton_delete.hint=Ausgewählte Datei löschen\r\n"
                             L"ListView_Log.Columns[0].Caption=Datei\r\n"
                             L"ListView_Log.Columns[2].Caption=Datum\r\n"
                             L"Tree_Result.Items[1].Caption=Registrierung\r\n"
                             L"Label_Empty.Caption=\r\n";

}  // namespace

TEST(TranslationKey, KeyShapes) {
    const struct {
        TranslationKind kind;
        std::size_t index;
        const wchar_t* expected;
    } cases[] = {
        {TranslationKind::Caption, 0, L"RdImageButton_Delete.Caption"},
        {TranslationKind::Caption, 7, L"RdImageButton_Delete.Caption"},
        {TranslationKind::Hint, 0, L"RdImageButton_Delete.Hint"},
        {TranslationKind::Items, 0, L"RdImageButton_Delete.Items[0].Caption"},
        {TranslationKind::Items, 12, L"RdImageButton_Delete.Items[12].Caption"},
        {TranslationKind::Columns, 3, L"RdImageButton_Delete.Columns[3].Caption"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TranslationKey(L"RdImageButton_Delete", c.kind, c.index), c.expected) << c.expected;
}

class TranslationTest : public ::testing::Test {
protected:
    TranslationTest() {
        files.Write(L"German", kGerman);
        language.SetFolder(files.path());
    }
    LanguageFolder files;
    TLanguage language;
    FakeControl button{{L"Delete"}};
    FakeControl hint{{L"Delete the selected file"}};
    FakeControl columns{{L"File", L"Size", L"Date"}};
    FakeControl tree{{L"Files", L"Registry", L"Values"}};
    FakeControl empty{{L"was here"}};
    FakeControl untouched{{L"Keep"}};

    std::vector<TranslationTarget> Targets() {
        std::vector<TranslationTarget> targets;
        targets.push_back(Bind(L"RdImageButton_Delete", TranslationKind::Caption, button));
        targets.push_back(Bind(L"RdImageButton_Delete", TranslationKind::Hint, hint));
        targets.push_back(Bind(L"ListView_Log", TranslationKind::Columns, columns));
        targets.push_back(Bind(L"Tree_Result", TranslationKind::Items, tree));
        targets.push_back(Bind(L"Label_Empty", TranslationKind::Caption, empty));
        targets.push_back(Bind(L"Label_Other", TranslationKind::Caption, untouched));
        return targets;
    }
};

TEST_F(TranslationTest, EachKindReadsItsKeysAndKeepsWhatIsMissing) {
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    auto targets = Targets();
    EXPECT_TRUE(language.TranslateComponent(L"frmLog", targets));
    EXPECT_EQ(button.texts, TextList{L"Löschen"});
    EXPECT_EQ(hint.texts, TextList{L"Ausgewählte Datei löschen"});
    EXPECT_EQ(columns.texts, (TextList{L"Datei", L"Size", L"Datum"}));
    EXPECT_EQ(tree.texts, (TextList{L"Files", L"Registrierung", L"Values"}));
    EXPECT_EQ(empty.texts, TextList{L""});
    EXPECT_EQ(untouched.texts, TextList{L"Keep"});
    EXPECT_EQ(untouched.writes, 0);  // unchanged controls are not rewritten

    // The section is the window's own: another window name finds nothing to change.
    FakeControl other{{L"Delete"}};
    std::vector<TranslationTarget> elsewhere{Bind(L"RdImageButton_Delete", TranslationKind::Caption, other)};
    EXPECT_TRUE(language.TranslateComponent(L"frmOther", elsewhere));
    EXPECT_EQ(other.texts, TextList{L"Delete"});
    // A window without a name is skipped.
    EXPECT_TRUE(language.TranslateComponent(L"", elsewhere));
    EXPECT_EQ(other.writes, 0);
}

TEST_F(TranslationTest, NoLanguageLeavesEveryText) {
    auto targets = Targets();
    EXPECT_TRUE(language.TranslateComponent(L"frmLog", targets));
    EXPECT_EQ(button.texts, TextList{L"Delete"});
    EXPECT_EQ(columns.texts, (TextList{L"File", L"Size", L"Date"}));
}

TEST_F(TranslationTest, TheFirstFailingControlEndsTheWindowSilently) {
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    const struct {
        const char* what;
        void (*breakIt)(FakeControl&);
    } cases[] = {
        {"unreadable", [](FakeControl& c) { c.failRead = true; }},
        {"refuses the text", [](FakeControl& c) { c.failWrite = true; }},
        {"throws", [](FakeControl& c) { c.throwOnWrite = true; }},
    };
    for (const auto& c : cases) {
        button = {{L"Delete"}};
        columns = {{L"File", L"Size", L"Date"}};
        c.breakIt(hint);
        auto targets = Targets();
        EXPECT_FALSE(language.TranslateComponent(L"frmLog", targets)) << c.what;
        EXPECT_EQ(button.texts, TextList{L"Löschen"}) << c.what;  // before the failure: done
        EXPECT_EQ(columns.texts, (TextList{L"File", L"Size", L"Date"})) << c.what;  // after: untouched
        hint = {{L"Delete the selected file"}};
    }
    std::vector<TranslationTarget> unbound{{L"Label_X", TranslationKind::Caption, {}, {}}};
    EXPECT_FALSE(language.TranslateComponent(L"frmLog", unbound));
}

TEST_F(TranslationTest, SwitchingToAPartialLanguageFallsBackToTheDesignTexts) {
    files.Write(L"Partial", L"[Uninstaller_frmLog]\r\nListView_Log.Columns[1].Caption=Taille\r\n");
    auto targets = Targets();
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    ASSERT_TRUE(language.TranslateComponent(L"frmLog", targets));
    ASSERT_EQ(button.texts, TextList{L"Löschen"});

    ASSERT_TRUE(language.LoadLanguage(L"Partial"));
    ASSERT_TRUE(language.TranslateComponent(L"frmLog", targets));
    // Not left in German: the window's own English shows where the language says nothing.
    EXPECT_EQ(button.texts, TextList{L"Delete"});
    EXPECT_EQ(empty.texts, TextList{L"was here"});
    EXPECT_EQ(columns.texts, (TextList{L"File", L"Taille", L"Date"}));

    // Items added after the design have no design text; they keep what they show.
    tree.texts = {L"Files", L"Registry", L"Values", L"Added later"};
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    ASSERT_TRUE(language.TranslateComponent(L"frmLog", targets));
    EXPECT_EQ(tree.texts, (TextList{L"Files", L"Registrierung", L"Values", L"Added later"}));
}

TEST_F(TranslationTest, TranslateAllReachesEveryLiveWindow) {
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    FakeControl first{{L"Delete"}};
    FakeControl second{{L"Delete"}};
    TTranslatableWindow log(language, L"frmLog");
    log.Add(Bind(L"RdImageButton_Delete", TranslationKind::Caption, first));
    {
        auto closed = std::make_unique<TTranslatableWindow>(language, L"frmLog");
        closed->Add(Bind(L"RdImageButton_Delete", TranslationKind::Caption, second));
        EXPECT_EQ(closed->Name(), L"frmLog");
    }
    language.TranslateAll();
    EXPECT_EQ(first.texts, TextList{L"Löschen"});
    EXPECT_EQ(second.writes, 0);  // its window is gone: never touched

    EXPECT_TRUE(log.Translate());
    EXPECT_EQ(first.writes, 1);
}
