#include "mainwindow/dialogs.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <QFileDialog>
#include <QMessageBox>
#include <QString>

#include "platform/paths.h"

namespace tess {

std::string SelectFolder(Dialogs& dialogs, QWidget* owner, const std::string& startFolder) {
    std::error_code ec;
    if (startFolder.empty() || !std::filesystem::is_directory(toNativePath(startFolder), ec))
        return {};
    std::string chosen = dialogs.browseForFolder(owner, startFolder, "Select Folder");
    // A drive root or "/" keeps its separator; any other folder comes back without one.
    if (chosen.size() > 1) chosen = withoutTrailingSeparator(chosen);
    return chosen;
}

namespace {

std::vector<std::string> splitBar(const std::string& text) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : text) {
        if (c == '|') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}

}  // namespace

std::string toQtNameFilters(const std::string& filter) {
    const std::vector<std::string> parts = splitBar(filter);
    std::string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns;
        for (char c : parts[i + 1]) patterns += c == ';' ? ' ' : c;
        if (patterns == "*.*") patterns = "*";  // every file, also those without a dot
        std::string entry = parts[i];
        // "PE module (*.exe;*.dll)": Qt takes the patterns from the last brackets, so the
        // brackets are rewritten with Qt's blank-separated patterns.
        const auto open = entry.rfind('(');
        if (!entry.empty() && entry.back() == ')' && open != std::string::npos)
            entry = entry.substr(0, open) + "(" + patterns + ")";
        else
            entry += " (" + patterns + ")";
        if (!result.empty()) result += ";;";
        result += entry;
    }
    return result;
}

std::string QtDialogs::openFile(QWidget* owner, const std::string& filter) {
    const QString filters = QString::fromStdString(toQtNameFilters(filter));
    const QString first = filters.section(QStringLiteral(";;"), 0, 0);
    QString selected = first;
    const QString file =
        QFileDialog::getOpenFileName(owner, QString(), QString(), filters, &selected);
    return file.toStdString();
}

std::string QtDialogs::browseForFolder(QWidget* owner, const std::string& startFolder,
                                       const std::string& title) {
    const QString folder = QFileDialog::getExistingDirectory(
        owner, QString::fromStdString(title), QString::fromStdString(startFolder),
        QFileDialog::ShowDirsOnly);
    return folder.toStdString();
}

void QtDialogs::showError(QWidget* owner, const std::string& message) {
    const char* toStderr = std::getenv("TESS_ERRORS_TO_STDERR");
    if (toStderr && *toStderr) {
        std::fprintf(stderr, "%s\n", message.c_str());
        std::fflush(stderr);
        return;
    }
    QMessageBox::critical(owner, QString::fromStdString(m_title), QString::fromStdString(message));
}

}  // namespace tess
