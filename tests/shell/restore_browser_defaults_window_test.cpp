// The browser restore window on its own, as the add-on page will open it: shown only for
// the four browsers, OK restores and closes, a failure keeps it open with the warning.
#include "shell/restore_browser_defaults_window.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "language/language.h"
#include "platform/files.h"
#include "shell/plugin_vote_window.h"
#include "support/scratch_folder.h"

using tarvo::browserdefaults::BrowserKind;
using tarvo::shell::TfrmRestBrowserDefault;

namespace {

struct Box {
    std::wstring text;
    UINT type;
};

TEST(RestoreBrowserDefaultsWindow, OkRestoresAndClosesOrWarnsAndStays) {
    tarvo::test::ScratchFolder scratch;
    tarvo::browserdefaults::RestoreEnvironment env;
    env.appDataFolder = scratch.MakeFolder(L"Roaming");
    env.localAppDataFolder = scratch.MakeFolder(L"Local");
    env.keyPrefix = env.machineKeyPrefix = L"Software\\TarvoWindowTestNone\\";
    env.retries.sleep = [](DWORD) {};
    std::vector<Box> boxes;
    const auto record = [&boxes](HWND, const std::wstring& text, UINT type) {
        boxes.push_back({text, type});
        return IDOK;
    };
    const tarvo::browserdefaults::RestoreActions notRunning{[](BrowserKind) { return false; }, {}};

    TfrmRestBrowserDefault none(BrowserKind::All, env, notRunning, record);
    EXPECT_FALSE(none.Prepared());
    EXPECT_FALSE(none.Create(nullptr));
    EXPECT_EQ(none.hwnd(), nullptr);

    for (const bool damaged : {true, false}) {
        const std::wstring prefs = scratch.MakeFile(L"Local\\Google\\Chrome\\User Data\\Default\\Preferences",
                                                    damaged ? "{" : R"({"homepage":"http://www.delta-search.com/"})");
        boxes.clear();
        TfrmRestBrowserDefault window(BrowserKind::Chrome, env, notRunning, record);
        ASSERT_TRUE(window.Create(nullptr));
        wchar_t title[128] = {};
        ::GetWindowTextW(window.hwnd(), title, 128);
        EXPECT_STREQ(title, L"Restore Chrome Default Settings");
        ::SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(TfrmRestBrowserDefault::kIdOk, BN_CLICKED), 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].type, damaged ? UINT{MB_OK | MB_ICONWARNING} : UINT{MB_OK | MB_ICONINFORMATION});
        EXPECT_EQ(window.hwnd() != nullptr, damaged);
        if (damaged) {
            EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(window.hwnd(), TfrmRestBrowserDefault::kIdOk)));
            ::SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(TfrmRestBrowserDefault::kIdCancel, BN_CLICKED), 0);
            EXPECT_EQ(window.hwnd(), nullptr);
            EXPECT_EQ(tarvo::platform::ReadFileBytes(prefs), "{");
        }
    }
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts) {
    wchar_t text[256] = {};
    ::GetWindowTextW(child, text, 256);
    if (text[0]) reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(text);
    return TRUE;
}

// The window's caption and its controls' texts.
std::vector<std::wstring> TextsOf(HWND window) {
    std::vector<std::wstring> texts;
    CollectText(window, reinterpret_cast<LPARAM>(&texts));
    ::EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// The add-on page's two windows are modal, so a language switch never finds them open: what
// counts is that they read every text from the language file when they open.
TEST(AddonPageWindows, TakeTheirTextsFromTheLanguageFile) {
    tarvo::test::ScratchFolder scratch;
    tarvo::browserdefaults::RestoreEnvironment env;
    env.appDataFolder = scratch.MakeFolder(L"Roaming");
    env.localAppDataFolder = scratch.MakeFolder(L"Local");
    env.keyPrefix = env.machineKeyPrefix = L"Software\\TarvoWindowTestNone\\";
    (void)scratch.MakeFile(L"Local\\Google\\Chrome\\User Data\\Default\\Preferences", "{}");
    const tarvo::browserdefaults::RestoreActions notRunning{[](BrowserKind) { return false; }, {}};
    const auto noBox = [](HWND, const std::wstring&, UINT) { return IDOK; };
    tarvo::addons::TPluginItem item;
    item.Caption = item.Name = L"Coupon Finder";
    tarvo::addons::TAllBrowserCleaner none;

    auto& language = tarvo::language::AppLanguage();
    const struct {
        const wchar_t* language;
        std::vector<std::wstring> restore, vote;
    } cases[] = {
        {L"German", {L"Standardeinstellungen von Chrome wiederherstellen", L"Abbrechen"}, {L"Bewerten", L"1 Stern", L"5 Sterne"}},
        {L"English", {L"Restore Chrome Default Settings", L"Cancel"}, {L"Vote", L"1 Star", L"5 Star"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(language.LoadLanguage(c.language));
        TfrmRestBrowserDefault restore(BrowserKind::Chrome, env, notRunning, noBox);
        ASSERT_TRUE(restore.Create(nullptr));
        tarvo::shell::TfrmPluginVote vote(item, none, L"http://127.0.0.1:9");
        ASSERT_TRUE(vote.Create(nullptr));
        const auto restoreTexts = TextsOf(restore.hwnd()), voteTexts = TextsOf(vote.hwnd());
        for (const auto& text : c.restore)
            EXPECT_NE(std::find(restoreTexts.begin(), restoreTexts.end(), text), restoreTexts.end()) << text;
        for (const auto& text : c.vote)
            EXPECT_NE(std::find(voteTexts.begin(), voteTexts.end(), text), voteTexts.end()) << text;
        ::DestroyWindow(restore.hwnd());
        ::DestroyWindow(vote.hwnd());
    }
}

}  // namespace
