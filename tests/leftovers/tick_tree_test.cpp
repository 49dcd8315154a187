// Ticking the result tree and what follows from it: the ancestors' states, the select link
// and its frozen state, the Delete button.
#include <gtest/gtest.h>

#include "leftovers/tick_tree.h"
#include "removal_fixture.h"

using namespace tarvo::leftovers;
using namespace tarvo::test;

namespace {

struct ThreeKeys {
    TResultTree tree;
    TTreeNode* program;
    TTreeNode* group;
    TTreeNode* items[3];
    TTreeNode* files;
    ThreeKeys() {
        program = &AddProgram(tree, L"Name");
        group = &AddGroup(*program, true);
        for (int i = 0; i < 3; ++i) items[i] = &AddKeyItem(*group, HKEY_CURRENT_USER, L"k" + std::to_wstring(i));
        files = &AddGroup(*program, false);
        AddFileItem(*files, L"C:\\x\\f0");
    }
};

}  // namespace

TEST(TickTree, OneOfThreeMakesGroupAndProgramPartlyTickedAllThreeTickThem) {
    ThreeKeys t;
    TTickTree ticks(t.tree);
    ticks.Shown();
    EXPECT_FALSE(ticks.deleteEnabled());

    ticks.Toggle(*t.items[0]);
    EXPECT_EQ(t.items[0]->StateImage, kStateTicked);
    EXPECT_EQ(t.group->StateImage, kStatePartlyTicked);
    EXPECT_EQ(t.program->StateImage, kStatePartlyTicked);
    EXPECT_TRUE(ticks.deleteEnabled());

    ticks.Toggle(*t.items[1]);
    ticks.Toggle(*t.items[2]);
    EXPECT_EQ(t.group->StateImage, kStateTicked);
    // The file group is still unticked, so the program stays partly ticked.
    EXPECT_EQ(t.program->StateImage, kStatePartlyTicked);
    ticks.Toggle(*t.files);
    EXPECT_EQ(t.files->Children[0]->StateImage, kStateTicked);
    EXPECT_EQ(t.program->StateImage, kStateTicked);
    EXPECT_FALSE(ticks.linkSelectsAll());

    // A partly ticked node becomes ticked with everything below it.
    ticks.Toggle(*t.items[1]);
    EXPECT_EQ(t.program->StateImage, kStatePartlyTicked);
    ticks.Toggle(*t.program);
    for (auto* item : t.items) EXPECT_EQ(item->StateImage, kStateTicked);
    ticks.Toggle(*t.program);
    for (auto* item : t.items) EXPECT_EQ(item->StateImage, kStateUnticked);
    EXPECT_EQ(t.program->StateImage, kStateUnticked);
    EXPECT_FALSE(ticks.deleteEnabled());
}

TEST(TickTree, OnlyChildCarriesItsStateUpward) {
    TResultTree tree;
    auto& program = AddProgram(tree, L"Solo");
    auto& group = AddGroup(program, false);
    auto& item = AddFileItem(group, L"C:\\solo\\a.txt");
    TTickTree ticks(tree);
    ticks.Toggle(item);
    EXPECT_EQ(group.StateImage, kStateTicked);
    EXPECT_EQ(program.StateImage, kStateTicked);
}

TEST(TickTree, SelectLinkTicksAllThenUnticksAllAndFreezesUntilSelectAll) {
    ThreeKeys t;
    TTickTree ticks(t.tree);
    ticks.Shown();
    EXPECT_TRUE(ticks.linkSelectsAll());
    EXPECT_EQ(ticks.LinkText(), L"Select All");

    ticks.SelectLinkClicked();
    for (const auto& f : FlattenTree(t.tree)) EXPECT_EQ(f.node->StateImage, kStateTicked);
    EXPECT_EQ(ticks.LinkText(), L"Deselect All");
    EXPECT_TRUE(ticks.deleteEnabled());

    ticks.SelectLinkClicked();
    for (const auto& f : FlattenTree(t.tree)) EXPECT_EQ(f.node->StateImage, kStateUnticked);
    EXPECT_TRUE(ticks.linkFrozen());
    EXPECT_FALSE(ticks.deleteEnabled());

    // Frozen: ticking everything by hand leaves the link reading "Select All".
    ticks.Toggle(*t.program);
    EXPECT_EQ(ticks.LinkText(), L"Select All");
    EXPECT_TRUE(ticks.deleteEnabled());
    // Showing the window again lets the link follow the tree.
    ticks.Shown();
    EXPECT_EQ(ticks.LinkText(), L"Deselect All");

    // All done: nothing enables Delete any more.
    ticks.SetAllDone(true);
    ticks.SelectLinkClicked();
    ticks.SelectLinkClicked();
    EXPECT_FALSE(ticks.deleteEnabled());
}

TEST(TickTree, RecountGivesEachGroupItsRemainingItemsAndTheProgramTheirSum) {
    TResultTree tree;
    auto& program = AddProgram(tree, L"Name");
    auto& files = AddGroup(program, false);
    AddFileItem(files, L"C:\\a");
    AddFileItem(files, L"C:\\b");
    auto& registry = AddGroup(program, true);
    AddKeyItem(registry, HKEY_CURRENT_USER, L"x");
    RecountCaptions(tree);
    EXPECT_EQ(files.Caption, L"File(2 items)");
    EXPECT_EQ(registry.Caption, L"Registry(1 item)");
    EXPECT_EQ(program.Caption, L"Name(3 items)");
}
