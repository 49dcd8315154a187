// The language files we ship, as the build puts them beside the executable.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "language/language.h"
#include "language/shared_texts.h"
#include "platform/text.h"
#include "settings/ext_ini_file.h"

using namespace tarvo::language;
using tarvo::settings::TExtIniFile;

namespace {

TExtIniFile Shipped(const std::wstring& name) {
    TExtIniFile file;
    const TLanguage language;  // its folder is the one beside the executable
    EXPECT_TRUE(file.LoadFromFile(language.Folder() + L"\\" + name + L".lng")) << "missing shipped file";
    return file;
}

// "%s" and "%d" in order: a translation that reorders or drops them breaks formatting.
std::wstring Placeholders(const std::wstring& text) {
    static const std::wregex pattern(L"%[sd]");
    std::wstring found;
    for (std::wsregex_iterator i(text.begin(), text.end(), pattern), end; i != end; ++i) found += i->str();
    return found;
}

}  // namespace

TEST(BuiltInTexts, SharedTextsAreMessagesWithTheSameEnglish) {
    std::set<std::wstring> keys;
    for (const auto& message : BuiltInMessages())
        EXPECT_TRUE(keys.insert(tarvo::platform::UpperCase(message.key)).second) << "twice: " << message.key;
    ASSERT_EQ(SharedTextTable().size(), 39u);
    for (std::size_t i = 0; i < SharedTextTable().size(); ++i) {
        const auto& shared = SharedTextTable()[i];
        EXPECT_EQ(BuiltInText(shared.key), shared.text) << shared.key;
        EXPECT_STREQ(BuiltInMessages()[i].key, shared.key);  // the shared ones come first, in order
    }
    EXPECT_EQ(BuiltInText(L"funcvotefailedmsgbox"), L"Vote failed, please check the network connection and try again");
    EXPECT_EQ(BuiltInText(L"NotAKey"), L"");
}

TEST(ShippedLanguages, EnglishCarriesExactlyTheBuiltInMessages) {
    const TExtIniFile english = Shipped(L"English");
    EXPECT_EQ(english.ReadString(L"Main", L"DisplayName", L""), L"English");
    const auto keys = english.ReadSection(L"Uninstaller_M");
    EXPECT_EQ(keys.size(), BuiltInMessages().size());
    for (const auto& message : BuiltInMessages())
        EXPECT_EQ(english.ReadString(L"Uninstaller_M", message.key, L"<missing>"), message.text) << message.key;
}

TEST(ShippedLanguages, GermanTranslatesEveryEnglishLine) {
    const TExtIniFile english = Shipped(L"English");
    const TExtIniFile german = Shipped(L"German");
    EXPECT_EQ(german.ReadString(L"Main", L"DisplayName", L""), L"Deutsch");
    for (const auto& section : english.ReadSections()) {
        if (section == L"Main") continue;
        for (const auto& key : english.ReadSection(section)) {
            const std::wstring text = german.ReadString(section, key, L"");
            EXPECT_FALSE(text.empty()) << "untranslated: [" << section << "] " << key;
            EXPECT_EQ(Placeholders(text), Placeholders(english.ReadString(section, key, L"")))
                << "placeholders differ: " << key;
        }
        EXPECT_EQ(german.ReadSection(section).size(), english.ReadSection(section).size());
    }
}

TEST(ShippedLanguages, GetTextAnswersFromTheLoadedFile) {
    TLanguage language;
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    language.LoadDefaultTexts();
    EXPECT_EQ(language.Texts().Standard_Uninstall_M, L"Standard-Deinstallation %s (%d/%d)");
    EXPECT_EQ(language.GetText(L"FuncVoteHavedVote", BuiltInText(L"FuncVoteHavedVote")), L"Sie haben bereits abgestimmt");
    ASSERT_TRUE(language.LoadLanguage(L"English"));
    for (const auto& message : BuiltInMessages())
        EXPECT_EQ(language.GetText(message.key, L"<default>"), message.text) << message.key;
}
