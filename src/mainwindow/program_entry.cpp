#include "mainwindow/program_entry.h"

#include <exception>

#include <QApplication>
#include <QCursor>

#include "app/product_settings.h"
#include "app/util_funcs.h"
#include "mainwindow/app_icon.h"
#include "mainwindow/dialogs.h"
#include "mainwindow/form_tessarine.h"
#include "platform/paths.h"
#include "platform/known_folders.h"

namespace tess {

namespace {

// The last line of the standard error report: an exception that an event handler did not
// report itself reaches the user here instead of ending the program.
class Application : public QApplication {
public:
    Application(int& argc, char** argv, Dialogs& dialogs)
        : QApplication(argc, argv), m_dialogs(dialogs) {}

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            m_dialogs.showError(activeWindow(), e.what());
        } catch (...) {
            m_dialogs.showError(activeWindow(), "Unknown error.");
        }
        return false;
    }

private:
    Dialogs& m_dialogs;
};

}  // namespace

int ProgramEntry(int argc, char** argv) {
    QtDialogs dialogs{std::string()};
    Application app(argc, argv, dialogs);
    // Qt's pointing-hand cursor is already the system's own hand cursor.

    std::string title;
    std::string settingsFile;
    QIcon icon;
    try {
        settingsFile = GetProductSettingsFileName();
        title = readApplicationTitle(settingsFile);
        icon = loadApplicationIcon(joinPath(ExecutableFolder(), "icon.ico"));
    } catch (const std::exception& e) {
        dialogs.showError(nullptr, e.what());
        return 1;
    }
    dialogs.setTitle(title);
    QApplication::setWindowIcon(icon);
    setBusyCursorHook([](bool busy) {
        // One override cursor for any depth of nesting.
        if (busy && !QApplication::overrideCursor())
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else if (!busy && QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    });

    TFormTessarine form(FormContext{&dialogs, title, settingsFile});
    form.setWindowIcon(icon);
    form.showAsStored();
    const int status = QApplication::exec();
    setBusyCursorHook({});
    return status;
}

}  // namespace tess
