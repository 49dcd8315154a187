// Opening the uninstall dialog: the refusals without a selection, and where the dialog goes.
#include <gtest/gtest.h>

#include "settings/text_file.h"
#include "shell/uninstall_dialog.h"
#include "support/scratch_folder.h"
#include "ui/modal_loop.h"

using tarvo::ui::CentredOver;
using tarvo::shell::OpenUninstallDialog;

TEST(UninstallDialog, CentresOverTheMainWindowRoundingHalvesTowardZero) {
    const struct {
        RECT owner;
        SIZE size;
        RECT expected;
    } cases[] = {
        {{100, 50, 970, 620}, {480, 270}, {295, 200, 775, 470}},
        {{0, 0, 481, 271}, {480, 270}, {0, 0, 480, 270}},          // a half pixel is dropped
        {{0, 0, 300, 200}, {481, 271}, {-90, -35, 391, 236}},      // larger than the owner: -90.5 → -90
        {{-1000, -500, -200, 100}, {400, 200}, {-800, -300, -400, -100}},
    };
    for (const auto& c : cases) {
        const RECT r = CentredOver(c.owner, c.size);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
}

TEST(UninstallDialog, NothingSelectedShowsTheMessageOfTheModeAndOpensNothing) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring log = scratch.PathOf(L"seam.log");
    ::SetEnvironmentVariableW(L"TARVO_TEST_LOG", log.c_str());
    EXPECT_FALSE(OpenUninstallDialog(nullptr, {}, false));
    EXPECT_FALSE(OpenUninstallDialog(nullptr, {}, true));
    ::SetEnvironmentVariableW(L"TARVO_TEST_LOG", nullptr);
    const auto text = tarvo::settings::ReadTextFile(log);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text,
              L"message-box: Tarvo Uninstaller | Please select a program first.\n"
              L"message-box: Tarvo Uninstaller | Please select at least one program.\n");
    EXPECT_EQ(::FindWindowW(L"TfrmUninstalling", nullptr), nullptr);
}
