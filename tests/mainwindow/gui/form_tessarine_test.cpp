// The main window driven through its real widgets on the offscreen platform: first start,
// settings round trip, scans from the file list and the open dialog, the preview of each
// kind of node, zoom, the tree popup and the destination folder commands.
#include "mainwindow/form_tessarine.h"

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "app/util_funcs.h"
#include "mainwindow/close_up_combo_box.h"
#include "mainwindow/detail_texts.h"
#include "mainwindow/dialogs.h"
#include "mainwindow/name_routines.h"
#include "mainwindow/path_shortening.h"
#include "mainwindow/preview_view.h"
#include "mainwindow/shell_views.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "platform/known_folders.h"
#include "resources/module_resources.h"
#include "support/module_builder.h"
#include "support/resource_bytes.h"
#include "support/windres_module.h"
#include "support/temp_dir.h"

namespace tess {
namespace {

namespace fs = std::filesystem;
using test::FrameSpec;
using test::ModuleBuilder;
using test::TempDir;

// Answers the window's dialogs from scripted answers and records what was asked.
class ScriptedDialogs : public Dialogs {
public:
    std::deque<std::string> openAnswers;
    std::deque<std::string> folderAnswers;
    std::vector<std::string> filters;
    std::vector<std::pair<std::string, std::string>> folderRequests;  // start, title
    std::vector<std::string> errors;
    bool failOpen = false;  // the open dialog raises instead of answering

    std::string openFile(QWidget*, const std::string& filter) override {
        filters.push_back(filter);
        if (failOpen) throw Error("The dialog could not be shown.");
        return take(openAnswers);
    }
    std::string browseForFolder(QWidget*, const std::string& start,
                                const std::string& title) override {
        folderRequests.emplace_back(start, title);
        return take(folderAnswers);
    }
    void showError(QWidget*, const std::string& message) override { errors.push_back(message); }

private:
    static std::string take(std::deque<std::string>& answers) {
        if (answers.empty()) return {};
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

std::string str(const QString& s) { return s.toStdString(); }

class FormTest : public ::testing::Test {
protected:
    FormTest()
        : m_homeEnv("HOME", m_home.path().string()),
          m_configEnv("XDG_CONFIG_HOME", (m_home.path() / ".config").string()),
          m_wineEnv("WINEPREFIX", (m_home.path() / "no-wine").string()) {
        fs::create_directories(m_home.path() / "Documents");
        std::string plain = "[SYSTEM]\r\nName=Tessarine Test\r\nVersion=1.0\r\n";
        std::string inverted;
        std::size_t start = 0;
        while (start < plain.size()) {
            const std::size_t end = plain.find("\r\n", start);
            inverted += InvertText(plain.substr(start, end - start)) + "\r\n";
            start = end + 2;
        }
        test::writeFile(m_files.file("vantrel.dll"), inverted);
    }

    std::string iniPath() const {
        return (m_home.path() / ".config" / "Tessarine" / "Tessarine.ini").string();
    }
    void writeIni(const std::string& text) {
        fs::create_directories(fs::path(iniPath()).parent_path());
        test::writeFile(iniPath(), text);
    }
    std::string folder(const std::string& name) {
        const fs::path p = m_files.path() / name;
        fs::create_directories(p);
        return p.string();
    }

    std::unique_ptr<TFormTessarine> createForm() {
        auto form = std::make_unique<TFormTessarine>(
            FormContext{&m_dialogs, "Tessarine Test", m_files.str("vantrel.dll")});
        form->showAsStored();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }

    // A module with a two-frame group icon, a one-frame group cursor and a bitmap, in a
    // folder of its own that the settings open at start.
    std::string writeModule(const std::string& name = "testmod.dll") {
        ModuleBuilder builder;
        builder.addGroupIcon(1, {FrameSpec{32, 32, 32, 0x80FF0000}, FrameSpec{16, 16, 24, 0xFF00FF00}});
        builder.addGroupCursor(1, {FrameSpec{32, 32, 32, 0xFF0000FF}});
        builder.addBitmap(1, 8, 8, 24, 0xFF123456);
        const std::string moduleFolder = folder("modules");
        builder.writeTo(m_modulesDir, name);
        const fs::path target = fs::path(moduleFolder) / name;
        fs::copy_file(m_modulesDir.file(name), target, fs::copy_options::overwrite_existing);
        return target.string();
    }
    void startIn(const std::string& startup) {
        writeIni("[Form Main]\nStartupFolder=" + startup + "\n");
    }

    // The form, scanned from the file list on a fixture module.
    std::unique_ptr<TFormTessarine> scanFromList(std::string& module) {
        module = writeModule();
        startIn(fs::path(module).parent_path().string());
        auto form = createForm();
        EXPECT_TRUE(form->ShellListView1->selectPath(module));
        EXPECT_GT(form->TreeView1->topLevelItemCount(), 0);
        return form;
    }

    static QTreeWidgetItem* typeNode(TFormTessarine& form, const QString& type) {
        const auto found = form.TreeView1->findItems(type, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.front();
    }

    TempDir m_home;
    TempDir m_files;
    TempDir m_modulesDir;
    ScopedEnv m_homeEnv;
    ScopedEnv m_configEnv;
    ScopedEnv m_wineEnv;
    ScriptedDialogs m_dialogs;
};

// ---------------------------------------------------------------------------------------
// Start and settings

TEST_F(FormTest, FirstStartUsesDefaultsAndCreatesTheDefaultRoot) {
    const std::string defaultRoot = DefaultDestinationRoot();
    ASSERT_FALSE(fs::exists(defaultRoot));
    {
        auto form = createForm();
        EXPECT_EQ(form->size(), QSize(1079, 654));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect frame = form->frameGeometry();
        // Centred before the platform adds its frame, so to within the frame's margins.
        const int slackX = frame.width() - form->width() + 1;
        const int slackY = frame.height() - form->height() + 1;
        EXPECT_NEAR(frame.left() - screen.left(), screen.right() - frame.right(), slackX);
        EXPECT_NEAR(frame.top() - screen.top(), screen.bottom() - frame.bottom(), slackY);
        EXPECT_FALSE(form->isMaximized());
        EXPECT_FALSE(form->isMinimized());
        EXPECT_EQ(form->minimumWidth(), 961);

        EXPECT_EQ(form->IniFileName, iniPath());
        EXPECT_TRUE(fs::is_directory(fs::path(iniPath()).parent_path()));
        EXPECT_TRUE(fs::is_directory(defaultRoot));
        ASSERT_EQ(form->DestinationFolderComboBox1->count(), 1);
        EXPECT_EQ(form->DestinationFolderComboBox1->currentIndex(), 0);
        EXPECT_EQ(str(form->DestinationFolderComboBox1->itemText(0)), defaultRoot);
        EXPECT_EQ(form->DestinationFolder, defaultRoot);
        EXPECT_EQ(str(form->DestinationFolderComboBox1->toolTip()), defaultRoot);
        EXPECT_EQ(form->panelText(10),
                  shortenPath(QString::fromStdString(defaultRoot), 250, form->fontMetrics()));
        EXPECT_EQ(str(form->Label3->toolTip()), rootFolderHint(defaultRoot));

        EXPECT_EQ(form->StartupFolder, System32Folder());
        EXPECT_EQ(form->ShellTreeView1->selectedFolder(), System32Folder());
        EXPECT_EQ(form->ShellListView1->folder(), System32Folder());
        EXPECT_EQ(str(form->windowTitle()), "Tessarine Test - " + System32Folder());
        EXPECT_EQ(form->panelText(0),
                  shortenPath(QString::fromStdString(System32Folder()), 150, form->fontMetrics()));
        EXPECT_TRUE(m_dialogs.errors.empty());
    }
    const IniFile ini(iniPath());
    EXPECT_EQ(ini.readInteger("Form Main", "Width", -1), 1079);
    EXPECT_EQ(ini.readInteger("Form Main", "Height", -1), 654);
    EXPECT_EQ(ini.readInteger("Form Main", "State", -1), 0);
    EXPECT_EQ(ini.readInteger("Form Main", "DestinationFolderCount", -1), 1);
    EXPECT_EQ(ini.readString("Form Main", "DestinationFolder", "?"), defaultRoot);
    EXPECT_EQ(ini.readString("Form Main", "StartupFolder", "?"), System32Folder());
    EXPECT_EQ(ini.readString("DestinationFolders", "0", "?"), defaultRoot);
}

TEST_F(FormTest, ComponentsCarryTheirCaptionsHintsAndStartStates) {
    auto form = createForm();
    struct ButtonCase {
        QPushButton* button;
        const char* caption;
        const char* hint;
        bool enabled;
    };
    const ButtonCase buttons[] = {
        {form->View1, "View", "Open icon viewer", true},
        {form->SaveAs1, "Save As...", "Save selected image to a file...", false},
        {form->ExtractAll1, "Save All", "Save all images in the selected resource file to a folder", false},
        {form->SaveAllIcons1, "Save All Icons", "Save all icons to a file", false},
        {form->SaveGroupIcons1, "Save All Group Icons", "Save all group icons to multi-frame icon file", false},
        {form->SaveSelectedGroupIcon1, "Save Selected Group Icon...", "Save selected group icon as a multi-frame icon", false},
        {form->Exit2, "Exit", "", true},
    };
    int previousRight = -1;
    for (const ButtonCase& b : buttons) {
        SCOPED_TRACE(b.caption);
        EXPECT_EQ(str(b.button->text()), b.caption);
        EXPECT_EQ(str(b.button->toolTip()), b.hint);
        EXPECT_EQ(b.button->isEnabled(), b.enabled);
        const QRect r = b.button->geometry();
        EXPECT_GT(r.left(), previousRight);  // left to right in this order
        previousRight = r.right();
    }
    // The button row keeps its distance to the right edge when the window grows.
    const int gap = form->width() - form->Exit2->mapTo(form.get(), QPoint(form->Exit2->width(), 0)).x();
    form->resize(1300, 700);
    QApplication::processEvents();
    EXPECT_EQ(form->width() - form->Exit2->mapTo(form.get(), QPoint(form->Exit2->width(), 0)).x(), gap);

    struct ActionCase {
        QAction* action;
        const char* caption;
        bool enabled;
    };
    const ActionCase actions[] = {
        {form->Open1, "&Open...", true},
        {form->SaveImageAs1, "&Save image as...", false},
        {form->SaveAllImages1, "Save all images", false},
        {form->SaveAllIcons2, "Save all icons", false},
        {form->SaveAllGroupIcons1, "Save all group icons", false},
        {form->SaveSelectedGroupIcon2, "Save selected group icon...", false},
        {form->Exit1, "&Exit", true},
        {form->ViewIcons1, "View Icons", true},
        {form->DefaultDestinationFolder1, "Default Destination Folder", true},
        {form->ReturnToTheSystem32Folder1, "Return To The System32 Folder", true},
        {form->About1, "About", true},
        {form->SaveSelectedImage1, "Save Selected Image", false},
        {form->SaveAllImagesToAFolder1, "Save All Images To A Folder", false},
        {form->SaveAllGroupIconsToMultiframeIconFile1, "Save All Group Icons To Multiframe Icon File", false},
        {form->SaveSelectedGroupIconToMultiFrameIcon1, "Save Selected Group Icon To MultiFrame Icon", false},
        {form->Delete1, "Delete", true},
        {form->Clear1, "Clear", true},
    };
    for (const ActionCase& a : actions) {
        SCOPED_TRACE(a.caption);
        EXPECT_EQ(str(a.action->text()), a.caption);
        EXPECT_EQ(a.action->isEnabled(), a.enabled);
    }
    QStringList menus;
    for (QAction* menu : form->menuBar()->actions()) menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&View", "&Options", "&Help"}));

    for (int i = 0; i < TFormTessarine::kStatusPanels; ++i)
        EXPECT_EQ(form->StatusPanels[static_cast<std::size_t>(i)]->width(),
                  TFormTessarine::kPanelWidths[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(form->Gauge1->size(), QSize(179, 19));
    EXPECT_EQ(form->Gauge1->value(), 0);
    EXPECT_TRUE(form->Label1->font().bold());
    EXPECT_EQ(str(form->Label1->text()), "Image Resources");
    EXPECT_EQ(form->Zoom1->count(), 7);
    EXPECT_EQ(str(form->Zoom1->currentText()), "100%");
    EXPECT_EQ(form->TreeView1->indentation(), 19);
    EXPECT_EQ(form->Splitter1->handleWidth(), 5);
    const QList<int> sizes = form->Splitter1->sizes();
    ASSERT_EQ(sizes.size(), 4);
    EXPECT_EQ(sizes[0], 271);
    EXPECT_EQ(sizes[1], 250);
    EXPECT_EQ(sizes[2], 212);
    EXPECT_TRUE(form->Report1->isChecked());
}

TEST_F(FormTest, SettingsRoundTripDropsGoneAndCaseDuplicateHistoryEntries) {
    const std::string kept = folder("Dest");
    const std::string caseTwin = folder("DEST");
    const std::string gone = (m_files.path() / "Gone").string();
    const std::string startup = folder("start");
    writeIni("[form main]\n"
             "left=0x28\nTop=30\nWidth=1000\nHeight=600\nState=2\n"
             "StartupFolder=" + startup + "\n"
             "DestinationFolderCount=4\n"
             "DestinationFolder=" + caseTwin + "\n"
             "[DestinationFolders]\n"
             "0=" + kept + "\n1=" + gone + "\n2=" + caseTwin + "\n");
    {
        auto form = createForm();
        EXPECT_TRUE(form->isMaximized());
        EXPECT_EQ(form->StartupFolder, startup);
        ASSERT_EQ(form->DestinationFolderComboBox1->count(), 1);
        EXPECT_EQ(str(form->DestinationFolderComboBox1->itemText(0)), kept);
        // The root matches the kept entry without regard to case, which selects it.
        EXPECT_EQ(form->DestinationFolder, caseTwin);
        EXPECT_EQ(form->DestinationFolderComboBox1->currentIndex(), 0);
        EXPECT_TRUE(m_dialogs.errors.empty());
    }
    const IniFile ini(iniPath());
    EXPECT_EQ(ini.readInteger("Form Main", "State", -1), 2);
    EXPECT_EQ(ini.readInteger("Form Main", "Left", -1), 40);
    EXPECT_EQ(ini.readInteger("Form Main", "Top", -1), 30);
    EXPECT_EQ(ini.readInteger("Form Main", "Width", -1), 1000);
    EXPECT_EQ(ini.readInteger("Form Main", "Height", -1), 600);
    EXPECT_EQ(ini.readInteger("Form Main", "DestinationFolderCount", -1), 1);
    EXPECT_EQ(ini.readString("Form Main", "DestinationFolder", "?"), kept);
    EXPECT_EQ(ini.readString("DestinationFolders", "0", "?"), kept);
    EXPECT_EQ(ini.readString("DestinationFolders", "1", "absent"), "absent");

    // The next start opens maximised again, at the stored normal bounds underneath.
    auto again = createForm();
    EXPECT_TRUE(again->isMaximized());
    EXPECT_EQ(again->normalGeometry().size(), QSize(1000, 600));
}

TEST_F(FormTest, HugeHistoryCountReadsOnlyTheKeysPresentInIndexOrder) {
    const std::string first = folder("first");
    const std::string second = folder("second");
    const std::string beyond = folder("beyond");
    // Keys out of file order, one spelled "01" (not an index key), one past a smaller count
    // would be: the full 32-bit count must neither hang the start nor lose entries.
    writeIni("[Form Main]\nDestinationFolderCount=2147483647\nDestinationFolder=" + first +
             "\n[DestinationFolders]\n7=" + second + "\n01=" + beyond + "\n0=" + first + "\n");
    auto form = createForm();
    ASSERT_EQ(form->DestinationFolderComboBox1->count(), 2);
    EXPECT_EQ(str(form->DestinationFolderComboBox1->itemText(0)), first);
    EXPECT_EQ(str(form->DestinationFolderComboBox1->itemText(1)), second);
}

TEST_F(FormTest, SettingsThatCannotBeWrittenAreReportedAtExit) {
    {
        auto form = createForm();
        fs::create_directories(iniPath());  // a folder where the file should be
    }
    ASSERT_EQ(m_dialogs.errors.size(), 1u);
    EXPECT_EQ(m_dialogs.errors[0].rfind("Unable to write to", 0), 0u) << m_dialogs.errors[0];
    EXPECT_NE(m_dialogs.errors[0].find("Tessarine.ini"), std::string::npos);
}

TEST_F(FormTest, StoredPositionIsKeptAndNormalStateRestored) {
    writeIni("[Form Main]\nLeft=12\nTop=0\nWidth=970\nHeight=500\nState=0\n");
    auto form = createForm();
    EXPECT_EQ(form->pos(), QPoint(12, 0));
    EXPECT_EQ(form->size(), QSize(970, 500));
    EXPECT_FALSE(form->isMaximized());
}

TEST_F(FormTest, StartupFolderThatCannotBeOpenedIsReportedAndEndsTheShowSteps) {
    const std::string missing = (m_files.path() / "missing").string();
    writeIni("[Form Main]\nStartupFolder=" + missing + "\n");
    auto form = createForm();
    ASSERT_EQ(m_dialogs.errors.size(), 1u);
    EXPECT_EQ(m_dialogs.errors[0], "Error setting path: \"" + missing + "\"");
    EXPECT_EQ(form->panelText(10), QString());
    EXPECT_TRUE(form->isVisible());
}

// ---------------------------------------------------------------------------------------
// Folder browser

TEST_F(FormTest, FolderTreeAndFileListAreLinkedBothWays) {
    const std::string start = folder("browse");
    const std::string sub = folder("browse/inner");
    startIn(start);
    auto form = createForm();
    EXPECT_EQ(form->ShellListView1->folder(), start);
    EXPECT_EQ(str(form->windowTitle()), "Tessarine Test - " + start);

    const QModelIndex index = form->ShellListView1->fileSystemModel()->index(QString::fromStdString(sub));
    emit form->ShellListView1->reportView()->activated(index);
    EXPECT_EQ(form->ShellTreeView1->selectedFolder(), sub);
    EXPECT_EQ(form->StartupFolder, sub);
    EXPECT_EQ(form->ShellListView1->folder(), sub);

    form->ReturnToTheSystem32Folder1->trigger();
    EXPECT_EQ(form->ShellTreeView1->selectedFolder(), System32Folder());
    EXPECT_EQ(form->StartupFolder, System32Folder());
}

TEST_F(FormTest, ViewStylePopupIsOneRadioGroup) {
    auto form = createForm();
    form->Icon1->trigger();
    EXPECT_EQ(form->ShellListView1->viewStyle(), ViewStyle::Icon);
    EXPECT_EQ(form->ShellListView1->currentWidget(), form->ShellListView1->iconView());
    EXPECT_EQ(form->ShellListView1->iconView()->viewMode(), QListView::IconMode);
    EXPECT_TRUE(form->Icon1->isChecked());
    EXPECT_FALSE(form->Report1->isChecked());
    form->List1->trigger();
    EXPECT_EQ(form->ShellListView1->iconView()->flow(), QListView::TopToBottom);
    EXPECT_FALSE(form->Icon1->isChecked());
    form->Report1->trigger();
    EXPECT_EQ(form->ShellListView1->currentWidget(), form->ShellListView1->reportView());
    EXPECT_TRUE(form->ShellListView1->reportView()->isSortingEnabled());
}

// ---------------------------------------------------------------------------------------
// Scan

TEST_F(FormTest, ScanFromTheFileListFillsTreeCountsPanelsAndCommands) {
    std::string module;
    auto form = scanFromList(module);

    QStringList types;
    for (int i = 0; i < form->TreeView1->topLevelItemCount(); ++i)
        types << form->TreeView1->topLevelItem(i)->text(0);
    EXPECT_EQ(types, (QStringList{"Cursor", "Bitmap", "Icon", "GroupCursor", "GroupIcon"}));

    QTreeWidgetItem* groupIcons = typeNode(*form, "GroupIcon");
    ASSERT_TRUE(groupIcons);
    ASSERT_EQ(groupIcons->childCount(), 1);
    EXPECT_EQ(str(groupIcons->child(0)->text(0)), "TestmodDLL GroupIcon Icon 1");
    ASSERT_EQ(groupIcons->child(0)->childCount(), 2);
    EXPECT_EQ(str(groupIcons->child(0)->child(0)->text(0)), "32 x 32 32-bit");
    EXPECT_EQ(str(groupIcons->child(0)->child(1)->text(0)), "16 x 16 24-bit");
    EXPECT_EQ(str(typeNode(*form, "GroupCursor")->child(0)->text(0)), "TestmodDLL GroupCursor Cursor 1");
    EXPECT_EQ(str(typeNode(*form, "Bitmap")->child(0)->text(0)), "TestmodDLL Bitmap 1");
    EXPECT_EQ(typeNode(*form, "Icon")->childCount(), 2);
    EXPECT_EQ(str(typeNode(*form, "Icon")->child(1)->text(0)), "TestmodDLL Icon 2");

    const std::pair<QLabel*, const char*> labels[] = {
        {form->NoResources1, "Resources: 7"}, {form->NoImages1, "Images: 7"},
        {form->NoBitmaps1, "Bitmaps: 1"},     {form->NoPNG1, "PNG: 0"},
        {form->NoGroupIcons1, "Group Icons: 1"}, {form->NoIcons1, "Icons: 2"},
        {form->NoGroupCursors1, "Group Cursors: 1"}, {form->NoCursors1, "Cursors: 1"},
    };
    for (const auto& [label, text] : labels) EXPECT_EQ(str(label->text()), text);
    // The file labels change only through a key or mouse press in the list.
    EXPECT_EQ(str(form->Filename1->text()), "Filename:");

    EXPECT_EQ(str(form->windowTitle()), "Tessarine Test - " + module);
    EXPECT_EQ(str(form->panelText(1)), "testmod.dll");
    EXPECT_EQ(str(form->panelText(2)), FileSizeText(static_cast<std::int64_t>(fs::file_size(module))));
    EXPECT_EQ(str(form->panelText(3)), "Resources: 7");
    EXPECT_EQ(str(form->panelText(4)), "Images: 7");
    EXPECT_EQ(str(form->panelText(5)), "GroupIcons: 1");
    EXPECT_EQ(str(form->panelText(6)), "Icons: 2");

    EXPECT_TRUE(form->SaveAs1->isEnabled());
    EXPECT_TRUE(form->SaveImageAs1->isEnabled());
    EXPECT_TRUE(form->ExtractAll1->isEnabled());
    EXPECT_TRUE(form->SaveAllImages1->isEnabled());
    EXPECT_TRUE(form->SaveAllIcons1->isEnabled());
    EXPECT_TRUE(form->SaveAllIcons2->isEnabled());
    EXPECT_TRUE(form->SaveGroupIcons1->isEnabled());
    EXPECT_TRUE(form->SaveAllGroupIcons1->isEnabled());
    EXPECT_FALSE(form->SaveSelectedGroupIcon1->isEnabled());
    EXPECT_FALSE(form->SaveSelectedGroupIcon2->isEnabled());
    EXPECT_TRUE(form->ModuleResources && form->ModuleResources->IsValid());
}

TEST_F(FormTest, ScanShowsTheBusyCursorAndRestoresDrawing) {
    std::vector<bool> cursor;
    const BusyCursorHook previous = setBusyCursorHook([&](bool busy) { cursor.push_back(busy); });
    std::string module;
    auto form = scanFromList(module);
    setBusyCursorHook(previous);
    ASSERT_GE(cursor.size(), 2u);
    EXPECT_TRUE(cursor.front());
    EXPECT_FALSE(cursor.back());
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_TRUE(form->TreeView1->updatesEnabled());
    EXPECT_TRUE(form->ImageEnView1->viewport()->updatesEnabled());
}

TEST_F(FormTest, ExceptionInAnEventIsReportedAndTheWindowCarriesOn) {
    auto form = createForm();
    m_dialogs.failOpen = true;
    form->Open1->trigger();
    ASSERT_EQ(m_dialogs.errors.size(), 1u);
    EXPECT_EQ(m_dialogs.errors[0], "The dialog could not be shown.");
    m_dialogs.failOpen = false;
    const std::string module = writeModule();
    m_dialogs.openAnswers.push_back(module);
    form->Open1->trigger();
    EXPECT_GT(form->TreeView1->topLevelItemCount(), 0);
}

TEST_F(FormTest, NonModuleItemLeavesTreeAndLabelsButResetsPanels) {
    std::string module;
    auto form = scanFromList(module);
    const std::string text = (fs::path(module).parent_path() / "readme.txt").string();
    test::writeFile(text, "not a module");
    ASSERT_TRUE(form->ShellListView1->selectPath(text));
    EXPECT_GT(form->TreeView1->topLevelItemCount(), 0);
    EXPECT_EQ(str(form->NoResources1->text()), "Resources: 7");
    EXPECT_EQ(str(form->panelText(3)), "Resources: 0");
    for (int panel : {2, 4, 5, 6}) EXPECT_EQ(form->panelText(panel), QString()) << panel;
    EXPECT_EQ(str(form->windowTitle()), "Tessarine Test - " + module);
}

TEST_F(FormTest, TypesWithoutImagesGetEmptyTypeNodesAndImageResourcesAreNotPreviewed) {
    ModuleBuilder builder;
    builder.add(4, 1, test::ByteVec(16, 0));    // Menu
    builder.add(16, 1, test::ByteVec(32, 0));   // Version
    builder.add("Image", 1, test::pngImage(4, 4));
    const std::string module = (fs::path(folder("plain")) / "plain.exe").string();
    builder.writeTo(m_modulesDir, "plain.exe");
    fs::copy_file(m_modulesDir.file("plain.exe"), module);
    startIn(fs::path(module).parent_path().string());
    auto form = createForm();
    ASSERT_TRUE(form->ShellListView1->selectPath(module));

    QTreeWidgetItem* menu = typeNode(*form, "Menu");
    QTreeWidgetItem* version = typeNode(*form, "Version");
    QTreeWidgetItem* image = typeNode(*form, "Image");
    ASSERT_TRUE(menu && version && image);
    EXPECT_EQ(menu->childCount(), 0);
    EXPECT_EQ(version->childCount(), 0);
    ASSERT_EQ(image->childCount(), 1);
    EXPECT_EQ(str(image->child(0)->text(0)), "PlainEXE Image 1");
    EXPECT_EQ(str(form->NoImages1->text()), "Images: 1");
    EXPECT_FALSE(form->SaveAs1->isEnabled());
    EXPECT_FALSE(form->ExtractAll1->isEnabled());

    form->TreeView1->setCurrentItem(image->child(0));
    EXPECT_TRUE(form->ImageEnView1->image().isEmpty());
    EXPECT_FALSE(form->SaveAs1->isEnabled());
    EXPECT_EQ(form->panelText(6), QString());
    EXPECT_EQ(str(form->Frames1->text()), "Frames: 1");
}

TEST_F(FormTest, TextFileWithModuleExtensionScansToZeroCounts) {
    const std::string fake = (fs::path(folder("fake")) / "fake.dll").string();
    test::writeFile(fake, "MZ but nothing more");
    startIn(fs::path(fake).parent_path().string());
    auto form = createForm();
    ASSERT_TRUE(form->ShellListView1->selectPath(fake));
    EXPECT_EQ(form->TreeView1->topLevelItemCount(), 0);
    EXPECT_EQ(str(form->NoResources1->text()), "Resources: 0");
    EXPECT_EQ(str(form->NoPNG1->text()), "PNG: -1");
    EXPECT_FALSE(form->SaveAs1->isEnabled());
    EXPECT_FALSE(form->ExtractAll1->isEnabled());
    EXPECT_FALSE(form->SaveGroupIcons1->isEnabled());
}

TEST_F(FormTest, KeyPressInTheListRefreshesFileLabels) {
    std::string module;
    auto form = scanFromList(module);
    QTreeView* report = form->ShellListView1->reportView();
    QTest::keyClick(report, Qt::Key_Shift);
    QTRY_COMPARE(form->Filename1->text(), QString::fromStdString("Filename: " + module));
    EXPECT_EQ(str(form->NoGroupIcons1->text()), "Group Icons: 1");
    EXPECT_EQ(str(form->panelText(3)), "Resources: 7");
}

TEST_F(FormTest, MousePressInTheListRefreshesFileLabels) {
    std::string module;
    auto form = scanFromList(module);
    QTreeView* report = form->ShellListView1->reportView();
    const QModelIndex index = form->ShellListView1->fileSystemModel()->index(QString::fromStdString(module));
    QRect rect;
    QTRY_VERIFY((rect = report->visualRect(index)).isValid() && !rect.isEmpty());
    QTest::mouseClick(report->viewport(), Qt::LeftButton, {}, rect.center());
    QTRY_COMPARE(form->Filename1->text(), QString::fromStdString("Filename: " + module));
    EXPECT_EQ(str(form->FileSize1->text()),
              "Filesize: " + FileSizeText(static_cast<std::int64_t>(fs::file_size(module))));
    EXPECT_EQ(str(form->NoIcons1->text()), "Icons: 2");
}

TEST_F(FormTest, ScanThroughTheOpenDialog) {
    const std::string module = writeModule();
    auto form = createForm();
    form->ShellListView1->clearSelection();
    m_dialogs.openAnswers.push_back(module);
    const QString panel6 = form->panelText(6);
    form->Open1->trigger();
    ASSERT_EQ(m_dialogs.filters.size(), 1u);
    EXPECT_EQ(m_dialogs.filters[0],
              "PE module (*.exe;*.dll;*.ocx;*.cpl;*.scr;*.mui;*.bpl;*.ime;*.icl)|"
              "*.exe;*.dll;*.ocx;*.cpl;*.scr;*.mui;*.bpl;*.ime;*.icl|All Files|*.*");

    QTreeWidgetItem* groupIcons = typeNode(*form, "GroupIcon");
    ASSERT_TRUE(groupIcons);
    EXPECT_EQ(str(groupIcons->child(0)->text(0)), "testmod.dll GroupIcon 1");
    EXPECT_EQ(str(typeNode(*form, "GroupCursor")->child(0)->text(0)), "testmod.dll GroupCursor 1");
    EXPECT_EQ(str(typeNode(*form, "Bitmap")->child(0)->text(0)), "testmod.dll Bitmap 1");
    EXPECT_EQ(str(form->panelText(2)), "Resources: 7");
    EXPECT_EQ(str(form->panelText(3)), "Images: 7");
    EXPECT_EQ(str(form->panelText(4)), "GroupIcons: 1");
    EXPECT_EQ(str(form->panelText(5)), "Icons: 2");
    EXPECT_EQ(form->panelText(6), panel6);
    EXPECT_TRUE(form->SaveAs1->isEnabled());
    EXPECT_TRUE(form->ExtractAll1->isEnabled());

    // Without a selected list item a frame previews nothing, but the group can be saved.
    form->TreeView1->setCurrentItem(groupIcons->child(0)->child(0));
    EXPECT_TRUE(form->ImageEnView1->image().isEmpty());
    EXPECT_TRUE(form->SaveSelectedGroupIcon1->isEnabled());
    EXPECT_EQ(str(form->Colors1->text()), "Colors:");

    // A cancelled dialog changes nothing; a .mui file empties the tree and stops.
    form->Open1->trigger();
    EXPECT_GT(form->TreeView1->topLevelItemCount(), 0);
    const std::string mui = (fs::path(module).parent_path() / "testmod.mui").string();
    fs::copy_file(module, mui);
    m_dialogs.openAnswers.push_back(mui);
    form->Open1->trigger();
    EXPECT_EQ(form->TreeView1->topLevelItemCount(), 0);
    EXPECT_FALSE(form->ModuleResources);
    EXPECT_EQ(str(form->NoResources1->text()), "Resources: 7");
    EXPECT_TRUE(m_dialogs.errors.empty());
}

TEST_F(FormTest, WindresModuleWithA256PixelPngFrame) {
    if (!test::windresAvailable()) GTEST_SKIP() << "windres or ld not found";
    TempDir build;
    test::writeFile(build.file("app.ico"),
                    test::icoFile({{256, 256, 32, 0, 0, test::pngImage(256, 256, 0xC0204080)},
                                   {48, 48, 8, 0, 0, test::dibIconImage(48, 48, 8, 0xFF808000)}}));
    std::string error;
    test::WindresOptions options;
    options.stem = "my tool.beta";
    const auto built = test::buildWindresModule(build, "1 ICON \"app.ico\"\n", &error, options);
    ASSERT_TRUE(built) << error;
    const std::string module = (fs::path(folder("windres")) / "my tool.beta.dll").string();
    fs::copy_file(*built, module);
    startIn(fs::path(module).parent_path().string());
    auto form = createForm();
    ASSERT_TRUE(form->ShellListView1->selectPath(module));

    QTreeWidgetItem* group = typeNode(*form, "GroupIcon")->child(0);
    EXPECT_EQ(str(group->text(0)), "My ToolDLL GroupIcon Icon 1");
    ASSERT_EQ(group->childCount(), 2);
    EXPECT_EQ(str(group->child(0)->text(0)), "256 x 256 32-bit");
    EXPECT_EQ(str(form->NoGroupIcons1->text()), "Group Icons: 1");
    EXPECT_EQ(str(form->NoIcons1->text()), "Icons: 2");
    EXPECT_EQ(str(form->panelText(0)), str(shortenPath(QString::fromStdString(fs::path(module).parent_path().string()), 150, form->fontMetrics())));

    form->TreeView1->setCurrentItem(group->child(0));
    EXPECT_EQ(str(form->Dimensions1->text()), "Dimensions: 256 x 256");
    EXPECT_EQ(str(form->panelText(8)), "256 pixels x 256 pixels");
    EXPECT_EQ(str(form->Colors1->text()), "Colors: RGBA 32 bit");
    EXPECT_TRUE(form->ImageEnView1->chessboard());

    form->TreeView1->setCurrentItem(group->child(1));
    EXPECT_EQ(str(form->Dimensions1->text()), "Dimensions: 48 x 48");
    EXPECT_EQ(str(form->Colors1->text()), "Colors: RGB 8 bit");
    EXPECT_FALSE(form->ImageEnView1->chessboard());
}

// ---------------------------------------------------------------------------------------
// Preview

TEST_F(FormTest, ThirtyTwoBitFrameIsShownOnAChessboard) {
    std::string module;
    auto form = scanFromList(module);
    QTreeWidgetItem* frame = typeNode(*form, "GroupIcon")->child(0)->child(0);
    form->TreeView1->setCurrentItem(frame);

    EXPECT_EQ(form->ImageEnView1->image().width(), 32);
    EXPECT_EQ(form->ImageEnView1->params().fileType, 6);
    EXPECT_EQ(str(form->Colors1->text()), "Colors: RGBA 32 bit");
    EXPECT_EQ(str(form->Dimensions1->text()), "Dimensions: 32 x 32");
    EXPECT_EQ(str(form->Frames1->text()), "Frames: 2");
    EXPECT_EQ(str(form->panelText(6)), "Icon");
    EXPECT_EQ(str(form->panelText(7)), "Frames: 2");
    EXPECT_EQ(str(form->panelText(8)), "32 pixels x 32 pixels");
    EXPECT_EQ(str(form->panelText(9)), "RGBA 32 bit");
    EXPECT_TRUE(form->SaveAs1->isEnabled());
    EXPECT_TRUE(form->SaveSelectedGroupIcon1->isEnabled());
    EXPECT_TRUE(form->SaveSelectedGroupIcon2->isEnabled());
    EXPECT_TRUE(form->SaveGroupIcons1->isEnabled());
    EXPECT_EQ(form->Gauge1->value(), 0);

    // Half-transparent red over the chessboard of the button face and its complement.
    EXPECT_TRUE(form->ImageEnView1->chessboard());
    EXPECT_EQ(form->ImageEnView1->chessboardSquare(), 4);
    const QColor face = form->palette().color(QPalette::Button);
    EXPECT_EQ(form->ImageEnView1->background(), face);
    const QImage shot = form->ImageEnView1->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 1)), face);
    EXPECT_EQ(QColor(shot.pixel(5, 1)), QColor(255 - face.red(), 255 - face.green(), 255 - face.blue()));
    const QPoint centre = shot.rect().center();
    const QColor drawn(shot.pixel(centre));
    EXPECT_GT(drawn.red(), drawn.green() + 60);
    EXPECT_EQ(qAlpha(form->ImageEnView1->displayImage().pixel(3, 3)), 0x80);
}

TEST_F(FormTest, TwentyFourBitFrameIsShownOnTheWindowColour) {
    std::string module;
    auto form = scanFromList(module);
    form->TreeView1->setCurrentItem(typeNode(*form, "GroupIcon")->child(0)->child(0));
    form->TreeView1->setCurrentItem(typeNode(*form, "GroupIcon")->child(0)->child(1));
    EXPECT_EQ(str(form->Colors1->text()), "Colors: RGB 24 bit");
    EXPECT_EQ(str(form->Dimensions1->text()), "Dimensions: 16 x 16");
    EXPECT_FALSE(form->ImageEnView1->chessboard());
    const QColor window = form->palette().color(QPalette::Base);
    EXPECT_EQ(form->ImageEnView1->background(), window);
    const QImage shot = form->ImageEnView1->viewport()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 1)), window);
    EXPECT_EQ(QColor(shot.pixel(5, 1)), window);
    EXPECT_EQ(QColor(shot.pixel(shot.rect().center())), QColor(0, 255, 0));
}

TEST_F(FormTest, CursorFrameIsPreviewedButNotSavable) {
    std::string module;
    auto form = scanFromList(module);
    form->TreeView1->setCurrentItem(typeNode(*form, "GroupIcon")->child(0)->child(0));
    form->TreeView1->setCurrentItem(typeNode(*form, "GroupCursor")->child(0)->child(0));
    EXPECT_EQ(form->ImageEnView1->image().width(), 32);
    EXPECT_EQ(form->ImageEnView1->params().fileType, 7);
    EXPECT_EQ(str(form->panelText(6)), "Cursor");
    EXPECT_EQ(str(form->Frames1->text()), "Frames: 1");
    EXPECT_FALSE(form->SaveAs1->isEnabled());
    EXPECT_FALSE(form->SaveImageAs1->isEnabled());
    EXPECT_FALSE(form->SaveSelectedGroupIcon1->isEnabled());
    EXPECT_FALSE(form->SaveSelectedGroupIcon2->isEnabled());
    EXPECT_TRUE(form->SaveGroupIcons1->isEnabled());
}

TEST_F(FormTest, SingleBitmapCountsOneFrameAndItsTypeInPanelSeven) {
    std::string module;
    auto form = scanFromList(module);
    form->TreeView1->setCurrentItem(typeNode(*form, "Bitmap")->child(0));
    EXPECT_EQ(str(form->Frames1->text()), "Frames: 1");
    EXPECT_EQ(str(form->panelText(7)), "Frames: 1");
    EXPECT_EQ(str(form->panelText(6)), "Bitmap");
    EXPECT_EQ(str(form->Colors1->text()), "Colors: RGB 24 bit");
    EXPECT_EQ(str(form->Dimensions1->text()), "Dimensions: 8 x 8");
    EXPECT_TRUE(form->SaveAs1->isEnabled());
    EXPECT_FALSE(form->SaveSelectedGroupIcon1->isEnabled());
}

TEST_F(FormTest, GroupAndTypeNodesClearThePreview) {
    std::string module;
    auto form = scanFromList(module);
    QTreeWidgetItem* type = typeNode(*form, "GroupIcon");
    form->TreeView1->setCurrentItem(type->child(0)->child(0));
    ASSERT_FALSE(form->ImageEnView1->image().isEmpty());

    form->TreeView1->setCurrentItem(type->child(0));
    EXPECT_TRUE(form->ImageEnView1->image().isEmpty());
    EXPECT_EQ(str(form->Frames1->text()), "Frames: 2");
    EXPECT_EQ(str(form->Dimensions1->text()), "Dimensions:");
    EXPECT_EQ(str(form->Colors1->text()), "Colors:");
    EXPECT_EQ(str(form->panelText(6)), "GroupIcon");
    EXPECT_EQ(str(form->panelText(7)), "Frames: 2");
    EXPECT_EQ(str(form->panelText(8)), "32 pixels x 32 pixels");  // the last frame shown
    EXPECT_TRUE(form->SaveAs1->isEnabled());
    EXPECT_TRUE(form->SaveSelectedGroupIcon1->isEnabled());

    type->setExpanded(false);
    form->TreeView1->setCurrentItem(type);
    EXPECT_TRUE(type->isExpanded());
    EXPECT_FALSE(form->SaveAs1->isEnabled());
    EXPECT_FALSE(form->SaveSelectedGroupIcon1->isEnabled());
    EXPECT_FALSE(form->SaveSelectedGroupIcon2->isEnabled());
    EXPECT_TRUE(form->SaveGroupIcons1->isEnabled());
    EXPECT_EQ(str(form->panelText(6)), "GroupIcon");
    for (int panel : {7, 8, 9}) EXPECT_EQ(form->panelText(panel), QString()) << panel;
    EXPECT_EQ(str(form->Frames1->text()), "Frames:");

    form->TreeView1->setCurrentItem(typeNode(*form, "GroupCursor")->child(0));
    EXPECT_EQ(str(form->panelText(6)), "GroupCursor");
    EXPECT_FALSE(form->SaveAs1->isEnabled());
    EXPECT_EQ(str(form->Frames1->text()), "Frames:");
}

TEST_F(FormTest, ZoomListScalesTheFrame) {
    std::string module;
    auto form = scanFromList(module);
    form->TreeView1->setCurrentItem(typeNode(*form, "GroupIcon")->child(0)->child(0));
    PreviewView* view = form->ImageEnView1;
    EXPECT_DOUBLE_EQ(view->effectiveScale(), 1.0);

    form->Zoom1->setCurrentIndex(0);
    EXPECT_TRUE(view->autoFit());
    const QSize area = view->viewport()->size();
    EXPECT_DOUBLE_EQ(view->effectiveScale(), std::min(area.width() / 32.0, area.height() / 32.0));

    const std::pair<int, double> zooms[] = {{1, 0.25}, {2, 0.5}, {4, 2.0}, {5, 4.0}, {6, 8.0}, {3, 1.0}};
    for (const auto& [index, scale] : zooms) {
        form->Zoom1->setCurrentIndex(index);
        EXPECT_FALSE(view->autoFit());
        EXPECT_DOUBLE_EQ(view->effectiveScale(), scale) << index;
    }
    // The zoom stays for the next preview.
    form->Zoom1->setCurrentIndex(5);
    form->TreeView1->setCurrentItem(typeNode(*form, "Bitmap")->child(0));
    EXPECT_DOUBLE_EQ(view->effectiveScale(), 4.0);
}

TEST_F(FormTest, TreePopupTestsTheSelectedNodesOwnType) {
    std::string module;
    auto form = scanFromList(module);
    // The bitmap is the first of its siblings; type 0 of the module is "Cursor", which a
    // sibling-index test would take for the node's type.
    form->TreeView1->setCurrentItem(typeNode(*form, "Bitmap")->child(0));
    emit form->PopupMenu1->aboutToShow();
    EXPECT_FALSE(form->SaveSelectedGroupIconToMultiFrameIcon1->isEnabled());
    EXPECT_TRUE(form->SaveAllGroupIconsToMultiframeIconFile1->isEnabled());
    EXPECT_TRUE(form->SaveSelectedImage1->isEnabled());
    EXPECT_TRUE(form->SaveAllImagesToAFolder1->isEnabled());

    // The second frame of the group icon: sibling index 1 would name "Bitmap".
    form->TreeView1->setCurrentItem(typeNode(*form, "GroupIcon")->child(0)->child(1));
    emit form->PopupMenu1->aboutToShow();
    EXPECT_TRUE(form->SaveSelectedGroupIconToMultiFrameIcon1->isEnabled());
    EXPECT_TRUE(m_dialogs.errors.empty());
}

// ---------------------------------------------------------------------------------------
// Destination folders

TEST_F(FormTest, BrowseAddsNewRootsOnceWhateverTheirCase) {
    auto form = createForm();
    const std::string root = form->DestinationFolder;
    const std::string chosen = folder("out");
    const std::string chosenUpper = folder("OUT");

    m_dialogs.folderAnswers.push_back(chosen + "/");
    QTest::mouseClick(form->BrowseForFolder1, Qt::LeftButton);
    ASSERT_EQ(m_dialogs.folderRequests.size(), 1u);
    EXPECT_EQ(m_dialogs.folderRequests[0], std::make_pair(root, std::string("Select Folder")));
    EXPECT_EQ(form->DestinationFolder, chosen);
    ASSERT_EQ(form->DestinationFolderComboBox1->count(), 2);
    EXPECT_EQ(form->DestinationFolderComboBox1->currentIndex(), 1);
    EXPECT_EQ(str(form->DestinationFolderComboBox1->toolTip()), chosen);
    EXPECT_EQ(form->panelText(10), shortenPath(QString::fromStdString(chosen), 250, form->fontMetrics()));

    form->DestinationFolderComboBox1->setCurrentIndex(0);
    m_dialogs.folderAnswers.push_back(chosenUpper);
    form->DefaultDestinationFolder1->trigger();
    EXPECT_EQ(m_dialogs.folderRequests.back().first, chosen);
    EXPECT_EQ(form->DestinationFolder, chosenUpper);
    EXPECT_EQ(form->DestinationFolderComboBox1->count(), 2);
    EXPECT_EQ(form->DestinationFolderComboBox1->currentIndex(), 0);
    EXPECT_EQ(str(form->DestinationFolderComboBox1->toolTip()), chosen);

    // Cancelled: the root stays, panel 10 is refreshed from it.
    form->StatusPanels[10]->clear();
    QTest::mouseClick(form->BrowseForFolder1, Qt::LeftButton);
    EXPECT_EQ(form->DestinationFolder, chosenUpper);
    EXPECT_EQ(form->panelText(10), shortenPath(QString::fromStdString(chosenUpper), 250, form->fontMetrics()));

    // A root that is gone starts the picker in the documents folder.
    form->DestinationFolder = (m_files.path() / "gone").string();
    QTest::mouseClick(form->BrowseForFolder1, Qt::LeftButton);
    EXPECT_EQ(m_dialogs.folderRequests.back().first, DocumentsFolder());
    EXPECT_TRUE(m_dialogs.errors.empty());
}

TEST_F(FormTest, BrowseWithoutDocumentsFolderIsReported) {
    fs::remove_all(m_home.path() / "Documents");
    auto form = createForm();
    form->DestinationFolder = (m_files.path() / "gone").string();
    QTest::mouseClick(form->BrowseForFolder1, Qt::LeftButton);
    ASSERT_EQ(m_dialogs.errors.size(), 1u);
    EXPECT_EQ(m_dialogs.errors[0], "Could not find Documents folder location.");
    EXPECT_TRUE(m_dialogs.folderRequests.empty());
    EXPECT_EQ(form->DestinationFolder, (m_files.path() / "gone").string());
}

TEST_F(FormTest, SelectFolderAsksNothingForAMissingStartFolder) {
    EXPECT_EQ(SelectFolder(m_dialogs, nullptr, (m_files.path() / "missing").string()), "");
    EXPECT_EQ(SelectFolder(m_dialogs, nullptr, ""), "");
    EXPECT_TRUE(m_dialogs.folderRequests.empty());
    m_dialogs.folderAnswers.push_back("/srv/pictures/");
    EXPECT_EQ(SelectFolder(m_dialogs, nullptr, m_files.path().string()), "/srv/pictures");
    EXPECT_EQ(m_dialogs.folderRequests.back().second, "Select Folder");
}

TEST_F(FormTest, CloseUpDeleteAndClear) {
    const std::string first = folder("first");
    const std::string second = folder("second");
    writeIni("[Form Main]\nDestinationFolderCount=2\nDestinationFolder=" + first +
             "\n[DestinationFolders]\n0=" + first + "\n1=" + second + "\n");
    {
        auto form = createForm();
        EXPECT_EQ(form->DestinationFolderComboBox1->currentIndex(), 0);

        form->DestinationFolderComboBox1->setCurrentIndex(1);
        form->DestinationFolderComboBox1->showPopup();
        form->DestinationFolderComboBox1->hidePopup();
        EXPECT_EQ(form->DestinationFolder, second);
        EXPECT_EQ(str(form->DestinationFolderComboBox1->toolTip()), second);
        EXPECT_EQ(form->panelText(10), shortenPath(QString::fromStdString(second), 250, form->fontMetrics()));
        EXPECT_EQ(str(form->Label3->toolTip()), rootFolderHint(second));

        form->Delete1->trigger();
        ASSERT_EQ(form->DestinationFolderComboBox1->count(), 1);
        EXPECT_EQ(form->DestinationFolderComboBox1->currentIndex(), -1);
        EXPECT_EQ(form->DestinationFolder, second);  // until the next close-up
        form->Delete1->trigger();                       // nothing selected: nothing removed
        EXPECT_EQ(form->DestinationFolderComboBox1->count(), 1);
        form->DestinationFolderComboBox1CloseUp();
        EXPECT_EQ(form->DestinationFolder, "");

        const QString panel10 = form->panelText(10);
        form->Clear1->trigger();
        EXPECT_EQ(form->DestinationFolderComboBox1->count(), 0);
        EXPECT_EQ(form->DestinationFolderComboBox1->currentText(), QString());
        EXPECT_EQ(form->DestinationFolder, "");
        EXPECT_EQ(form->panelText(10), panel10);
    }
    const IniFile ini(iniPath());
    EXPECT_EQ(ini.readInteger("Form Main", "DestinationFolderCount", -1), 0);
    EXPECT_EQ(ini.readString("Form Main", "DestinationFolder", "?"), "");
    // The next start falls back to the default root.
    auto again = createForm();
    EXPECT_EQ(again->DestinationFolder, DefaultDestinationRoot());
    EXPECT_EQ(again->DestinationFolderComboBox1->count(), 1);
}

}  // namespace
}  // namespace tess
