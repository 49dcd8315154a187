// The restore window's decisions without the window: texts, and the OK flow against a
// recording view and recorded browser actions.
#include "browserdefaults/restore_dialog.h"

#include "restore_fixture.h"

namespace tarvo::browserdefaults {
namespace {

struct RecordingView final : IRestoreDialogView {
    std::vector<std::wstring> calls;
    bool answer = true;
    void EnableButtons(bool enabled) override { calls.push_back(enabled ? L"enable" : L"disable"); }
    bool ConfirmClose(const std::wstring& text) override {
        calls.push_back(L"ask: " + text);
        return answer;
    }
    void ShowSuccess(const std::wstring& text) override { calls.push_back(L"success: " + text); }
    void ShowFailure(const std::wstring& text) override { calls.push_back(L"failure: " + text); }
    void CloseWindow() override { calls.push_back(L"close"); }
};

class RestoreDialogTest : public test::RestoreTest {
protected:
    RestoreActions Actions(bool running) {
        return {[running](BrowserKind) { return running; },
                [this](BrowserKind kind, const TCustomExplorerSet&) { closed.push_back(kind); }};
    }
    std::vector<BrowserKind> closed;
};

TEST_F(RestoreDialogTest, OkFlow) {
    const std::wstring prefs = Write(L"Users\\Tester\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Preferences",
                                     R"({"homepage":"http://www.delta-search.com/"})");
    const std::wstring ask = L"ask: Chrome is running\rclick OK to turn it off forcely (you might loss unsaved "
                             L"contents)\rclick Cancel to abort the operation";
    const std::wstring success = L"success: Browser restored to default settings successfully";
    const std::wstring failure = L"failure: Fail to restore browser to default settings, please exit Chrome and try again";
    const struct {
        bool running, answer, damaged;
        std::vector<std::wstring> calls;
        bool closesBrowser;
    } cases[] = {
        {false, true, false, {L"disable", L"enable", success, L"close"}, false},
        {true, true, false, {L"disable", ask, L"enable", success, L"close"}, true},
        {true, false, false, {L"disable", ask, L"enable"}, false},  // the user keeps the browser: nothing changes
        {false, true, true, {L"disable", L"enable", failure}, false},
    };
    for (const auto& c : cases) {
        Write(L"Users\\Tester\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Preferences",
              c.damaged ? "{" : R"({"homepage":"http://www.delta-search.com/"})");
        closed.clear();
        TRestBrowserDefault model(BrowserKind::Chrome, env, Actions(c.running));
        ASSERT_TRUE(model.Prepared());
        EXPECT_EQ(model.Title(), L"Restore Chrome Default Settings");
        EXPECT_EQ(model.Homepage(), c.damaged ? L"about:blank" : L"http://www.delta-search.com/");
        RecordingView view;
        view.answer = c.answer;
        EXPECT_EQ(model.RunRestore(view), c.calls.back() == L"close");
        EXPECT_EQ(view.calls, c.calls);
        EXPECT_EQ(closed.size(), c.closesBrowser ? 1u : 0u);
        const bool untouched = test::FileText(prefs).find("delta-search") != std::string::npos || c.damaged;
        EXPECT_EQ(untouched, c.calls.back() != L"close");
    }
    EXPECT_FALSE(TRestBrowserDefault(BrowserKind::All, env, Actions(false)).Prepared());
}

TEST(RestoreDialogTextTest, FitTextDropsCharactersAndAddsDots) {
    const auto width = [](const std::wstring& s) { return static_cast<int>(s.size()) * 10; };
    const struct {
        const wchar_t* text;
        int limit;
        const wchar_t* fitted;
    } cases[] = {
        {L"Chrome", 60, L"Chrome"},               // exactly fits
        {L"Chromium", 60, L"Chr..."},             // six fit, three more go
        {L"abcd", 20, L"..."},                    // fewer than three left
        {L"", 0, L""},
    };
    for (const auto& c : cases) EXPECT_EQ(FitText(c.text, c.limit, width), c.fitted) << c.text;
    EXPECT_EQ(WithName(L"%s is running", L"Opera"), L"Opera is running");
}

}  // namespace
}  // namespace tarvo::browserdefaults
