// Where the main window opens from its saved values, and what closing it writes.
#include <gtest/gtest.h>

#include "settings/main_ini.h"
#include "shell/window_placement.h"
#include "support/scratch_folder.h"

using namespace tarvo::shell;

namespace {

constexpr RECT kWork{0, 0, 1280, 770};  // a 1280 x 800 screen less a 30-pixel taskbar

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(WindowPlacement, SavedValuesAreKeptWithinTheMinimumAndTheWorkArea) {
    const struct {
        const char* what;
        SavedPlacement saved;
        RECT work;
        RECT expected;
    } cases[] = {
        {"as saved", {0, 900, 600, 40, 30}, kWork, {40, 30, 940, 630}},
        {"a width of 500 opens 870 wide", {0, 500, 400, 10, 10}, kWork, {10, 10, 880, 580}},
        {"never left of or above the work area", {0, 870, 570, -200, -50}, {100, 40, 1380, 810}, {100, 40, 970, 610}},
        {"no wider than the work area", {0, 2000, 600, 0, 0}, kWork, {0, 0, 1280, 600}},
        {"no higher than the work area less 20", {0, 900, 2000, 0, 0}, kWork, {0, 0, 900, 750}},
        {"pulled back inside the right and bottom edges", {0, 1280, 780, 77, 99}, kWork, {0, 0, 1280, 750}},
        {"a partly hidden window moves in", {0, 900, 600, 1000, 500}, kWork, {380, 150, 1280, 750}},
    };
    for (const auto& c : cases) {
        const WindowPlacementPlan plan = PlanWindowPlacement(c.saved, c.work, 870, 570);
        EXPECT_FALSE(plan.maximized) << c.what;
        EXPECT_TRUE(Same(plan.bounds, c.expected))
            << c.what << ": " << plan.bounds.left << "," << plan.bounds.top << "," << plan.bounds.right << ","
            << plan.bounds.bottom;
        EXPECT_TRUE(Same(plan.normal, plan.bounds)) << c.what;
    }
}

TEST(WindowPlacement, MaximisedFillsTheWorkAreaAndRemembersTheNormalBounds) {
    const WindowPlacementPlan plan = PlanWindowPlacement({1, 900, 600, 40, 30}, kWork, 870, 570);
    EXPECT_TRUE(plan.maximized);
    EXPECT_TRUE(Same(plan.bounds, RECT{0, 0, 1280, 750}));
    EXPECT_TRUE(Same(plan.normal, RECT{40, 30, 940, 630}));
}

TEST(WindowPlacement, ClosingWritesBoundsOrOnlyTheMaximisedState) {
    tarvo::test::ScratchFolder scratch;
    const tarvo::settings::TMainIni ini(scratch.PathOf(L"Main.ini"));

    // Nothing saved yet: centred at the design size.
    const SavedPlacement fresh = ReadSavedPlacement(ini, kWork, 870, 570);
    EXPECT_EQ(fresh.windowState, 0);
    EXPECT_EQ(fresh.left, (1280 - 870) / 2);
    EXPECT_EQ(fresh.top, (770 - 570) / 2);

    SavePlacement(ini, false, RECT{50, 60, 1000, 700});
    SavedPlacement saved = ReadSavedPlacement(ini, kWork, 870, 570);
    EXPECT_EQ(saved.windowState, 0);
    EXPECT_EQ(saved.left, 50);
    EXPECT_EQ(saved.top, 60);
    EXPECT_EQ(saved.width, 950);
    EXPECT_EQ(saved.height, 640);

    // Closing maximised keeps the bounds saved before, so "Restore" returns there next time.
    SavePlacement(ini, true, RECT{0, 0, 1280, 750});
    saved = ReadSavedPlacement(ini, kWork, 870, 570);
    EXPECT_EQ(saved.windowState, 1);
    EXPECT_EQ(saved.width, 950);
    const WindowPlacementPlan plan = PlanWindowPlacement(saved, kWork, 870, 570);
    EXPECT_TRUE(plan.maximized);
    EXPECT_TRUE(Same(plan.normal, RECT{50, 60, 1000, 700}));
}
