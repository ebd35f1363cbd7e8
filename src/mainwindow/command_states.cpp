#include "mainwindow/command_states.h"

namespace tess {

CommandStates initialStates() {
    CommandStates s;
    s.saveImageAsMenu = s.saveAllImagesMenu = s.saveAllIconsMenu = false;
    s.saveAllGroupIconsMenu = s.saveSelectedGroupIconMenu = false;
    s.saveAsButton = s.saveAllButton = s.saveAllIconsButton = false;
    s.saveAllGroupIconsButton = s.saveSelectedGroupIconButton = false;
    s.popupSaveSelectedImage = s.popupSaveAllImages = false;
    s.popupSaveAllGroupIcons = s.popupSaveSelectedGroupIcon = false;
    return s;
}

namespace {

// The group icon and icon commands that both scans decide the same way.
void setGroupAndIconCommands(CommandStates& s, const ModuleCounts& c) {
    s.saveAllGroupIconsButton = s.saveAllGroupIconsMenu = c.groupIcons > 0;
    s.saveAllIconsButton = s.saveAllIconsMenu = c.hasIcons;
}

}  // namespace

CommandStates statesAfterListScan(const ModuleCounts& c) {
    CommandStates s;
    const bool extractable = c.extractable > 0;
    s.saveImageAsMenu = s.saveAllImagesMenu = s.saveAsButton = s.saveAllButton = extractable;
    setGroupAndIconCommands(s, c);
    return s;
}

CommandStates statesAfterOpenScan(const ModuleCounts& c) {
    CommandStates s;
    s.saveImageAsMenu = s.saveAsButton = c.hasImages;
    s.saveAllImagesMenu = s.saveAllButton = c.extractable > 0;
    setGroupAndIconCommands(s, c);
    return s;
}

CommandStates statesAfterCountsRefresh(const ModuleCounts& c) {
    CommandStates s;
    const bool extractable = c.extractable > 0;
    s.saveImageAsMenu = s.saveAllImagesMenu = s.saveAsButton = s.saveAllButton = extractable;
    s.saveAllGroupIconsButton = s.saveAllGroupIconsMenu = c.groupIcons > 0;
    return s;
}

CommandStates statesForLeaf(const LeafFacts& f) {
    CommandStates s;
    // Frames of a group icon: the whole group can be saved, even without a list item.
    if (f.typeName == "GroupIcon") s.saveSelectedGroupIconButton = true;
    if (!f.listHasSelection) return s;

    s.saveAllImagesMenu = s.saveAllButton = f.extractable > 0;
    s.saveAllGroupIconsButton = s.saveAllGroupIconsMenu = s.popupSaveAllGroupIcons =
        f.hasGroupType;
    switch (f.formatCode) {
    case 6:
        s.saveAsButton = s.saveImageAsMenu = true;
        s.saveSelectedGroupIconMenu = s.popupSaveSelectedGroupIcon = true;
        // A single "Icon" resource: the button follows the menu item that runs the same
        // command, instead of keeping whatever the previous selection left.
        s.saveSelectedGroupIconButton = true;
        break;
    case 5:
    case 8:
        s.saveAsButton = s.saveImageAsMenu = true;
        s.saveSelectedGroupIconButton = false;
        s.saveSelectedGroupIconMenu = s.popupSaveSelectedGroupIcon = false;
        break;
    default:  // 7 (cursors are previewed but not saved one by one) and 0
        s.saveAsButton = s.saveImageAsMenu = false;
        s.saveSelectedGroupIconButton = false;
        s.saveSelectedGroupIconMenu = s.popupSaveSelectedGroupIcon = false;
        break;
    }
    return s;
}

CommandStates statesForBranch(const BranchFacts& f) {
    CommandStates s;
    s.saveAllButton = f.hasImages;
    s.saveAllIconsButton = s.saveAllIconsMenu = f.hasIcons;
    switch (f.kind) {
    case BranchKind::GroupIconResource:
        s.saveAsButton = s.saveImageAsMenu = true;
        s.saveSelectedGroupIconButton = s.saveSelectedGroupIconMenu = true;
        break;
    case BranchKind::GroupCursorResource:
        s.saveAsButton = s.saveImageAsMenu = false;
        break;
    case BranchKind::Other:
        s.saveAsButton = s.saveImageAsMenu = false;
        s.saveAllGroupIconsButton = s.saveAllGroupIconsMenu = f.hasGroupType;
        s.saveSelectedGroupIconButton = s.saveSelectedGroupIconMenu = false;
        break;
    }
    return s;
}

CommandStates statesForTreePopup(const PopupFacts& f) {
    CommandStates s;
    s.popupSaveSelectedImage = s.saveAsButton = s.saveImageAsMenu = f.hasImages;
    s.popupSaveAllImages = s.saveAllButton = s.saveAllImagesMenu = f.extractable > 0;
    s.popupSaveAllGroupIcons = f.hasGroupType;
    s.popupSaveSelectedGroupIcon =
        f.hasGroupType && f.treeHasSelection && f.selectedTypeIsIconLike;
    return s;
}

}  // namespace tess
