// Enabled-state rules of the main window's save commands, per event.
#include "mainwindow/command_states.h"

#include <gtest/gtest.h>

namespace tess {
namespace {

TEST(CommandStates, EveryCommandStartsDisabled) {
    const CommandStates s = initialStates();
    for (const auto& state :
         {s.saveImageAsMenu, s.saveAllImagesMenu, s.saveAllIconsMenu, s.saveAllGroupIconsMenu,
          s.saveSelectedGroupIconMenu, s.saveAsButton, s.saveAllButton, s.saveAllIconsButton,
          s.saveAllGroupIconsButton, s.saveSelectedGroupIconButton, s.popupSaveSelectedImage,
          s.popupSaveAllImages, s.popupSaveAllGroupIcons, s.popupSaveSelectedGroupIcon}) {
        ASSERT_TRUE(state.has_value());
        EXPECT_FALSE(*state);
    }
}

TEST(CommandStates, ListScanFollowsExtractableGroupIconsAndIcons) {
    // A file that is not a module counts -1 extractable: nothing is enabled.
    CommandStates s = statesAfterListScan({-1, 0, false, false});
    EXPECT_EQ(s.saveAsButton, false);
    EXPECT_EQ(s.saveAllButton, false);
    EXPECT_EQ(s.saveAllGroupIconsButton, false);
    EXPECT_EQ(s.saveAllIconsMenu, false);

    s = statesAfterListScan({5, 1, true, false});
    EXPECT_EQ(s.saveImageAsMenu, true);
    EXPECT_EQ(s.saveAllImagesMenu, true);
    EXPECT_EQ(s.saveAsButton, true);
    EXPECT_EQ(s.saveAllButton, true);
    EXPECT_EQ(s.saveAllGroupIconsButton, true);
    EXPECT_EQ(s.saveAllGroupIconsMenu, true);
    EXPECT_EQ(s.saveAllIconsButton, true);
    EXPECT_EQ(s.saveAllIconsMenu, true);
    // The scan leaves the selected group icon commands and the popup alone.
    EXPECT_FALSE(s.saveSelectedGroupIconButton.has_value());
    EXPECT_FALSE(s.saveSelectedGroupIconMenu.has_value());
    EXPECT_FALSE(s.popupSaveSelectedImage.has_value());
}

TEST(CommandStates, OpenScanEnablesSaveAsByImagesNotByExtractable) {
    // Only cursors: images but nothing Save All writes.
    const CommandStates s = statesAfterOpenScan({0, 0, false, true});
    EXPECT_EQ(s.saveAsButton, true);
    EXPECT_EQ(s.saveImageAsMenu, true);
    EXPECT_EQ(s.saveAllButton, false);
    EXPECT_EQ(s.saveAllImagesMenu, false);
    EXPECT_EQ(statesAfterListScan({0, 0, false, true}).saveAsButton, false);
}

TEST(CommandStates, CountsRefreshKeepsTheIconCommands) {
    const CommandStates s = statesAfterCountsRefresh({3, 2, true, true});
    EXPECT_EQ(s.saveAsButton, true);
    EXPECT_EQ(s.saveAllGroupIconsMenu, true);
    EXPECT_FALSE(s.saveAllIconsButton.has_value());
    EXPECT_FALSE(s.saveAllIconsMenu.has_value());
}

struct LeafCase {
    const char* name;
    const char* typeName;
    int code;
    bool saveAs;
    std::optional<bool> selectedGroupButton;
    bool selectedGroupOthers;
};

TEST(CommandStates, LeafNodeByFormatCode) {
    const LeafCase cases[] = {
        {"group icon frame", "GroupIcon", 6, true, true, true},
        {"single icon", "Icon", 6, true, true, true},
        {"group cursor frame", "GroupCursor", 7, false, false, false},
        {"single cursor", "Cursor", 7, false, false, false},
        {"bitmap", "Bitmap", 5, true, false, false},
        {"png", "PNG", 8, true, false, false},
        {"other", "Image", 0, false, false, false},
    };
    for (const LeafCase& c : cases) {
        SCOPED_TRACE(c.name);
        LeafFacts f;
        f.typeName = c.typeName;
        f.formatCode = c.code;
        f.listHasSelection = true;
        f.hasGroupType = true;
        f.extractable = 0;
        const CommandStates s = statesForLeaf(f);
        EXPECT_EQ(s.saveAsButton, c.saveAs);
        EXPECT_EQ(s.saveImageAsMenu, c.saveAs);
        EXPECT_EQ(s.saveSelectedGroupIconButton, c.selectedGroupButton);
        EXPECT_EQ(s.saveSelectedGroupIconMenu, c.selectedGroupOthers);
        EXPECT_EQ(s.popupSaveSelectedGroupIcon, c.selectedGroupOthers);
        EXPECT_EQ(s.saveAllGroupIconsButton, true);
        EXPECT_EQ(s.popupSaveAllGroupIcons, true);
        EXPECT_EQ(s.saveAllButton, false);
    }
}

TEST(CommandStates, LeafWithoutListSelectionOnlyEnablesTheGroupIconButton) {
    LeafFacts f;
    f.typeName = "GroupIcon";
    f.formatCode = 6;
    CommandStates expected;
    expected.saveSelectedGroupIconButton = true;
    EXPECT_EQ(statesForLeaf(f), expected);
    f.typeName = "Bitmap";
    f.formatCode = 5;
    EXPECT_EQ(statesForLeaf(f), CommandStates{});
}

TEST(CommandStates, BranchNodes) {
    BranchFacts f{BranchKind::GroupIconResource, true, true, false};
    CommandStates s = statesForBranch(f);
    EXPECT_EQ(s.saveAsButton, true);
    EXPECT_EQ(s.saveSelectedGroupIconButton, true);
    EXPECT_EQ(s.saveSelectedGroupIconMenu, true);
    EXPECT_EQ(s.saveAllButton, true);
    EXPECT_EQ(s.saveAllIconsButton, false);
    EXPECT_FALSE(s.saveAllGroupIconsButton.has_value());

    f.kind = BranchKind::GroupCursorResource;
    s = statesForBranch(f);
    EXPECT_EQ(s.saveAsButton, false);
    EXPECT_FALSE(s.saveSelectedGroupIconButton.has_value());

    f = {BranchKind::Other, true, false, true};
    s = statesForBranch(f);
    EXPECT_EQ(s.saveAsButton, false);
    EXPECT_EQ(s.saveAllGroupIconsButton, true);
    EXPECT_EQ(s.saveAllGroupIconsMenu, true);
    EXPECT_EQ(s.saveSelectedGroupIconButton, false);
    EXPECT_EQ(s.saveAllIconsMenu, true);
    EXPECT_EQ(s.saveAllButton, false);
}

TEST(CommandStates, TreePopupNeedsGroupTypeSelectionAndIconLikeType) {
    PopupFacts f{true, 2, true, true, true};
    CommandStates s = statesForTreePopup(f);
    EXPECT_EQ(s.popupSaveSelectedImage, true);
    EXPECT_EQ(s.saveAsButton, true);
    EXPECT_EQ(s.popupSaveAllImages, true);
    EXPECT_EQ(s.saveAllImagesMenu, true);
    EXPECT_EQ(s.popupSaveAllGroupIcons, true);
    EXPECT_EQ(s.popupSaveSelectedGroupIcon, true);

    f.selectedTypeIsIconLike = false;
    EXPECT_EQ(statesForTreePopup(f).popupSaveSelectedGroupIcon, false);
    f = {true, 2, true, false, true};
    EXPECT_EQ(statesForTreePopup(f).popupSaveSelectedGroupIcon, false);
    f = {false, -1, false, true, true};
    s = statesForTreePopup(f);
    EXPECT_EQ(s.popupSaveSelectedGroupIcon, false);
    EXPECT_EQ(s.popupSaveAllImages, false);
    EXPECT_EQ(s.saveAsButton, false);
}

}  // namespace
}  // namespace tess
