#include "ui/common/ImageFile.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace varnex::ui {

namespace {

bool IsSvg(const QString& path) {
    return path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
}
bool IsPng(const QString& path) {
    return path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
}

} // namespace

bool IsImageFileName(const QString& path) { return IsPng(path) || IsSvg(path); }

bool WriteImageFile(const QString& path, const QSize& size,
                    const std::function<void(QPainter&)>& draw) {
    if (IsSvg(path)) {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(QFileInfo(path).completeBaseName());
        QPainter painter;
        if (!painter.begin(&generator)) return false;
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        draw(painter);
        painter.end();
        // The generator reports no write error of its own.
        return QFileInfo(path).isFile() && QFileInfo(path).size() > 0;
    }
    if (!IsPng(path)) return false;
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
    }
    return image.save(path, "PNG");
}

} // namespace varnex::ui
