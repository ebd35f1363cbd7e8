#include "mainwindow/path_shortening.h"

#include <QFontMetrics>
#include <QStringList>

namespace tess {

namespace {

bool isSeparator(QChar c) { return c == QLatin1Char('\\') || c == QLatin1Char('/'); }

// Splits into the pieces between separators, remembering the separator after each piece.
struct Pieces {
    QStringList parts;
    QList<QChar> separators;  // separators[i] follows parts[i]
};

Pieces split(const QString& path) {
    Pieces p;
    QString current;
    for (QChar c : path) {
        if (isSeparator(c)) {
            p.parts << current;
            p.separators << c;
            current.clear();
        } else {
            current += c;
        }
    }
    p.parts << current;
    return p;
}

}  // namespace

QString shortenPath(const QString& path, int maxWidth, const TextMeasure& measure) {
    if (measure(path) <= maxWidth) return path;
    // A trailing separator stays on every shortened form; the last name is the one before it.
    QString body = path;
    QString trailing;
    while (body.size() > 1 && isSeparator(body.back())) {
        trailing.prepend(body.back());
        body.chop(1);
    }
    const auto fits = [&](const QString& candidate) {
        return measure(candidate + trailing) <= maxWidth;
    };
    const Pieces p = split(body);
    const qsizetype n = p.parts.size();
    if (n < 2) return path;  // a bare name: nothing to replace

    // parts[0] is the head (a drive "C:", or "" for a path starting at the root);
    // parts[n-1] the last name; the folders in between are cut from the left.
    const QString head = p.parts.front() + p.separators.front();
    const QString& last = p.parts.back();
    for (qsizetype firstKept = 2; firstKept < n; ++firstKept) {
        QString candidate = head + QStringLiteral("...") + p.separators[firstKept - 1];
        for (qsizetype i = firstKept; i < n - 1; ++i) candidate += p.parts[i] + p.separators[i];
        candidate += last;
        if (fits(candidate)) return candidate + trailing;
    }
    const QString dotted = QStringLiteral("...") + p.separators.back() + last;
    if (fits(dotted)) return dotted + trailing;
    return last + trailing;
}

QString shortenPath(const QString& path, int maxWidth, const QFontMetrics& metrics) {
    return shortenPath(path, maxWidth,
                       [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
}

}  // namespace tess
