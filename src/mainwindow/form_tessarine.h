// TFormTessarine: the main window. It holds the folder browser, the resource tree of the
// chosen module, the detail panel with counts, preview, zoom and root destination folder,
// the command buttons, the gauge and the status bar, and keeps its settings in
// Tessarine.ini. The window only shows and collects: counts, names, tree contents and
// enabled states come from plain routines that the CLI and the tests use too.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include <QMainWindow>

#include "mainwindow/command_states.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tess {

class CloseUpComboBox;
class Dialogs;
class PreviewView;
class ResourceTree;
struct ResourceTreeNode;
class ShellListView;
class ShellTreeView;
class TIEModuleResources;

struct FormContext {
    Dialogs* dialogs = nullptr;   // not owned; outlives the window
    std::string appTitle;         // the caption prefix
    std::string productSettingsFile;  // vantrel.dll, read again for the product information
};

class TFormTessarine : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kStatusPanels = 13;
    static constexpr std::array<int, kStatusPanels> kPanelWidths{150, 125, 100, 120, 100, 120, 100,
                                                                  100, 150, 100, 100, 100, 50};

    explicit TFormTessarine(FormContext context, QWidget* parent = nullptr);
    ~TFormTessarine() override;

    // Shows the window as the settings left it: centred when Left and Top were both 0,
    // then normal, minimised or maximised.
    void showAsStored();

    // Window state besides the components.
    std::string IniFileName;
    std::string StartupFolder;
    std::string DestinationFolder;
    std::unique_ptr<TIEModuleResources> ModuleResources;

    // Life cycle and settings.
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void LoadSettings(const std::string& fileName);
    void SaveSettings(const std::string& fileName);

    // Event handlers.
    void ShellTreeView1Change();
    void ShellListView1Change();
    void ShellListView1KeyDown();
    void ShellListView1MouseDown();
    void Open1Click();
    void TreeView1Change(QTreeWidgetItem* node);
    void Zoom1Change();
    void PopupMenu1Popup();
    void BrowseForFolder1Click();
    void DefaultDestinationFolder1Click();
    void DestinationFolderComboBox1CloseUp();
    void Delete1Click();
    void Clear1Click();
    void ReturnToTheSystem32Folder1Click();
    void ImageEnView1Progress(int percent);
    void ImageEnView1Finish();

    QString panelText(int index) const;
    // Runs `handler` as an event of this window: an exception is reported in the error
    // message box and the event ends there.
    void guarded(const std::function<void()>& handler);

    // Components, named by role as in the window's design.
    ShellTreeView* ShellTreeView1 = nullptr;
    ShellListView* ShellListView1 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QWidget* Panel2 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QLabel* Label1 = nullptr;  // "Image Resources"
    QLabel* Filename1 = nullptr;
    QLabel* FileSize1 = nullptr;
    QLabel* NoResources1 = nullptr;
    QLabel* NoImages1 = nullptr;
    QLabel* NoBitmaps1 = nullptr;
    QLabel* NoPNG1 = nullptr;
    QLabel* NoGroupIcons1 = nullptr;
    QLabel* NoIcons1 = nullptr;
    QLabel* NoGroupCursors1 = nullptr;
    QLabel* NoCursors1 = nullptr;
    QLabel* Frames1 = nullptr;
    QLabel* Dimensions1 = nullptr;
    QLabel* Colors1 = nullptr;
    PreviewView* ImageEnView1 = nullptr;
    QLabel* Label2 = nullptr;  // "Zoom"
    QComboBox* Zoom1 = nullptr;
    QLabel* Label3 = nullptr;  // "Root Destination Folder"
    CloseUpComboBox* DestinationFolderComboBox1 = nullptr;
    QToolButton* BrowseForFolder1 = nullptr;
    QProgressBar* Gauge1 = nullptr;
    std::array<QLabel*, kStatusPanels> StatusPanels{};

    // Menu "&File", "&View", "&Options", "&Help".
    QAction* Open1 = nullptr;
    QAction* SaveImageAs1 = nullptr;
    QAction* SaveAllImages1 = nullptr;
    QAction* SaveAllIcons2 = nullptr;
    QAction* SaveAllGroupIcons1 = nullptr;
    QAction* SaveSelectedGroupIcon2 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* ViewIcons1 = nullptr;
    QAction* DefaultDestinationFolder1 = nullptr;
    QAction* ReturnToTheSystem32Folder1 = nullptr;
    QAction* About1 = nullptr;
    // Button row.
    QPushButton* View1 = nullptr;
    QPushButton* SaveAs1 = nullptr;
    QPushButton* ExtractAll1 = nullptr;
    QPushButton* SaveAllIcons1 = nullptr;
    QPushButton* SaveGroupIcons1 = nullptr;
    QPushButton* SaveSelectedGroupIcon1 = nullptr;
    QPushButton* Exit2 = nullptr;
    // Resource tree popup.
    QMenu* PopupMenu1 = nullptr;
    QAction* SaveSelectedImage1 = nullptr;
    QAction* SaveAllImagesToAFolder1 = nullptr;
    QAction* SaveAllGroupIconsToMultiframeIconFile1 = nullptr;
    QAction* SaveSelectedGroupIconToMultiFrameIcon1 = nullptr;
    // View style popup of the detail panel.
    QMenu* PopupMenuPanel2 = nullptr;
    QAction* Icon1 = nullptr;
    QAction* SmallIcon1 = nullptr;
    QAction* List1 = nullptr;
    QAction* Report1 = nullptr;
    // Destination list popup.
    QMenu* PopupMenuDestination1 = nullptr;
    QAction* Delete1 = nullptr;
    QAction* Clear1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class ScanSource { FileList, OpenDialog };

    void createComponents();
    void createMenus();
    QWidget* createDetailPanel();
    QWidget* createBottomRow();
    void connectEvents();

    void ScanModule(const std::string& path, ScanSource source);
    void clearResourceTree();
    void fillTreeWidget();
    const ResourceTreeNode* nodeOf(const QTreeWidgetItem* item) const;
    void showCounts(const std::string& path, ScanSource source);
    void leafSelected(QTreeWidgetItem* node);
    void branchSelected(QTreeWidgetItem* node);
    void applyStates(const CommandStates& states);
    void setPanel(int index, const std::string& text);
    void setCaptionPath(const std::string& path);
    void centreOnScreen();
    void refreshDestinationPanel();
    int findDestination(const std::string& folder) const;
    std::string selectedDestination() const;

    FormContext m_context;
    // The model behind TreeView1; its bookmarks belong to ModuleResources.
    std::unique_ptr<ResourceTree> m_tree;
    bool m_shown = false;
    bool m_centreOnShow = false;
    int m_storedState = 0;
};

}  // namespace tess
