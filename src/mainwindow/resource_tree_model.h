// The resource tree of a module as plain data: one level-0 node per resource type, the
// type's image resources at level 1, and the frames of every group icon and group cursor
// at level 2. Frame nodes and single-image nodes carry the reader's bookmark, so a view
// can preview them; the tree widget only mirrors this model.
//
// Trust: the tree is built from an open TIEModuleResources, which has already bounded the
// module's untrusted bytes; the tree adds a cap on its own size (kMaxResourceTreeNodes)
// so a module that repeats one huge group under many names cannot exhaust memory.
// Building does not raise for any module; an invalid reader gives an empty tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resources/module_resources.h"

namespace tess {

// How the module was picked, which decides the level-1 node texts.
enum class NodeTextForm {
    FileList,    // "Shell32DLL GroupIcon Icon 1", "Shell32DLL Bitmap 1"
    OpenDialog,  // "shell32.dll GroupIcon 1", "shell32.dll Bitmap 1"
};

constexpr std::size_t kMaxResourceTreeNodes = 200000;

struct ResourceTreeNode {
    std::string text;
    int level = 0;
    int index = 0;                           // position in ResourceTree::nodes()
    int parent = -1;                         // index of the parent, -1 at level 0
    std::vector<int> children;               // indices, in display order
    TIEResourceBookmark* bookmark = nullptr;  // owned by the reader; null for branch nodes
};

class ResourceTree {
public:
    // Nodes in depth-first display order when built by BuildResourceTree.
    const std::vector<ResourceTreeNode>& nodes() const { return m_nodes; }
    const std::vector<int>& topLevel() const { return m_topLevel; }
    std::size_t size() const { return m_nodes.size(); }
    bool empty() const { return m_nodes.empty(); }
    // The node at `index`; std::out_of_range when there is none.
    const ResourceTreeNode& node(int index) const;
    // The parent of `node`, or null at level 0.
    const ResourceTreeNode* parentOf(const ResourceTreeNode& node) const;
    // True when kMaxResourceTreeNodes stopped the build before the module's end.
    bool truncated() const { return m_truncated; }

    // Appends a node below `parent` (-1 for a top-level node) and returns its index, or -1
    // when the tree is full or `parent` is not a node.
    int addNode(int parent, std::string text, TIEResourceBookmark* bookmark = nullptr);

private:
    std::vector<ResourceTreeNode> m_nodes;
    std::vector<int> m_topLevel;
    bool m_truncated = false;
};

// The tree of `reader`, opened on `modulePath`. Bookmarks are added to `reader`, which
// must outlive the tree's use of them.
ResourceTree BuildResourceTree(TIEModuleResources& reader, std::string_view modulePath,
                               NodeTextForm form);

// Kind word by the type's text name: "Icon" (GroupIcon, Icon), "Cursor" (GroupCursor,
// Cursor), "Bitmap", "Png" (PNG), "" for any other type. Case-sensitive.
std::string typeKindWord(std::string_view typeName);

// Image format code by the type's text name: 6 GroupIcon/Icon, 7 GroupCursor/Cursor,
// 5 Bitmap/Image, 8 PNG, 0 for any other type. Case-sensitive ("IMAGE" gives 0).
int typeFormatCode(std::string_view typeName);

// "48 x 48 32-bit".
std::string frameNodeText(std::int32_t width, std::int32_t height, std::int32_t bitCount);

// Level-1 texts; `number` counts from 1. `kindWord` is used by the file-list form of a
// group node only.
std::string groupNodeText(NodeTextForm form, std::string_view modulePath,
                          std::string_view typeName, std::string_view kindWord, int number);
std::string singleNodeText(NodeTextForm form, std::string_view modulePath,
                           std::string_view typeName, int number);

// 0 for null; otherwise how many nodes follow `node` in depth-first order with `node` as
// their parent, counted up to the first following node that is not its child. Every leaf
// child counts until the first child that has children of its own, which counts and ends
// the run.
int CountChildrenAfter(const ResourceTree& tree, const ResourceTreeNode* node);

// The number of children of `selected`, or of top-level nodes when nothing is selected.
int CountChildrenOfSelection(const ResourceTree& tree, const ResourceTreeNode* selected);

}  // namespace tess
