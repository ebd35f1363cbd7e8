// The folder browser of the main window: a folder tree and a file list, each on its own
// QFileSystemModel. The window links them: a folder chosen in the tree becomes the list's
// folder, a folder activated in the list is opened in the tree.
#pragma once

#include <string>

#include <QFileSystemModel>
#include <QListView>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>

namespace tess {

// Folders only, rooted at the file system root, its root item not shown.
class ShellTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit ShellTreeView(QWidget* parent = nullptr);

    // Selects `folder`, expanding its parents; false when it is not an existing folder.
    bool navigateTo(const std::string& folder);
    // Full path of the selected folder, "" when none is selected.
    std::string selectedFolder() const;
    // Scrolls so that the selected folder is the top row.
    void scrollSelectionToTop();

    QFileSystemModel* fileSystemModel() { return &m_model; }

signals:
    void folderChanged(const QString& path);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFileSystemModel m_model;
    // Folders load in the background: the selection is scrolled to the top again as they
    // arrive, until the user moves around in the tree.
    bool m_scrollPending = false;
    // Rows arrive and get sorted in bursts; the scroll waits until they settle.
    QTimer m_scrollTimer;
};

enum class ViewStyle { Icon, SmallIcon, List, Report };

// Folders and files of one folder, as a sortable report or as icons or a list; the views
// share one model and one selection.
class ShellListView : public QStackedWidget {
    Q_OBJECT
public:
    explicit ShellListView(QWidget* parent = nullptr);

    void setFolder(const std::string& folder);
    std::string folder() const;
    // Full path of the selected item, "" when none is selected.
    std::string selectedPath() const;
    // Selects the item with this full path (it need not be listed yet); false when there
    // is no such file or folder.
    bool selectPath(const std::string& path);
    void clearSelection();

    void setViewStyle(ViewStyle style);
    ViewStyle viewStyle() const { return m_style; }

    QFileSystemModel* fileSystemModel() { return &m_model; }
    QTreeView* reportView() { return m_report; }
    QListView* iconView() { return m_icons; }
    QAbstractItemView* currentView() const;

signals:
    // The selected item changed (also to none).
    void selectionChanged();
    // A key or mouse button was pressed in the list.
    void keyPressed();
    void mousePressed();
    // A folder of the list was opened (double click or Enter).
    void folderActivated(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFileSystemModel m_model;
    QTreeView* m_report;
    QListView* m_icons;
    ViewStyle m_style = ViewStyle::Report;
};

}  // namespace tess
