// Developer harness, not a test: opens the real main window, clicks a module in the file
// list, reports how long the scan takes from the click to the filled resource tree,
// previews the first 32-bit frame of its first group icon and saves a picture of the
// window.
//
// Usage: gui_scan_harness MODULE OUTPUT.png
#include <cstdio>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "app/util_funcs.h"
#include "mainwindow/dialogs.h"
#include "mainwindow/form_tessarine.h"
#include "mainwindow/shell_views.h"

namespace {

void waitFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: gui_scan_harness MODULE OUTPUT.png\n");
        return 2;
    }
    const std::string module = std::filesystem::absolute(argv[1]).string();
    tess::QtDialogs dialogs("Tessarine");
    tess::TFormTessarine form(tess::FormContext{&dialogs, "Tessarine", tess::GetProductSettingsFileName()});
    form.showAsStored();
    waitFor(500);
    form.ShellTreeView1->navigateTo(std::filesystem::path(module).parent_path().string());
    waitFor(1500);  // the file list loads its folder in the background

    QTreeView* report = form.ShellListView1->reportView();
    const QModelIndex index = form.ShellListView1->fileSystemModel()->index(QString::fromStdString(module));
    report->scrollTo(index);
    waitFor(200);
    const QRect row = report->visualRect(index);
    if (!row.isValid()) {
        std::fprintf(stderr, "the module is not listed\n");
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    QTest::mousePress(report->viewport(), Qt::LeftButton, {}, row.center());
    const qint64 scanned = timer.elapsed();
    QTest::mouseRelease(report->viewport(), Qt::LeftButton, {}, row.center());
    QApplication::processEvents();  // the queued counts refresh of the press
    const qint64 refreshed = timer.elapsed();
    std::printf("window font: %s %g pt\n", qPrintable(QFontInfo(form.font()).family()),
                QFontInfo(form.font()).pointSizeF());
    std::printf("nodes at top level: %d\n", form.TreeView1->topLevelItemCount());
    std::printf("click to filled tree: %lld ms; with the counts refresh: %lld ms\n",
                static_cast<long long>(scanned), static_cast<long long>(refreshed));

    const auto groups = form.TreeView1->findItems(QStringLiteral("GroupIcon"), Qt::MatchExactly);
    if (!groups.isEmpty() && groups.front()->childCount() > 0) {
        QTreeWidgetItem* group = groups.front()->child(0);
        group->setExpanded(true);
        for (int i = 0; i < group->childCount(); ++i) {
            if (group->child(i)->text(0).endsWith(QLatin1String(" 32-bit"))) {
                QElapsedTimer preview;
                preview.start();
                form.TreeView1->setCurrentItem(group->child(i));
                std::printf("preview of %s: %lld ms\n", qPrintable(group->child(i)->text(0)),
                            static_cast<long long>(preview.elapsed()));
                break;
            }
        }
    }
    waitFor(500);
    form.grab().save(QString::fromLocal8Bit(argv[2]));
    return 0;
}
