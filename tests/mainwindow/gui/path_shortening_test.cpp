// Shortening paths to a pixel width: middle folders give way to "..." from the left.
#include "mainwindow/path_shortening.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace tess {
namespace {

// Every character 10 pixels wide.
int tenPerChar(const QString& text) { return 10 * int(text.size()); }

struct ShortenCase {
    const char* path;
    int width;
    const char* expected;
};

TEST(PathShortening, CutsMiddleFoldersUntilTheTextFits) {
    const ShortenCase cases[] = {
        {"C:\\Windows\\System32\\shell32.dll", 310, "C:\\Windows\\System32\\shell32.dll"},
        {"C:\\Windows\\System32\\shell32.dll", 300, "C:\\...\\System32\\shell32.dll"},
        {"C:\\Windows\\System32\\shell32.dll", 200, "C:\\...\\shell32.dll"},
        {"C:\\Windows\\System32\\shell32.dll", 150, "...\\shell32.dll"},
        {"C:\\Windows\\System32\\shell32.dll", 50, "shell32.dll"},
        {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows", 300, "/.../wine/x86_64-windows"},
        {"/home/user/Images/Extracted Images/", 240, "/.../Extracted Images/"},
        {"C:/mixed\\seps/file.dll", 200, "C:/...\\seps/file.dll"},
        {"C:/mixed\\seps/file.dll", 170, "C:/.../file.dll"},
        {"shell32.dll", 20, "shell32.dll"},
        {"", 0, ""},
    };
    for (const ShortenCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(shortenPath(QString::fromUtf8(c.path), c.width, tenPerChar).toStdString(),
                  c.expected);
    }
}

TEST(PathShortening, ResultFitsWhenAnyShorteningFits) {
    const QString path = QStringLiteral("/a/bb/ccc/dddd/eeeee/name.txt");
    for (int width = 0; width <= 300; width += 10) {
        const QString result = shortenPath(path, width, tenPerChar);
        if (tenPerChar(QStringLiteral("name.txt")) <= width) {
            EXPECT_LE(tenPerChar(result), width) << width;
        }
        EXPECT_TRUE(result.endsWith(QLatin1String("name.txt")));
    }
}

}  // namespace
}  // namespace tess
