// The browser restore window on its own, as the add-on page will open it: shown only for
// the four browsers, OK restores and closes, a failure keeps it open with the warning.
#include "shell/restore_browser_defaults_window.h"

#include <gtest/gtest.h>

#include "platform/files.h"
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

}  // namespace
