// Which save commands of the main window are enabled after each event.
//
// Each function takes plain facts about the module and the selected node and returns the
// new state of every command it decides; a command it leaves alone stays std::nullopt, so
// the window keeps that command's current state.
#pragma once

#include <optional>
#include <string>

namespace tess {

struct CommandStates {
    // Main menu "&File".
    std::optional<bool> saveImageAsMenu;            // "&Save image as..."
    std::optional<bool> saveAllImagesMenu;          // "Save all images"
    std::optional<bool> saveAllIconsMenu;           // "Save all icons"
    std::optional<bool> saveAllGroupIconsMenu;      // "Save all group icons"
    std::optional<bool> saveSelectedGroupIconMenu;  // "Save selected group icon..."
    // Button row.
    std::optional<bool> saveAsButton;                 // "Save As..."
    std::optional<bool> saveAllButton;                // "Save All"
    std::optional<bool> saveAllIconsButton;           // "Save All Icons"
    std::optional<bool> saveAllGroupIconsButton;      // "Save All Group Icons"
    std::optional<bool> saveSelectedGroupIconButton;  // "Save Selected Group Icon..."
    // Resource tree popup.
    std::optional<bool> popupSaveSelectedImage;      // "Save Selected Image"
    std::optional<bool> popupSaveAllImages;          // "Save All Images To A Folder"
    std::optional<bool> popupSaveAllGroupIcons;      // "Save All Group Icons To Multiframe Icon File"
    std::optional<bool> popupSaveSelectedGroupIcon;  // "Save Selected Group Icon To MultiFrame Icon"

    friend bool operator==(const CommandStates&, const CommandStates&) = default;
};

// The counts a scan or counts refresh computes for the module.
struct ModuleCounts {
    int extractable = 0;  // CountExtractable (-1 for a file that is not a module)
    int groupIcons = 0;   // CountGroupIcons
    bool hasIcons = false;
    bool hasImages = false;  // only asked for by the open-dialog scan
};

// The states every window starts with: all save commands disabled.
CommandStates initialStates();

// A module picked in the file list was scanned.
CommandStates statesAfterListScan(const ModuleCounts& counts);
// A module chosen with "&Open..." was scanned.
CommandStates statesAfterOpenScan(const ModuleCounts& counts);
// A key or mouse press in the file list refreshed the counts.
CommandStates statesAfterCountsRefresh(const ModuleCounts& counts);

// A resource-tree node that carries a bookmark and has no children was selected.
struct LeafFacts {
    std::string typeName;         // text name of the bookmark's type
    int formatCode = 0;           // format code of that type (5, 6, 7, 8 or 0)
    bool listHasSelection = false;
    bool hasGroupType = false;    // HasGroupIconType || HasGroupCursorType of the list item
    int extractable = 0;          // CountExtractable of the list item
};
CommandStates statesForLeaf(const LeafFacts& facts);

// A resource-tree node with children or without a bookmark was selected.
enum class BranchKind { GroupIconResource, GroupCursorResource, Other };
struct BranchFacts {
    BranchKind kind = BranchKind::Other;
    bool hasGroupType = false;  // all three false when the file list has no selection
    bool hasImages = false;
    bool hasIcons = false;
};
CommandStates statesForBranch(const BranchFacts& facts);

// The resource tree's popup menu is opening while the file list has a selected item.
struct PopupFacts {
    bool hasImages = false;
    int extractable = 0;
    bool hasGroupType = false;
    bool treeHasSelection = false;
    bool selectedTypeIsIconLike = false;  // IsIconLikeType of the selected node's own type
};
CommandStates statesForTreePopup(const PopupFacts& facts);

}  // namespace tess
