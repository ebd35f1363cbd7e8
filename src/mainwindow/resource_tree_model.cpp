// Building the resource tree of a module.
#include "mainwindow/resource_tree_model.h"

#include <stdexcept>

#include "mainwindow/name_routines.h"
#include "platform/paths.h"

namespace tess {

namespace {

// The extension of the file name without its dot, upper-cased: "DLL".
std::string extensionWord(std::string_view modulePath) {
    const std::string name = LastPathPart(modulePath);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    return asciiUpperCase(DropFirstChar(std::string_view(name).substr(dot)));
}

bool hasSingleImageNodes(int formatCode) {
    return formatCode == 5 || formatCode == 6 || formatCode == 7 || formatCode == 8;
}

}  // namespace

const ResourceTreeNode& ResourceTree::node(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_nodes.size()) {
        throw std::out_of_range("resource tree node index " + std::to_string(index));
    }
    return m_nodes[static_cast<std::size_t>(index)];
}

const ResourceTreeNode* ResourceTree::parentOf(const ResourceTreeNode& node) const {
    return node.parent < 0 ? nullptr : &m_nodes[static_cast<std::size_t>(node.parent)];
}

int ResourceTree::addNode(int parent, std::string text, TIEResourceBookmark* bookmark) {
    if (parent >= static_cast<int>(m_nodes.size())) return -1;
    if (m_nodes.size() >= kMaxResourceTreeNodes) {
        m_truncated = true;
        return -1;
    }
    ResourceTreeNode node;
    node.text = std::move(text);
    node.index = static_cast<int>(m_nodes.size());
    node.parent = parent < 0 ? -1 : parent;
    node.level = parent < 0 ? 0 : m_nodes[static_cast<std::size_t>(parent)].level + 1;
    node.bookmark = bookmark;
    m_nodes.push_back(std::move(node));
    const int index = static_cast<int>(m_nodes.size()) - 1;
    if (parent < 0) m_topLevel.push_back(index);
    else m_nodes[static_cast<std::size_t>(parent)].children.push_back(index);
    return index;
}

std::string typeKindWord(std::string_view typeName) {
    if (typeName == "GroupIcon" || typeName == "Icon") return "Icon";
    if (typeName == "GroupCursor" || typeName == "Cursor") return "Cursor";
    if (typeName == "Bitmap") return "Bitmap";
    if (typeName == "PNG") return "Png";
    return {};
}

int typeFormatCode(std::string_view typeName) {
    if (typeName == "GroupIcon" || typeName == "Icon") return 6;
    if (typeName == "GroupCursor" || typeName == "Cursor") return 7;
    if (typeName == "Bitmap" || typeName == "Image") return 5;
    if (typeName == "PNG") return 8;
    return 0;
}

std::string frameNodeText(std::int32_t width, std::int32_t height, std::int32_t bitCount) {
    return std::to_string(width) + " x " + std::to_string(height) + " " + std::to_string(bitCount) +
           "-bit";
}

std::string groupNodeText(NodeTextForm form, std::string_view modulePath,
                          std::string_view typeName, std::string_view kindWord, int number) {
    if (form == NodeTextForm::OpenDialog) return singleNodeText(form, modulePath, typeName, number);
    return CapitalizeWords(ModuleBaseName(modulePath)) + extensionWord(modulePath) + " " +
           std::string(typeName) + " " + std::string(kindWord) + " " + std::to_string(number);
}

std::string singleNodeText(NodeTextForm form, std::string_view modulePath,
                           std::string_view typeName, int number) {
    const std::string prefix = form == NodeTextForm::OpenDialog
                                   ? LastPathPart(modulePath)
                                   : CapitalizeWords(ModuleBaseName(modulePath)) + extensionWord(modulePath);
    return prefix + " " + std::string(typeName) + " " + std::to_string(number);
}

ResourceTree BuildResourceTree(TIEModuleResources& reader, std::string_view modulePath,
                               NodeTextForm form) {
    ResourceTree tree;
    if (!reader.IsValid()) return tree;
    for (std::int32_t t = 0; t < reader.TypeCount(); ++t) {
        const std::string typeName = reader.TypeName(t);
        const int typeNode = tree.addNode(-1, typeName);
        if (typeNode < 0) return tree;
        const bool group = reader.IsGroupType(t);
        const int formatCode = typeFormatCode(typeName);
        // The kind word is the one of this type. A file-list scan could carry the word of
        // an earlier group type over to later single-resource types; that stray word in
        // the node text helps nobody, so each type uses its own.
        const std::string kind = typeKindWord(typeName);
        if (!group && !hasSingleImageNodes(formatCode)) continue;
        for (std::int32_t n = 0; n < reader.NameCount(t); ++n) {
            if (group) {
                const int groupNode =
                    tree.addNode(typeNode, groupNodeText(form, modulePath, typeName, kind, n + 1));
                if (groupNode < 0) return tree;
                const std::int32_t frames = reader.FrameCount(t, n);
                for (std::int32_t f = 0; f < frames; ++f) {
                    const std::string text = frameNodeText(reader.FrameWidth(t, n, f),
                                                           reader.FrameHeight(t, n, f),
                                                           reader.FrameBitCount(t, n, f));
                    if (tree.size() >= kMaxResourceTreeNodes) {
                        tree.addNode(groupNode, text);  // records the truncation
                        return tree;
                    }
                    tree.addNode(groupNode, text, reader.AddBookmark(t, n, f));
                }
            } else {
                const std::string text = singleNodeText(form, modulePath, typeName, n + 1);
                if (tree.size() >= kMaxResourceTreeNodes) {
                    tree.addNode(typeNode, text);
                    return tree;
                }
                tree.addNode(typeNode, text, reader.AddBookmark(t, n, -1));
            }
        }
    }
    return tree;
}

int CountChildrenAfter(const ResourceTree& tree, const ResourceTreeNode* node) {
    if (node == nullptr) return 0;
    int count = 0;
    for (int child : node->children) {
        ++count;
        // The next node in depth-first order is this child's first child, whose parent
        // is not `node`: the run ends here.
        if (!tree.node(child).children.empty()) break;
    }
    return count;
}

int CountChildrenOfSelection(const ResourceTree& tree, const ResourceTreeNode* selected) {
    if (selected == nullptr) return static_cast<int>(tree.topLevel().size());
    return static_cast<int>(selected->children.size());
}

}  // namespace tess
