// The modal dialogs of the main window behind one interface, so that tests can answer
// them without a user: the open dialog, the folder picker and the error message box.
#pragma once

#include <string>
#include <utility>

class QWidget;

namespace tess {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The open dialog with a filter of the form "Description|*.a;*.b|All Files|*.*",
    // its first entry selected. The chosen file, or "" when cancelled.
    virtual std::string openFile(QWidget* owner, const std::string& filter) = 0;
    // The folder picker titled `title`, opened at `startFolder` (which exists). The chosen
    // folder without a trailing separator, or "" when cancelled.
    virtual std::string browseForFolder(QWidget* owner, const std::string& startFolder,
                                        const std::string& title) = 0;
    // The message box of the standard error report.
    virtual void showError(QWidget* owner, const std::string& message) = 0;
};

// The folder picker titled "Select Folder" at `startFolder`; "" without showing anything
// when that folder does not exist, and "" when the user cancels.
std::string SelectFolder(Dialogs& dialogs, QWidget* owner, const std::string& startFolder);

// "Desc|*.a;*.b|All Files|*.*" as a Qt name filter list "Desc (*.a *.b);;All Files (*)".
// A description that already ends with its patterns in brackets is kept as it is.
std::string toQtNameFilters(const std::string& filter);

// The dialogs shown to the user. When the environment variable TESS_ERRORS_TO_STDERR is
// set to a non-empty value, error reports are written to stderr (one line each) instead
// of a modal message box; the tests run the program that way.
class QtDialogs : public Dialogs {
public:
    // `title` is the application title, the caption of the error message box.
    explicit QtDialogs(std::string title) : m_title(std::move(title)) {}
    void setTitle(std::string title) { m_title = std::move(title); }

    std::string openFile(QWidget* owner, const std::string& filter) override;
    std::string browseForFolder(QWidget* owner, const std::string& startFolder,
                                const std::string& title) override;
    void showError(QWidget* owner, const std::string& message) override;

private:
    std::string m_title;
};

}  // namespace tess
