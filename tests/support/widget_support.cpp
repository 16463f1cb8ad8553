#include "widget_support.h"

#include "test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QWidget>
#include <cstdio>

QImage GrabImage(QWidget* widget) {
    // Views lay their items out on the next turn of the event loop.
    QCoreApplication::processEvents();
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool PixelNear(const QImage& image, QPoint p, QRgb expected, const QString& name, int tolerance) {
    if (image.rect().contains(p) && Near(image.pixel(p), expected, tolerance))
        return true;
    const QString out = QDir::tempPath() + "/taoban-probe-" + name + ".png";
    image.save(out);
    std::fprintf(stderr, "pixel (%d, %d) is #%06x, expected #%06x; image saved as %s\n", p.x(),
                 p.y(), image.rect().contains(p) ? image.pixel(p) & 0xFFFFFF : 0,
                 expected & 0xFFFFFF, qPrintable(out));
    return false;
}
