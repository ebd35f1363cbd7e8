#include "mainwindow/form_tessarine.h"

#include <cstdint>
#include <map>
#include <stdexcept>
#include <vector>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

#include "app/product_settings.h"
#include "app/util_funcs.h"
#include "mainwindow/close_up_combo_box.h"
#include "mainwindow/detail_texts.h"
#include "mainwindow/dialogs.h"
#include "mainwindow/name_routines.h"
#include "mainwindow/path_shortening.h"
#include "mainwindow/preview_view.h"
#include "mainwindow/resource_tree_model.h"
#include "mainwindow/shell_views.h"
#include "platform/error.h"
#include "platform/file_queries.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/known_folders.h"
#include "resources/module_resources.h"
#include "resources/resource_statistics.h"

namespace tess {

namespace {

constexpr char kFormMain[] = "Form Main";
constexpr char kHistory[] = "DestinationFolders";
constexpr char kOpenFilter[] =
    "PE module (*.exe;*.dll;*.ocx;*.cpl;*.scr;*.mui;*.bpl;*.ime;*.icl)|"
    "*.exe;*.dll;*.ocx;*.cpl;*.scr;*.mui;*.bpl;*.ime;*.icl|All Files|*.*";
constexpr int kZoomPercents[] = {0, 25, 50, 100, 200, 400, 800};

// Item data of resource-tree nodes: the node's index in the tree model.
constexpr int kNodeRole = Qt::UserRole;

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Suspends a widget's drawing for the lifetime of the scope.
class RedrawSuspended {
public:
    explicit RedrawSuspended(QWidget* w) : m_widget(w), m_was(w->updatesEnabled()) {
        w->setUpdatesEnabled(false);
    }
    ~RedrawSuspended() { m_widget->setUpdatesEnabled(m_was); }
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;

private:
    QWidget* m_widget;
    bool m_was;
};

int levelOf(const QTreeWidgetItem* node) {
    int level = 0;
    for (const QTreeWidgetItem* p = node->parent(); p; p = p->parent()) ++level;
    return level;
}

const QTreeWidgetItem* topLevelAncestor(const QTreeWidgetItem* node) {
    while (node->parent()) node = node->parent();
    return node;
}

void applyState(QAction* a, const std::optional<bool>& state) {
    if (state) a->setEnabled(*state);
}
void applyState(QWidget* w, const std::optional<bool>& state) {
    if (state) w->setEnabled(*state);
}

}  // namespace

TFormTessarine::TFormTessarine(FormContext context, QWidget* parent)
    : QMainWindow(parent), m_context(std::move(context)) {
    setObjectName(QStringLiteral("FormTessarine"));
    createComponents();
    connectEvents();
    FormCreate();
}

TFormTessarine::~TFormTessarine() { FormDestroy(); }

void TFormTessarine::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        m_context.dialogs->showError(this, e.what());
    } catch (...) {
        m_context.dialogs->showError(this, "Unknown error.");
    }
}

// ---------------------------------------------------------------------------------------
// Components

void TFormTessarine::createComponents() {
    // Tahoma is rarely installed here; the sans-serif fallback takes its place.
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    setMinimumWidth(961);

    createMenus();

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Panel1"));
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(4);

    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(5);
    Splitter1->setOpaqueResize(true);
    Splitter1->setChildrenCollapsible(false);

    ShellTreeView1 = new ShellTreeView(Splitter1);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    ShellListView1 = new ShellListView(Splitter1);
    ShellListView1->setObjectName(QStringLiteral("ShellListView1"));
    TreeView1 = new QTreeWidget(Splitter1);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    // Long node texts scroll sideways instead of being cut short.
    TreeView1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    TreeView1->header()->setStretchLastSection(false);
    TreeView1->setIndentation(19);
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    Panel2 = createDetailPanel();

    Splitter1->addWidget(ShellTreeView1);
    Splitter1->addWidget(ShellListView1);
    Splitter1->addWidget(TreeView1);
    Splitter1->addWidget(Panel2);
    for (int i = 0; i < 3; ++i) Splitter1->setStretchFactor(i, 0);
    Splitter1->setStretchFactor(3, 1);
    Splitter1->setSizes({271, 250, 212, 330});

    centralLayout->addWidget(Splitter1, 1);
    centralLayout->addWidget(createBottomRow());
    setCentralWidget(central);

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < kStatusPanels; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(kPanelWidths[static_cast<std::size_t>(i)]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel);
        StatusPanels[static_cast<std::size_t>(i)] = panel;
    }
    setStatusBar(bar);
    applyStates(initialStates());
}

void TFormTessarine::createMenus() {
    auto* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    Open1 = file->addAction(QStringLiteral("&Open..."));
    SaveImageAs1 = file->addAction(QStringLiteral("&Save image as..."));
    SaveAllImages1 = file->addAction(QStringLiteral("Save all images"));
    SaveAllIcons2 = file->addAction(QStringLiteral("Save all icons"));
    SaveAllGroupIcons1 = file->addAction(QStringLiteral("Save all group icons"));
    SaveSelectedGroupIcon2 = file->addAction(QStringLiteral("Save selected group icon..."));
    file->addSeparator();
    Exit1 = file->addAction(QStringLiteral("&Exit"));

    auto* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View2"));
    ViewIcons1 = view->addAction(QStringLiteral("View Icons"));

    auto* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    DefaultDestinationFolder1 = options->addAction(QStringLiteral("Default Destination Folder"));
    ReturnToTheSystem32Folder1 =
        options->addAction(QStringLiteral("Return To The System32 Folder"));

    auto* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    About1 = help->addAction(QStringLiteral("About"));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    SaveSelectedImage1 = PopupMenu1->addAction(QStringLiteral("Save Selected Image"));
    SaveAllImagesToAFolder1 = PopupMenu1->addAction(QStringLiteral("Save All Images To A Folder"));
    SaveAllGroupIconsToMultiframeIconFile1 =
        PopupMenu1->addAction(QStringLiteral("Save All Group Icons To Multiframe Icon File"));
    SaveSelectedGroupIconToMultiFrameIcon1 =
        PopupMenu1->addAction(QStringLiteral("Save Selected Group Icon To MultiFrame Icon"));

    PopupMenuPanel2 = new QMenu(this);
    PopupMenuPanel2->setObjectName(QStringLiteral("PopupMenuPanel2"));
    auto* styles = new QActionGroup(this);
    styles->setExclusive(true);
    Icon1 = PopupMenuPanel2->addAction(QStringLiteral("Icon"));
    SmallIcon1 = PopupMenuPanel2->addAction(QStringLiteral("Small Icon"));
    List1 = PopupMenuPanel2->addAction(QStringLiteral("List"));
    Report1 = PopupMenuPanel2->addAction(QStringLiteral("Report"));
    for (QAction* a : {Icon1, SmallIcon1, List1, Report1}) {
        a->setCheckable(true);
        styles->addAction(a);
    }
    Report1->setChecked(true);

    PopupMenuDestination1 = new QMenu(this);
    PopupMenuDestination1->setObjectName(QStringLiteral("PopupMenuDestination1"));
    Delete1 = PopupMenuDestination1->addAction(QStringLiteral("Delete"));
    Clear1 = PopupMenuDestination1->addAction(QStringLiteral("Clear"));

    const std::pair<QAction*, const char*> names[] = {
        {Open1, "Open1"},
        {SaveImageAs1, "SaveImageAs1"},
        {SaveAllImages1, "SaveAllImages1"},
        {SaveAllIcons2, "SaveAllIcons2"},
        {SaveAllGroupIcons1, "SaveAllGroupIcons1"},
        {SaveSelectedGroupIcon2, "SaveSelectedGroupIcon2"},
        {Exit1, "Exit1"},
        {ViewIcons1, "ViewIcons1"},
        {DefaultDestinationFolder1, "DefaultDestinationFolder1"},
        {ReturnToTheSystem32Folder1, "ReturnToTheSystem32Folder1"},
        {About1, "About1"},
        {SaveSelectedImage1, "SaveSelectedImage1"},
        {SaveAllImagesToAFolder1, "SaveAllImagesToAFolder1"},
        {SaveAllGroupIconsToMultiframeIconFile1, "SaveAllGroupIconsToMultiframeIconFile1"},
        {SaveSelectedGroupIconToMultiFrameIcon1, "SaveSelectedGroupIconToMultiFrameIcon1"},
        {Icon1, "Icon1"},
        {SmallIcon1, "SmallIcon1"},
        {List1, "List1"},
        {Report1, "Report1"},
        {Delete1, "Delete1"},
        {Clear1, "Clear1"},
    };
    for (const auto& [action, name] : names) action->setObjectName(QString::fromLatin1(name));
}

QWidget* TFormTessarine::createDetailPanel() {
    auto* panel = new QFrame(Splitter1);
    panel->setObjectName(QStringLiteral("Panel2"));
    panel->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);

    auto label = [&](QLabel*& target, const char* name, const char* text) {
        target = new QLabel(QString::fromLatin1(text), panel);
        target->setObjectName(QString::fromLatin1(name));
        layout->addWidget(target);
    };
    label(Label1, "Label1", "Image Resources");
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    label(Filename1, "Filename1", "Filename:");
    label(FileSize1, "FileSize1", "FileSize:");
    label(NoResources1, "NoResources1", "Resources:");
    label(NoImages1, "NoImages1", "Images:");
    label(NoBitmaps1, "NoBitmaps1", "Bitmaps:");
    label(NoPNG1, "NoPNG1", "PNG:");
    label(NoGroupIcons1, "NoGroupIcons1", "Group Icons:");
    label(NoIcons1, "NoIcons1", "Icons:");
    label(NoGroupCursors1, "NoGroupCursors1", "Group Cursors:");
    label(NoCursors1, "NoCursors1", "Cursors:");
    label(Frames1, "Frames1", "Frames:");
    label(Dimensions1, "Dimensions1", "Dimensions:");
    label(Colors1, "Colors1", "Colors:");
    // Long paths in the file label must not widen the panel.
    Filename1->setMinimumWidth(1);
    Filename1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    ImageEnView1 = new PreviewView(panel);
    ImageEnView1->setObjectName(QStringLiteral("ImageEnView1"));
    ImageEnView1->setMinimumHeight(64);
    layout->addWidget(ImageEnView1, 1);

    auto* zoomRow = new QHBoxLayout;
    Label2 = new QLabel(QStringLiteral("Zoom"), panel);
    Label2->setObjectName(QStringLiteral("Label2"));
    Zoom1 = new QComboBox(panel);
    Zoom1->setObjectName(QStringLiteral("Zoom1"));
    Zoom1->addItems({QStringLiteral("Auto Fit"), QStringLiteral("25%"), QStringLiteral("50%"),
                     QStringLiteral("100%"), QStringLiteral("200%"), QStringLiteral("400%"),
                     QStringLiteral("800%")});
    Zoom1->setCurrentIndex(3);
    zoomRow->addWidget(Label2);
    zoomRow->addWidget(Zoom1);
    zoomRow->addStretch(1);
    layout->addLayout(zoomRow);

    Label3 = new QLabel(QStringLiteral("Root Destination Folder"), panel);
    Label3->setObjectName(QStringLiteral("Label3"));
    layout->addWidget(Label3);
    auto* destinationRow = new QHBoxLayout;
    DestinationFolderComboBox1 = new CloseUpComboBox(panel);
    DestinationFolderComboBox1->setObjectName(QStringLiteral("DestinationFolderComboBox1"));
    DestinationFolderComboBox1->setEditable(true);
    // Typed text is never taken as a root, so it is never added to the history either.
    DestinationFolderComboBox1->setInsertPolicy(QComboBox::NoInsert);
    DestinationFolderComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    DestinationFolderComboBox1->setMinimumContentsLength(10);
    DestinationFolderComboBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    DestinationFolderComboBox1->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
    BrowseForFolder1 = new QToolButton(panel);
    BrowseForFolder1->setObjectName(QStringLiteral("BrowseForFolder1"));
    BrowseForFolder1->setText(QStringLiteral("..."));
    destinationRow->addWidget(DestinationFolderComboBox1, 1);
    destinationRow->addWidget(BrowseForFolder1);
    layout->addLayout(destinationRow);
    return panel;
}

QWidget* TFormTessarine::createBottomRow() {
    auto* row = new QWidget(this);
    row->setObjectName(QStringLiteral("Panel3"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(6, 2, 6, 2);

    Gauge1 = new QProgressBar(row);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setFixedSize(179, 19);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setTextVisible(true);
    QPalette gaugePalette = Gauge1->palette();
    gaugePalette.setColor(QPalette::Highlight, palette().color(QPalette::Active, QPalette::Highlight));
    Gauge1->setPalette(gaugePalette);
    layout->addWidget(Gauge1);
    // The buttons keep their distance to the right edge when the window is resized.
    layout->addStretch(1);

    auto button = [&](QPushButton*& target, const char* name, const char* text,
                      const char* hint) {
        target = new QPushButton(QString::fromLatin1(text), row);
        target->setObjectName(QString::fromLatin1(name));
        if (*hint) target->setToolTip(QString::fromLatin1(hint));
        layout->addWidget(target);
    };
    button(View1, "View1", "View", "Open icon viewer");
    button(SaveAs1, "SaveAs1", "Save As...", "Save selected image to a file...");
    button(ExtractAll1, "ExtractAll1", "Save All",
           "Save all images in the selected resource file to a folder");
    button(SaveAllIcons1, "SaveAllIcons1", "Save All Icons", "Save all icons to a file");
    button(SaveGroupIcons1, "SaveGroupIcons1", "Save All Group Icons",
           "Save all group icons to multi-frame icon file");
    button(SaveSelectedGroupIcon1, "SaveSelectedGroupIcon1", "Save Selected Group Icon...",
           "Save selected group icon as a multi-frame icon");
    layout->addSpacing(12);
    button(Exit2, "Exit2", "Exit", "");
    return row;
}

void TFormTessarine::connectEvents() {
    auto on = [this](auto* sender, auto signal, void (TFormTessarine::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(ShellTreeView1, &ShellTreeView::folderChanged, &TFormTessarine::ShellTreeView1Change);
    on(ShellListView1, &ShellListView::selectionChanged, &TFormTessarine::ShellListView1Change);
    on(ShellListView1, &ShellListView::keyPressed, &TFormTessarine::ShellListView1KeyDown);
    on(ShellListView1, &ShellListView::mousePressed, &TFormTessarine::ShellListView1MouseDown);
    connect(ShellListView1, &ShellListView::folderActivated, this, [this](const QString& path) {
        guarded([&] { ShellTreeView1->navigateTo(path.toStdString()); });
    });
    // Sorting by a column keeps the list in place; the view repaints itself.
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        guarded([&] { TreeView1Change(node); });
    });
    connect(TreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1->popup(TreeView1->viewport()->mapToGlobal(pos));
    });
    on(PopupMenu1, &QMenu::aboutToShow, &TFormTessarine::PopupMenu1Popup);
    connect(Panel2, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenuPanel2->popup(Panel2->mapToGlobal(pos));
    });
    const std::pair<QAction*, ViewStyle> styles[] = {{Icon1, ViewStyle::Icon},
                                                     {SmallIcon1, ViewStyle::SmallIcon},
                                                     {List1, ViewStyle::List},
                                                     {Report1, ViewStyle::Report}};
    for (const auto& [action, style] : styles) {
        connect(action, &QAction::triggered, this,
                [this, style = style] { ShellListView1->setViewStyle(style); });
    }
    on(Zoom1, &QComboBox::currentIndexChanged, &TFormTessarine::Zoom1Change);
    on(ImageEnView1, &PreviewView::finished, &TFormTessarine::ImageEnView1Finish);
    connect(ImageEnView1, &PreviewView::progress, this, &TFormTessarine::ImageEnView1Progress);

    on(BrowseForFolder1, &QToolButton::clicked, &TFormTessarine::BrowseForFolder1Click);
    on(DefaultDestinationFolder1, &QAction::triggered,
       &TFormTessarine::DefaultDestinationFolder1Click);
    on(DestinationFolderComboBox1, &CloseUpComboBox::closedUp,
       &TFormTessarine::DestinationFolderComboBox1CloseUp);
    auto destinationMenu = [this](QWidget* source) {
        connect(source, &QWidget::customContextMenuRequested, this, [this, source](const QPoint& pos) {
            PopupMenuDestination1->popup(source->mapToGlobal(pos));
        });
    };
    destinationMenu(DestinationFolderComboBox1);
    destinationMenu(DestinationFolderComboBox1->lineEdit());
    on(Delete1, &QAction::triggered, &TFormTessarine::Delete1Click);
    on(Clear1, &QAction::triggered, &TFormTessarine::Clear1Click);

    on(Open1, &QAction::triggered, &TFormTessarine::Open1Click);
    on(ReturnToTheSystem32Folder1, &QAction::triggered,
       &TFormTessarine::ReturnToTheSystem32Folder1Click);
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    connect(Exit2, &QPushButton::clicked, this, &QWidget::close);
    // The save commands, the icon viewer and the about box are wired by their own
    // features; until then their items only carry captions, hints and states.
}

// ---------------------------------------------------------------------------------------
// Life cycle and settings

void TFormTessarine::FormCreate() {
    guarded([this] {
        // The product information record and the caption.
        setWindowTitle(qs(m_context.appTitle));
        ReadProductInfo(m_context.productSettingsFile);
        ModuleResources.reset();

        const std::string appData = AppDataFolder();
        IniFileName = joinPath(joinPath(appData, "Tessarine"), "Tessarine.ini");
        const std::string folder = joinPath(appData, "Tessarine");
        if (!folderExists(folder) && !createFolders(folder))
            throw Error("Cannot create folder \"" + folder + "\".");
        LoadSettings(IniFileName);

        ImageEnView1->clear();
        ImageEnView1->setBackground(palette().color(QPalette::Base));
        ImageEnView1->params().bmpAlphaFromFourthByte = true;
        // The three trees keep their selection drawn in full when they lose the focus.
        for (QWidget* view : {static_cast<QWidget*>(ShellTreeView1),
                              static_cast<QWidget*>(ShellListView1),
                              static_cast<QWidget*>(TreeView1)}) {
            QPalette p = view->palette();
            for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
                p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
            view->setPalette(p);
        }
        Label3->setToolTip(qs(rootFolderHint(DestinationFolder)));
    });
    ShellListView1->currentView()->setFocus();
}

void TFormTessarine::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TFormTessarine::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const QRect frame = frameGeometry();
    move(available.left() + (available.width() - frame.width()) / 2,
         available.top() + (available.height() - frame.height()) / 2);
}

void TFormTessarine::showAsStored() {
    if (m_centreOnShow) centreOnScreen();
    switch (m_storedState) {
    case 1: showMinimized(); break;
    case 2: showMaximized(); break;
    default: show(); break;
    }
}

void TFormTessarine::FormShow() {
    guarded([this] {
        if (!ShellTreeView1->navigateTo(StartupFolder))
            throw Error("Error setting path: \"" + StartupFolder + "\"");
        ShellTreeView1->scrollSelectionToTop();
        ShellListView1->update();
        const int entry = findDestination(DestinationFolder);
        if (entry >= 0) DestinationFolderComboBox1->setCurrentIndex(entry);
        DestinationFolderComboBox1->setToolTip(qs(DestinationFolder));
        refreshDestinationPanel();
    });
}

void TFormTessarine::FormDestroy() {
    guarded([this] {
        // Without a settings path (no application-data folder) there is nothing to write.
        if (!IniFileName.empty()) SaveSettings(IniFileName);
    });
    clearResourceTree();
    ModuleResources.reset();
}

void TFormTessarine::LoadSettings(const std::string& fileName) {
    const IniFile ini(fileName);
    const int left = ini.readInteger(kFormMain, "Left", 0);
    const int top = ini.readInteger(kFormMain, "Top", 0);
    const int width = ini.readInteger(kFormMain, "Width", 1079);
    const int height = ini.readInteger(kFormMain, "Height", 654);
    move(left, top);
    resize(width, height);
    m_storedState = ini.readInteger(kFormMain, "State", 0);
    if (m_storedState < 0 || m_storedState > 2) m_storedState = 0;
    m_centreOnShow = left == 0 && top == 0;

    StartupFolder = ini.readString(kFormMain, "StartupFolder", System32Folder());
    const int count = ini.readInteger(kFormMain, "DestinationFolderCount", 0);
    const std::string defaultRoot = DefaultDestinationRoot();
    DestinationFolder = ini.readString(kFormMain, "DestinationFolder", defaultRoot);
    if (!folderExists(defaultRoot)) createFolders(defaultRoot);
    if (!folderExists(DestinationFolder) && folderExists(defaultRoot))
        DestinationFolder = defaultRoot;

    // Keys 0 .. count-1 of the history in index order. The section is read once and only
    // its keys that spell such an index are visited, so a huge stored count costs nothing;
    // indices without a key read as empty and are skipped.
    std::map<int, std::string> history;
    for (auto& [key, value] : ini.readSection(kHistory)) {
        std::int32_t index = 0;
        if (parseIniInteger(key, index) && index >= 0 && index < count &&
            key == std::to_string(index))
            history.emplace(index, std::move(value));
    }
    for (const auto& [index, entry] : history) {
        if (!entry.empty() && folderExists(entry) && findDestination(entry) < 0)
            DestinationFolderComboBox1->addItem(qs(entry));
    }
    // Entries are listed without one being chosen; showing the window selects the root.
    DestinationFolderComboBox1->setCurrentIndex(-1);
    if (count == 0) {
        if (findDestination(defaultRoot) < 0) DestinationFolderComboBox1->addItem(qs(defaultRoot));
        DestinationFolderComboBox1->setCurrentIndex(0);
    }
}

void TFormTessarine::SaveSettings(const std::string& fileName) {
    IniFile ini(fileName);
    // A minimised or maximised window keeps the bounds it returns to.
    const QRect bounds = (isMinimized() || isMaximized()) ? normalGeometry() : geometry();
    const QPoint position = (isMinimized() || isMaximized()) ? bounds.topLeft() : pos();
    ini.writeInteger(kFormMain, "Left", position.x());
    ini.writeInteger(kFormMain, "Top", position.y());
    ini.writeInteger(kFormMain, "Width", bounds.width());
    ini.writeInteger(kFormMain, "Height", bounds.height());
    ini.writeInteger(kFormMain, "State", isMinimized() ? 1 : isMaximized() ? 2 : 0);
    ini.writeString(kFormMain, "StartupFolder", StartupFolder);
    const int count = DestinationFolderComboBox1->count();
    ini.writeInteger(kFormMain, "DestinationFolderCount", count);
    DestinationFolder = selectedDestination();
    ini.writeString(kFormMain, "DestinationFolder", DestinationFolder);
    ini.eraseSection(kHistory);
    for (int i = 0; i < count; ++i)
        ini.writeString(kHistory, std::to_string(i),
                        DestinationFolderComboBox1->itemText(i).toStdString());
}

// ---------------------------------------------------------------------------------------
// Folder browser and module scan

void TFormTessarine::ShellTreeView1Change() {
    const std::string folder = ShellTreeView1->selectedFolder();
    if (folder.empty()) return;
    StartupFolder = folder;
    setCaptionPath(folder);
    setPanel(0, shortenPath(qs(folder), 150, fontMetrics()).toStdString());
    ShellListView1->setFolder(folder);
}

void TFormTessarine::ReturnToTheSystem32Folder1Click() {
    const std::string folder = System32Folder();
    if (!ShellTreeView1->navigateTo(folder)) throw Error("Error setting path: \"" + folder + "\"");
    ShellListView1->update();
}

void TFormTessarine::ShellListView1Change() {
    const std::string path = ShellListView1->selectedPath();
    if (path.empty()) return;
    if (!IsModuleFileName(path)) {
        setPanel(2, "");
        setPanel(3, "Resources: 0");
        setPanel(4, "");
        setPanel(5, "");
        setPanel(6, "");
        return;
    }
    ScanModule(path, ScanSource::FileList);
}

void TFormTessarine::Open1Click() {
    const std::string path = m_context.dialogs->openFile(this, kOpenFilter);
    if (path.empty() || !fileExists(path)) return;
    clearResourceTree();
    ModuleResources.reset();
    if (!IsModuleFileName(path)) return;
    ScanModule(path, ScanSource::OpenDialog);
}

void TFormTessarine::clearResourceTree() {
    // The nodes point at bookmarks of the current reader: they go first.
    const QSignalBlocker block(TreeView1);
    TreeView1->clear();
    m_tree.reset();
}

void TFormTessarine::fillTreeWidget() {
    const QSignalBlocker block(TreeView1);
    std::vector<QTreeWidgetItem*> items(m_tree->size(), nullptr);
    QList<QTreeWidgetItem*> topLevel;
    for (const ResourceTreeNode& node : m_tree->nodes()) {
        QTreeWidgetItem* parent =
            node.parent >= 0 ? items[static_cast<std::size_t>(node.parent)] : nullptr;
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem();
        item->setText(0, qs(node.text));
        item->setData(0, kNodeRole, node.index);
        items[static_cast<std::size_t>(node.index)] = item;
        if (!parent) topLevel << item;
    }
    TreeView1->addTopLevelItems(topLevel);
}

const ResourceTreeNode* TFormTessarine::nodeOf(const QTreeWidgetItem* item) const {
    if (!item || !m_tree) return nullptr;
    bool ok = false;
    const int index = item->data(0, kNodeRole).toInt(&ok);
    if (!ok || index < 0 || static_cast<std::size_t>(index) >= m_tree->size()) return nullptr;
    return &m_tree->node(index);
}

void TFormTessarine::ScanModule(const std::string& path, ScanSource source) {
    BusyScope busy;
    RedrawSuspended treeFrozen(TreeView1);
    clearResourceTree();
    ImageEnView1->clear();
    setCaptionPath(path);
    setPanel(0, shortenPath(qs(parentFolder(path)), 150, fontMetrics()).toStdString());
    setPanel(1, fileNamePart(path));
    RedrawSuspended previewFrozen(ImageEnView1->viewport());
    if (!fileExists(path)) return;

    showCounts(path, source);

    ModuleResources.reset();
    ModuleResources = std::make_unique<TIEModuleResources>(path);
    if (!ModuleResources->IsValid()) return;
    m_tree = std::make_unique<ResourceTree>(
        BuildResourceTree(*ModuleResources, path,
                          source == ScanSource::FileList ? NodeTextForm::FileList
                                                         : NodeTextForm::OpenDialog));
    fillTreeWidget();
}

void TFormTessarine::showCounts(const std::string& path, ScanSource source) {
    const std::int32_t resources = CountResources(path);
    const std::int32_t images = CountImages(path);
    const std::int32_t bitmaps = CountBitmaps(path);
    const std::int32_t pngs = CountPngImages(path);
    const std::int32_t groupIcons = CountGroupIcons(path);
    const std::int32_t icons = CountIcons(path);
    const std::int32_t groupCursorFrames = CountGroupCursorFrames(path);
    const std::int32_t cursors = CountCursors(path);

    auto labelText = [](QLabel* label, const char* caption, std::int32_t n) {
        label->setText(qs(caption + IntToThousands(n)));
    };
    labelText(NoResources1, "Resources: ", resources);
    labelText(NoImages1, "Images: ", images);
    labelText(NoBitmaps1, "Bitmaps: ", bitmaps);
    labelText(NoPNG1, "PNG: ", pngs);
    labelText(NoGroupIcons1, "Group Icons: ", groupIcons);
    labelText(NoIcons1, "Icons: ", icons);
    labelText(NoGroupCursors1, "Group Cursors: ", groupCursorFrames);
    labelText(NoCursors1, "Cursors: ", cursors);

    ModuleCounts counts;
    counts.extractable = CountExtractable(path);
    counts.groupIcons = groupIcons;
    counts.hasIcons = HasIcons(path);
    if (source == ScanSource::FileList) {
        setPanel(2, FileSizeText(FileSizeOf(path)));
        setPanel(3, "Resources: " + IntToThousands(resources));
        setPanel(4, "Images: " + IntToThousands(images));
        setPanel(5, "GroupIcons: " + IntToThousands(groupIcons));
        setPanel(6, "Icons: " + IntToThousands(icons));
        applyStates(statesAfterListScan(counts));
    } else {
        setPanel(2, "Resources: " + IntToThousands(resources));
        setPanel(3, "Images: " + IntToThousands(images));
        setPanel(4, "GroupIcons: " + IntToThousands(groupIcons));
        setPanel(5, "Icons: " + IntToThousands(icons));
        counts.hasImages = HasImages(path);
        applyStates(statesAfterOpenScan(counts));
    }
}

void TFormTessarine::ShellListView1KeyDown() {
    const std::string path = ShellListView1->selectedPath();
    if (path.empty() || !IsModuleFileName(path)) return;
    const std::int32_t resources = CountResources(path);
    const std::int32_t images = CountImages(path);
    const std::int32_t groupIcons = CountGroupIcons(path);
    const std::int32_t icons = CountIcons(path);
    Filename1->setText(qs("Filename: " + path));
    FileSize1->setText(qs("Filesize: " + FileSizeText(FileSizeOf(path))));
    NoResources1->setText(qs("Resources: " + IntToThousands(resources)));
    NoImages1->setText(qs("Images: " + IntToThousands(images)));
    NoBitmaps1->setText(qs("Bitmaps: " + IntToThousands(CountBitmaps(path))));
    NoPNG1->setText(qs("PNG: " + IntToThousands(CountPngImages(path))));
    NoGroupIcons1->setText(qs("Group Icons: " + IntToThousands(groupIcons)));
    NoIcons1->setText(qs("Icons: " + IntToThousands(icons)));
    NoGroupCursors1->setText(qs("Group Cursors: " + IntToThousands(CountGroupCursorFrames(path))));
    NoCursors1->setText(qs("Cursors: " + IntToThousands(CountCursors(path))));
    setPanel(2, FileSizeText(FileSizeOf(path)));
    setPanel(3, "Resources: " + IntToThousands(resources));
    setPanel(4, "Images: " + IntToThousands(images));
    setPanel(5, "GroupIcons: " + IntToThousands(groupIcons));
    setPanel(6, "Icons: " + IntToThousands(icons));
    ModuleCounts counts;
    counts.extractable = CountExtractable(path);
    counts.groupIcons = groupIcons;
    applyStates(statesAfterCountsRefresh(counts));
}

void TFormTessarine::ShellListView1MouseDown() { ShellListView1KeyDown(); }

// ---------------------------------------------------------------------------------------
// Preview

void TFormTessarine::TreeView1Change(QTreeWidgetItem* node) {
    const ResourceTreeNode* model = nodeOf(node);
    if (!model) return;
    if (model->bookmark && model->children.empty())
        leafSelected(node);
    else
        branchSelected(node);
}

void TFormTessarine::leafSelected(QTreeWidgetItem* node) {
    const ResourceTreeNode& model = *nodeOf(node);
    const TIEResourceBookmark& bookmark = *model.bookmark;
    if (!ModuleResources) return;
    std::int32_t size = 0;
    const std::uint8_t* data = ModuleResources->BookmarkData(bookmark, size);
    LeafFacts facts;
    facts.typeName = ModuleResources->TypeName(bookmark.TypeIndex);
    facts.formatCode = previewFormatCode(facts.typeName);
    const std::string listItem = ShellListView1->selectedPath();
    facts.listHasSelection = !listItem.empty();
    if (facts.listHasSelection) {
        facts.hasGroupType = HasGroupIconType(listItem) || HasGroupCursorType(listItem);
        facts.extractable = CountExtractable(listItem);
    }
    applyStates(statesForLeaf(facts));
    if (!facts.listHasSelection) return;
    setPanel(6, previewKindText(facts.formatCode));

    const int code = facts.formatCode;
    if (code == 5 || code == 6 || code == 7 || code == 8) {
        ImageEnView1->params().isResource = true;
        ImageEnView1->loadFromMemory(data, size > 0 ? static_cast<std::size_t>(size) : 0, code);
        ImageEnView1->params().fileType = code;
    } else {
        ImageEnView1->clear();
    }
    ImageEnView1->viewport()->update();

    const int width = ImageEnView1->image().width();
    const int height = ImageEnView1->image().height();
    const int depth = ImageEnView1->params().colorDepth();
    if (depth == 32) {
        ImageEnView1->setBackground(palette().color(QPalette::Button));
        ImageEnView1->setChessboard(true, 4);
    } else {
        ImageEnView1->setBackground(palette().color(QPalette::Base));
        ImageEnView1->setChessboard(false);
    }
    const std::string frames = IntToThousands(CountChildrenAfter(*m_tree, m_tree->parentOf(model)));
    Frames1->setText(qs(facts.typeName == "GroupIcon" ? "Frames: " + frames : std::string("Frames: 1")));
    Dimensions1->setText(qs("Dimensions: " + shortDimensionText(width, height)));
    Colors1->setText(qs("Colors: " + colorText(depth)));
    setPanel(7, "Frames: " + frames);
    setPanel(8, dimensionText(width, height));
    setPanel(9, colorText(depth));
}

void TFormTessarine::branchSelected(QTreeWidgetItem* node) {
    node->setExpanded(true);
    const std::string listItem = ShellListView1->selectedPath();
    BranchFacts facts;
    if (!listItem.empty()) {
        facts.hasGroupType = HasGroupIconType(listItem) || HasGroupCursorType(listItem);
        facts.hasImages = HasImages(listItem);
        facts.hasIcons = HasIcons(listItem);
    }
    ImageEnView1->clear();

    const int level = levelOf(node);
    const QString parentText = node->parent() ? node->parent()->text(0) : QString();
    if (level == 1 && parentText == QLatin1String("GroupIcon"))
        facts.kind = BranchKind::GroupIconResource;
    else if (level == 1 && parentText == QLatin1String("GroupCursor"))
        facts.kind = BranchKind::GroupCursorResource;
    applyStates(statesForBranch(facts));
    switch (facts.kind) {
    case BranchKind::GroupIconResource: setPanel(6, "GroupIcon"); break;
    case BranchKind::GroupCursorResource: setPanel(6, "GroupCursor"); break;
    case BranchKind::Other:
        setPanel(6, node->text(0).toStdString());
        setPanel(7, "");
        setPanel(8, "");
        setPanel(9, "");
        break;
    }

    if (level >= 1 && parentText == QLatin1String("GroupIcon")) {
        const std::string frames = IntToThousands(CountChildrenOfSelection(*m_tree, nodeOf(node)));
        Frames1->setText(qs("Frames: " + frames));
        setPanel(7, "Frames: " + frames);
    } else {
        Frames1->setText(QStringLiteral("Frames:"));
        setPanel(7, "");
    }
    Dimensions1->setText(QStringLiteral("Dimensions:"));
    Colors1->setText(QStringLiteral("Colors:"));
}

void TFormTessarine::Zoom1Change() {
    const int index = Zoom1->currentIndex();
    if (index < 0 || index > 6) return;
    if (index == 0) {
        ImageEnView1->setAutoFit(true);
    } else {
        ImageEnView1->setAutoFit(false);
        ImageEnView1->setZoom(kZoomPercents[index]);
    }
    ImageEnView1->viewport()->update();
}

void TFormTessarine::ImageEnView1Progress(int percent) {
    Gauge1->setMaximum(100);
    Gauge1->setValue(percent);
}

void TFormTessarine::ImageEnView1Finish() { Gauge1->setValue(0); }

void TFormTessarine::PopupMenu1Popup() {
    const std::string listItem = ShellListView1->selectedPath();
    if (listItem.empty()) return;
    PopupFacts facts;
    facts.hasImages = HasImages(listItem);
    facts.extractable = CountExtractable(listItem);
    facts.hasGroupType = HasGroupIconType(listItem) || HasGroupCursorType(listItem);
    const QTreeWidgetItem* node = TreeView1->currentItem();
    facts.treeHasSelection = node != nullptr;
    if (node && facts.hasGroupType) {
        // The command concerns the type the selected node belongs to: the index of its
        // top-level ancestor. A tree of another module (opened by dialog) may name a type
        // the list item lacks; that type is then not icon-like.
        const int typeIndex = TreeView1->indexOfTopLevelItem(
            const_cast<QTreeWidgetItem*>(topLevelAncestor(node)));
        try {
            facts.selectedTypeIsIconLike = IsIconLikeType(listItem, typeIndex);
        } catch (const std::out_of_range&) {
            facts.selectedTypeIsIconLike = false;
        }
    }
    applyStates(statesForTreePopup(facts));
}

// ---------------------------------------------------------------------------------------
// Destination folders

int TFormTessarine::findDestination(const std::string& folder) const {
    for (int i = 0; i < DestinationFolderComboBox1->count(); ++i)
        if (equalsIgnoreAsciiCase(DestinationFolderComboBox1->itemText(i).toStdString(), folder))
            return i;
    return -1;
}

std::string TFormTessarine::selectedDestination() const {
    const int index = DestinationFolderComboBox1->currentIndex();
    return index < 0 ? std::string() : DestinationFolderComboBox1->itemText(index).toStdString();
}

void TFormTessarine::refreshDestinationPanel() {
    setPanel(10, shortenPath(qs(DestinationFolder), 250, fontMetrics()).toStdString());
}

void TFormTessarine::BrowseForFolder1Click() {
    const std::string start = folderExists(DestinationFolder) ? DestinationFolder : DocumentsFolder();
    const std::string chosen = SelectFolder(*m_context.dialogs, this, start);
    if (!chosen.empty() && folderExists(chosen)) {
        DestinationFolder = chosen;
        if (findDestination(chosen) < 0) {
            DestinationFolderComboBox1->addItem(qs(chosen));
            DestinationFolderComboBox1->setCurrentIndex(DestinationFolderComboBox1->count() - 1);
            DestinationFolderComboBox1->setToolTip(qs(DestinationFolder));
        }
    }
    refreshDestinationPanel();
}

void TFormTessarine::DefaultDestinationFolder1Click() { BrowseForFolder1Click(); }

void TFormTessarine::DestinationFolderComboBox1CloseUp() {
    DestinationFolder = selectedDestination();
    DestinationFolderComboBox1->setToolTip(qs(DestinationFolder));
    refreshDestinationPanel();
    Label3->setToolTip(qs(rootFolderHint(DestinationFolder)));
}

void TFormTessarine::Delete1Click() {
    const int index = DestinationFolderComboBox1->currentIndex();
    if (index < 0) return;
    DestinationFolderComboBox1->removeItem(index);
    // No entry is chosen after a removal, as the list had no other selection.
    DestinationFolderComboBox1->setCurrentIndex(-1);
}

void TFormTessarine::Clear1Click() {
    DestinationFolderComboBox1->clear();
    DestinationFolderComboBox1->clearEditText();
    DestinationFolder.clear();
}

// ---------------------------------------------------------------------------------------
// Shared helpers

void TFormTessarine::applyStates(const CommandStates& s) {
    applyState(SaveImageAs1, s.saveImageAsMenu);
    applyState(SaveAllImages1, s.saveAllImagesMenu);
    applyState(SaveAllIcons2, s.saveAllIconsMenu);
    applyState(SaveAllGroupIcons1, s.saveAllGroupIconsMenu);
    applyState(SaveSelectedGroupIcon2, s.saveSelectedGroupIconMenu);
    applyState(SaveAs1, s.saveAsButton);
    applyState(ExtractAll1, s.saveAllButton);
    applyState(SaveAllIcons1, s.saveAllIconsButton);
    applyState(SaveGroupIcons1, s.saveAllGroupIconsButton);
    applyState(SaveSelectedGroupIcon1, s.saveSelectedGroupIconButton);
    applyState(SaveSelectedImage1, s.popupSaveSelectedImage);
    applyState(SaveAllImagesToAFolder1, s.popupSaveAllImages);
    applyState(SaveAllGroupIconsToMultiframeIconFile1, s.popupSaveAllGroupIcons);
    applyState(SaveSelectedGroupIconToMultiFrameIcon1, s.popupSaveSelectedGroupIcon);
}

void TFormTessarine::setPanel(int index, const std::string& text) {
    StatusPanels[static_cast<std::size_t>(index)]->setText(qs(text));
}

QString TFormTessarine::panelText(int index) const {
    return StatusPanels[static_cast<std::size_t>(index)]->text();
}

void TFormTessarine::setCaptionPath(const std::string& path) {
    setWindowTitle(qs(m_context.appTitle + " - " + path));
}

}  // namespace tess
