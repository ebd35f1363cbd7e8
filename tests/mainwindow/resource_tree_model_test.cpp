#include "mainwindow/resource_tree_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/module_builder.h"
#include "support/resource_bytes.h"
#include "support/temp_dir.h"
#include "support/windres_module.h"

namespace tess {
namespace {

using test::FrameSpec;
using test::ModuleBuilder;
using test::TempDir;

// One line per node, indented two blanks per level, with the bookmark when there is one.
std::string render(const ResourceTree& tree) {
    std::string out;
    for (const ResourceTreeNode& node : tree.nodes()) {
        out += std::string(static_cast<std::size_t>(node.level) * 2, ' ') + node.text;
        if (node.bookmark != nullptr) {
            out += "  @" + std::to_string(node.bookmark->TypeIndex) + "," +
                   std::to_string(node.bookmark->NameIndex) + "," +
                   std::to_string(node.bookmark->FrameIndex);
        }
        out += "\n";
    }
    return out;
}

// A module holding every kind the tree distinguishes. Sorted type order:
// "IMAGE", "Image", "PNG", Cursor (1), Bitmap (2), Icon (3), GroupCursor (12),
// GroupIcon (14), Version (16); string names ("MAINICON") come before integer ones.
ModuleBuilder mixedModule() {
    ModuleBuilder b;
    b.addGroupIcon(1, {{32, 32, 32}, {256, 256, 32, 0xFF000000, true}});
    b.addGroupIcon("MAINICON", {{16, 16, 4}});
    b.addGroupCursor(1, {{32, 32, 1}});
    b.addBitmap(1, 8, 8, 24);
    b.addBitmap(2, 4, 4, 8);
    b.addPng(1, 2, 2);
    b.add("IMAGE", 1, test::dibBitmap(2, 2, 24));
    b.add("Image", 1, test::dibBitmap(2, 2, 24));
    b.add(test::kRtVersion, 1, test::ByteVec(8, 0));
    return b;
}

class ResourceTreeTest : public ::testing::Test {
protected:
    std::string modulePath(const ModuleBuilder& b, const char* name = "shell32.dll") {
        return b.writeTo(m_dir, name).string();
    }
    TempDir m_dir;
};

TEST_F(ResourceTreeTest, FileListFormNamesNodesFromTheCapitalisedBaseName) {
    const std::string path = modulePath(mixedModule());
    TIEModuleResources reader(path);
    ASSERT_TRUE(reader.IsValid());
    const ResourceTree tree = BuildResourceTree(reader, path, NodeTextForm::FileList);
    EXPECT_EQ(render(tree),
              "IMAGE\n"
              "Image\n"
              "  Shell32DLL Image 1  @1,0,-1\n"
              "PNG\n"
              "  Shell32DLL PNG 1  @2,0,-1\n"
              "Cursor\n"
              "  Shell32DLL Cursor 1  @3,0,-1\n"
              "Bitmap\n"
              "  Shell32DLL Bitmap 1  @4,0,-1\n"
              "  Shell32DLL Bitmap 2  @4,1,-1\n"
              "Icon\n"
              "  Shell32DLL Icon 1  @5,0,-1\n"
              "  Shell32DLL Icon 2  @5,1,-1\n"
              "  Shell32DLL Icon 3  @5,2,-1\n"
              "GroupCursor\n"
              "  Shell32DLL GroupCursor Cursor 1\n"
              "    32 x 32 1-bit  @6,0,0\n"
              "GroupIcon\n"
              "  Shell32DLL GroupIcon Icon 1\n"
              "    16 x 16 4-bit  @7,0,0\n"
              "  Shell32DLL GroupIcon Icon 2\n"
              "    32 x 32 32-bit  @7,1,0\n"
              "    256 x 256 32-bit  @7,1,1\n"
              "Version\n");
    EXPECT_FALSE(tree.truncated());
}

TEST_F(ResourceTreeTest, OpenDialogFormUsesTheFileNameAsChosen) {
    const std::string path = modulePath(mixedModule(), "My.Shell32.DLL");
    TIEModuleResources reader(path);
    const ResourceTree tree = BuildResourceTree(reader, path, NodeTextForm::OpenDialog);
    const std::string text = render(tree);
    EXPECT_NE(text.find("\n  My.Shell32.DLL GroupIcon 1\n    16 x 16 4-bit  @7,0,0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n  My.Shell32.DLL Bitmap 2  @4,1,-1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n  My.Shell32.DLL GroupCursor 1\n"), std::string::npos) << text;

    TIEModuleResources again(path);
    const ResourceTree listed = BuildResourceTree(again, path, NodeTextForm::FileList);
    EXPECT_NE(render(listed).find("\n  MyDLL GroupIcon Icon 1\n"), std::string::npos);
}

TEST_F(ResourceTreeTest, NodeLinksAreConsistent) {
    const std::string path = modulePath(mixedModule());
    TIEModuleResources reader(path);
    const ResourceTree tree = BuildResourceTree(reader, path, NodeTextForm::FileList);
    ASSERT_EQ(tree.topLevel().size(), 9u);
    for (const ResourceTreeNode& node : tree.nodes()) {
        EXPECT_EQ(&tree.node(node.index), &node);
        const ResourceTreeNode* parent = tree.parentOf(node);
        if (parent == nullptr) {
            EXPECT_EQ(node.level, 0);
            continue;
        }
        EXPECT_EQ(node.level, parent->level + 1);
        EXPECT_NE(std::find(parent->children.begin(), parent->children.end(), node.index),
                  parent->children.end());
    }
    EXPECT_THROW(tree.node(static_cast<int>(tree.size())), std::out_of_range);
    EXPECT_THROW(tree.node(-1), std::out_of_range);
}

TEST_F(ResourceTreeTest, UnsortedDirectoryKeepsEachTypesOwnKindWord) {
    ModuleBuilder b;
    b.writer().sortEntries(false);
    b.addGroupIcon(1, {{32, 32, 32}});
    b.addBitmap(1, 4, 4, 24);
    const std::string path = modulePath(b, "app.exe");
    TIEModuleResources reader(path);
    const ResourceTree tree = BuildResourceTree(reader, path, NodeTextForm::FileList);
    // Type order follows the directory: Icon, GroupIcon, Bitmap.
    EXPECT_EQ(render(tree),
              "Icon\n"
              "  AppEXE Icon 1  @0,0,-1\n"
              "GroupIcon\n"
              "  AppEXE GroupIcon Icon 1\n"
              "    32 x 32 32-bit  @1,0,0\n"
              "Bitmap\n"
              "  AppEXE Bitmap 1  @2,0,-1\n");
}

TEST_F(ResourceTreeTest, TypesWithoutImagesGetChildlessNodes) {
    ModuleBuilder b;
    b.add(4, 1, test::ByteVec(4, 0));  // Menu
    b.add(test::kRtVersion, 1, test::ByteVec(4, 0));
    b.add("png", 1, test::pngImage(1, 1));
    const std::string path = modulePath(b);
    TIEModuleResources reader(path);
    const ResourceTree tree = BuildResourceTree(reader, path, NodeTextForm::FileList);
    EXPECT_EQ(render(tree), "png\nMenu\nVersion\n");
}

TEST_F(ResourceTreeTest, FileThatIsNotAModuleGivesAnEmptyTree) {
    test::writeFile(m_dir.file("text.dll"), std::string_view("not a module"));
    TIEModuleResources reader(m_dir.str("text.dll"));
    EXPECT_TRUE(BuildResourceTree(reader, m_dir.str("text.dll"), NodeTextForm::FileList).empty());
}

TEST(ResourceTreeTexts, KindWordsAndFormatCodesAreCaseSensitive) {
    struct Case {
        const char* type;
        const char* kind;
        int code;
    } cases[] = {{"GroupIcon", "Icon", 6},     {"Icon", "Icon", 6},   {"GroupCursor", "Cursor", 7},
                 {"Cursor", "Cursor", 7},      {"Bitmap", "Bitmap", 5}, {"Image", "", 5},
                 {"PNG", "Png", 8},            {"IMAGE", "", 0},      {"png", "", 0},
                 {"INTRESOURCE:99", "", 0},    {"Version", "", 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(typeKindWord(c.type), c.kind) << c.type;
        EXPECT_EQ(typeFormatCode(c.type), c.code) << c.type;
    }
    EXPECT_EQ(frameNodeText(48, 48, 32), "48 x 48 32-bit");
    EXPECT_EQ(groupNodeText(NodeTextForm::FileList, "C:\\Windows\\System32\\shell32.dll",
                            "GroupIcon", "Icon", 1),
              "Shell32DLL GroupIcon Icon 1");
    EXPECT_EQ(singleNodeText(NodeTextForm::FileList, "/lib/shell32.dll", "Bitmap", 1),
              "Shell32DLL Bitmap 1");
    EXPECT_EQ(groupNodeText(NodeTextForm::OpenDialog, "C:\\Windows\\System32\\shell32.dll",
                            "GroupIcon", "Icon", 1),
              "shell32.dll GroupIcon 1");
    EXPECT_EQ(singleNodeText(NodeTextForm::FileList, "/x.y/noext", "Bitmap", 3), "Noext Bitmap 3");
}

// Type "A" with a resource of 5 frames; type "B" whose first resource has frames and
// whose second has none; type "C" with three leaf resources; type "D" empty.
ResourceTree handBuiltTree() {
    ResourceTree tree;
    const int a = tree.addNode(-1, "A");
    const int group = tree.addNode(a, "A 1");
    for (int f = 0; f < 5; ++f) tree.addNode(group, "frame");
    const int b = tree.addNode(-1, "B");
    const int b1 = tree.addNode(b, "B 1");
    tree.addNode(b1, "frame");
    tree.addNode(b, "B 2");
    const int c = tree.addNode(-1, "C");
    for (int n = 0; n < 3; ++n) tree.addNode(c, "leaf");
    tree.addNode(-1, "D");
    return tree;
}

TEST(ResourceTreeCounts, ChildrenAfterStopsAtTheFirstChildWithChildren) {
    const ResourceTree tree = handBuiltTree();
    EXPECT_EQ(CountChildrenAfter(tree, nullptr), 0);
    EXPECT_EQ(CountChildrenAfter(tree, &tree.node(1)), 5);  // group with 5 frames
    EXPECT_EQ(CountChildrenAfter(tree, &tree.node(0)), 1);  // its first resource has frames
    EXPECT_EQ(CountChildrenAfter(tree, &tree.node(7)), 1);  // "B": first child has a frame
    EXPECT_EQ(CountChildrenAfter(tree, &tree.node(11)), 3); // "C": three leaves
    EXPECT_EQ(CountChildrenAfter(tree, &tree.node(2)), 0);  // a frame
    EXPECT_EQ(CountChildrenAfter(tree, &tree.node(15)), 0); // "D"
}

TEST(ResourceTreeCounts, ChildrenOfSelectionOrTopLevel) {
    const ResourceTree tree = handBuiltTree();
    EXPECT_EQ(CountChildrenOfSelection(tree, nullptr), 4);
    EXPECT_EQ(CountChildrenOfSelection(tree, &tree.node(7)), 2);
    EXPECT_EQ(CountChildrenOfSelection(tree, &tree.node(1)), 5);
    EXPECT_EQ(CountChildrenOfSelection(tree, &tree.node(2)), 0);
    EXPECT_EQ(CountChildrenOfSelection(ResourceTree{}, nullptr), 0);
}

TEST(ResourceTreeLimits, AddNodeStopsAtTheCapAndRejectsUnknownParents) {
    ResourceTree tree;
    EXPECT_EQ(tree.addNode(0, "no parent yet"), -1);
    const int root = tree.addNode(-1, "root");
    for (std::size_t i = 1; i < kMaxResourceTreeNodes; ++i) ASSERT_GE(tree.addNode(root, "n"), 0);
    EXPECT_FALSE(tree.truncated());
    EXPECT_EQ(tree.addNode(root, "one too many"), -1);
    EXPECT_TRUE(tree.truncated());
    EXPECT_EQ(tree.size(), kMaxResourceTreeNodes);
}

TEST_F(ResourceTreeTest, ManyNamesSharingOneHugeGroupAreCapped) {
    // Every group resource holds the same 4000-entry directory: 4000 frames each.
    std::vector<test::GroupEntry> entries(4000);
    const test::ByteVec directory = test::groupIconDirectory(entries);
    ModuleBuilder b;
    for (int n = 1; n <= 60; ++n) b.add(test::kRtGroupIcon, n, directory);
    const std::string path = modulePath(b);
    TIEModuleResources reader(path);
    ASSERT_TRUE(reader.IsValid());
    const ResourceTree tree = BuildResourceTree(reader, path, NodeTextForm::FileList);
    EXPECT_TRUE(tree.truncated());
    EXPECT_EQ(tree.size(), kMaxResourceTreeNodes);
}

TEST_F(ResourceTreeTest, WindresModuleListsIconsAndBitmaps) {
    if (!test::windresAvailable()) GTEST_SKIP() << "windres or ld not found";
    test::writeFile(m_dir.file("a.ico"),
                    test::icoFile({{16, 16, 32, 0, 0, test::dibIconImage(16, 16, 32)},
                                   {48, 48, 8, 0, 0, test::dibIconImage(48, 48, 8)}}));
    test::ByteVec bmp = {'B', 'M'};
    const test::ByteVec dib = test::dibBitmap(4, 4, 24);
    test::putU32(bmp, static_cast<std::uint32_t>(14 + dib.size()));
    test::putU32(bmp, 0);
    test::putU32(bmp, 14 + 40);
    bmp.insert(bmp.end(), dib.begin(), dib.end());
    test::writeFile(m_dir.file("b.bmp"), bmp);
    std::string error;
    test::WindresOptions options;
    options.stem = "imageres";
    const auto module = test::buildWindresModule(m_dir, "1 ICON \"a.ico\"\n7 BITMAP \"b.bmp\"\n",
                                                 &error, options);
    ASSERT_TRUE(module) << error;
    TIEModuleResources reader(module->string());
    const ResourceTree tree = BuildResourceTree(reader, module->string(), NodeTextForm::FileList);
    EXPECT_EQ(render(tree),
              "Bitmap\n"
              "  ImageresDLL Bitmap 1  @0,0,-1\n"
              "Icon\n"
              "  ImageresDLL Icon 1  @1,0,-1\n"
              "  ImageresDLL Icon 2  @1,1,-1\n"
              "GroupIcon\n"
              "  ImageresDLL GroupIcon Icon 1\n"
              "    16 x 16 32-bit  @2,0,0\n"
              "    48 x 48 8-bit  @2,0,1\n");
}

}  // namespace
}  // namespace tess
