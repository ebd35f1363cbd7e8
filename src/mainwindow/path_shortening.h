// Shortening a path to fit a width in pixels, for status panels.
#pragma once

#include <functional>

#include <QString>

class QFontMetrics;

namespace tess {

// Width of a text in pixels.
using TextMeasure = std::function<int(const QString&)>;

// The path itself when it fits `maxWidth`; otherwise the path with its middle folders
// replaced by "..." one at a time from the left (C:\a\b\c\f.dll -> C:\...\b\c\f.dll ->
// C:\...\c\f.dll -> C:\...\f.dll), then "...\f.dll", then the last part alone (which may
// still be wider). Both '\' and '/' separate folders; the separator shown next to "..."
// is the one the path uses there.
QString shortenPath(const QString& path, int maxWidth, const TextMeasure& measure);
QString shortenPath(const QString& path, int maxWidth, const QFontMetrics& metrics);

}  // namespace tess
