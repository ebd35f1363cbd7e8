#include "mainwindow/shell_views.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>

#include "platform/paths.h"

namespace tess {

ShellTreeView::ShellTreeView(QWidget* parent) : QTreeView(parent) {
    m_model.setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot | QDir::Hidden);
    m_model.setReadOnly(true);
    m_model.setRootPath(QStringLiteral("/"));
    setModel(&m_model);
    setRootIndex(m_model.index(QStringLiteral("/")).parent());
    for (int c = 1; c < m_model.columnCount(); ++c) hideColumn(c);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) emit folderChanged(m_model.filePath(current));
            });
    m_scrollTimer.setSingleShot(true);
    m_scrollTimer.setInterval(60);
    connect(&m_scrollTimer, &QTimer::timeout, this, [this] {
        if (m_scrollPending && currentIndex().isValid())
            scrollTo(currentIndex(), QAbstractItemView::PositionAtTop);
    });
    const auto settle = [this] {
        if (m_scrollPending) m_scrollTimer.start();
    };
    connect(&m_model, &QFileSystemModel::directoryLoaded, this, settle);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, settle);
    connect(&m_model, &QAbstractItemModel::layoutChanged, this, settle);
}

bool ShellTreeView::navigateTo(const std::string& folder) {
    const QString path = QString::fromStdString(toNativePath(folder));
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir()) return false;
    const QModelIndex index = m_model.index(info.absoluteFilePath());
    if (!index.isValid()) return false;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) expand(p);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    // Keep the new folder in view while its parents are still loading.
    m_scrollPending = true;
    scrollTo(index);
    return true;
}

std::string ShellTreeView::selectedFolder() const {
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !selectionModel()->isSelected(index)) return {};
    return m_model.filePath(index).toStdString();
}

void ShellTreeView::scrollSelectionToTop() {
    if (!currentIndex().isValid()) return;
    m_scrollPending = true;
    scrollTo(currentIndex(), QAbstractItemView::PositionAtTop);
}

void ShellTreeView::wheelEvent(QWheelEvent* event) {
    m_scrollPending = false;
    QTreeView::wheelEvent(event);
}

void ShellTreeView::keyPressEvent(QKeyEvent* event) {
    m_scrollPending = false;
    QTreeView::keyPressEvent(event);
}

// A right click selects the folder under the mouse, as a left click does.
void ShellTreeView::mousePressEvent(QMouseEvent* event) {
    m_scrollPending = false;
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }
    QTreeView::mousePressEvent(event);
}

ShellListView::ShellListView(QWidget* parent)
    : QStackedWidget(parent), m_report(new QTreeView(this)), m_icons(new QListView(this)) {
    m_model.setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    m_model.setReadOnly(false);  // renaming in place (F2)

    m_report->setModel(&m_model);
    m_report->setRootIsDecorated(false);
    m_report->setItemsExpandable(false);
    m_report->setSortingEnabled(true);
    m_report->sortByColumn(0, Qt::AscendingOrder);
    m_report->setUniformRowHeights(true);
    m_report->setSelectionMode(QAbstractItemView::SingleSelection);
    m_report->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_report->header()->setSectionsMovable(false);
    m_report->setColumnWidth(0, 160);

    m_icons->setModel(&m_model);
    m_icons->setSelectionModel(m_report->selectionModel());
    m_icons->setSelectionMode(QAbstractItemView::SingleSelection);
    m_icons->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_icons->setResizeMode(QListView::Adjust);

    addWidget(m_report);
    addWidget(m_icons);
    setCurrentWidget(m_report);

    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_report),
                                    static_cast<QAbstractItemView*>(m_icons)}) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
            if (m_model.isDir(index)) emit folderActivated(m_model.filePath(index));
        });
    }
    QItemSelectionModel* selection = m_report->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            [this] { emit selectionChanged(); });
}

void ShellListView::setFolder(const std::string& folder) {
    const QString path = QString::fromStdString(toNativePath(folder));
    if (this->folder() == folder) return;
    m_report->selectionModel()->clear();
    const QModelIndex root = m_model.setRootPath(path);
    m_report->setRootIndex(root);
    m_icons->setRootIndex(root);
}

std::string ShellListView::folder() const { return m_model.rootPath().toStdString(); }

std::string ShellListView::selectedPath() const {
    const QModelIndexList rows = m_report->selectionModel()->selectedRows();
    if (rows.isEmpty()) return {};
    return m_model.filePath(rows.front()).toStdString();
}

bool ShellListView::selectPath(const std::string& path) {
    const QFileInfo info(QString::fromStdString(toNativePath(path)));
    if (!info.exists()) return false;
    const QModelIndex index = m_model.index(info.absoluteFilePath());
    if (!index.isValid()) return false;
    m_report->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    currentView()->scrollTo(index);
    return true;
}

void ShellListView::clearSelection() { m_report->selectionModel()->clear(); }

void ShellListView::setViewStyle(ViewStyle style) {
    m_style = style;
    switch (style) {
    case ViewStyle::Report:
        setCurrentWidget(m_report);
        return;
    case ViewStyle::Icon:
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWrapping(true);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setGridSize(QSize(80, 64));
        break;
    case ViewStyle::SmallIcon:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setWrapping(true);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize(150, 20));
        break;
    case ViewStyle::List:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setFlow(QListView::TopToBottom);
        m_icons->setWrapping(true);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize());
        break;
    }
    setCurrentWidget(m_icons);
}

QAbstractItemView* ShellListView::currentView() const {
    return m_style == ViewStyle::Report ? static_cast<QAbstractItemView*>(m_report)
                                        : static_cast<QAbstractItemView*>(m_icons);
}

// The notices are queued, so they arrive after the view has moved its selection: the
// counts then describe the item the user has just reached, not the one before it.
bool ShellListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == currentView())
        QMetaObject::invokeMethod(this, &ShellListView::keyPressed, Qt::QueuedConnection);
    if (event->type() == QEvent::MouseButtonPress && watched == currentView()->viewport())
        QMetaObject::invokeMethod(this, &ShellListView::mousePressed, Qt::QueuedConnection);
    return QStackedWidget::eventFilter(watched, event);
}

}  // namespace tess
