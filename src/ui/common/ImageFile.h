#pragma once

#include <QSize>
#include <QString>
#include <functional>

class QPainter;

namespace varnex::ui {

// Pictures the program saves for reports: a PNG (pixels, for documents and
// slides) or an SVG (lines and text that stay sharp at any size), told apart
// by the file name's suffix.
bool IsImageFileName(const QString& path);

// Paints through `draw` onto a white picture of `size` pixels and writes it
// to `path` as PNG or SVG by its suffix. False when the name has neither
// suffix or the file cannot be written.
bool WriteImageFile(const QString& path, const QSize& size,
                    const std::function<void(QPainter&)>& draw);

} // namespace varnex::ui
