#include "shapes.h"

#include <QFileInfo>
#include <QPainter>
#include <QtMath>

namespace {

QPainterPath Heart(QSizeF s) {
    const double w = s.width();
    const double h = s.height();
    QPainterPath p;
    p.moveTo(0.5 * w, 0.96 * h);
    p.cubicTo(0.30 * w, 0.78 * h, 0.02 * w, 0.60 * h, 0.03 * w, 0.33 * h);
    p.cubicTo(0.04 * w, 0.10 * h, 0.40 * w, 0.00 * h, 0.5 * w, 0.24 * h);
    p.cubicTo(0.60 * w, 0.00 * h, 0.96 * w, 0.10 * h, 0.97 * w, 0.33 * h);
    p.cubicTo(0.98 * w, 0.60 * h, 0.70 * w, 0.78 * h, 0.5 * w, 0.96 * h);
    p.closeSubpath();
    return p;
}

QPainterPath Star(QSizeF s) {
    QPainterPath p;
    const QPointF c(s.width() / 2, s.height() * 0.53);
    const double rx = s.width() * 0.49;
    const double ry = s.height() * 0.49;
    for (int i = 0; i < 10; ++i) {
        const double a = qDegreesToRadians(-90.0 + i * 36.0);
        const double f = (i % 2) ? 0.45 : 1.0;
        const QPointF pt(c.x() + rx * f * std::cos(a), c.y() + ry * f * std::sin(a));
        if (i == 0)
            p.moveTo(pt);
        else
            p.lineTo(pt);
    }
    p.closeSubpath();
    return p;
}

QPainterPath Arch(QSizeF s) {
    const double w = s.width();
    const double h = s.height();
    const double r = std::min(w / 2, h / 2);
    QPainterPath p;
    p.moveTo(0, h);
    p.lineTo(0, r);
    p.arcTo(QRectF(0, 0, w, 2 * r), 180, -180);
    p.lineTo(w, h);
    p.closeSubpath();
    return p;
}

} // namespace

QString ShapeOfMaskFile(const QString& fileName) {
    QString base = QFileInfo(fileName).completeBaseName();
    while (!base.isEmpty() && base.back().isDigit())
        base.chop(1);
    return base;
}

bool IsKnownShape(const QString& shape) {
    static const QStringList known{"rect", "ellipse", "circle", "heart", "star", "rounded", "arch"};
    return known.contains(shape);
}

QPainterPath ShapePath(const QString& shape, QSizeF size) {
    const QRectF box(QPointF(0, 0), size);
    QPainterPath p;
    if (shape == "ellipse") {
        p.addEllipse(box);
    } else if (shape == "circle") {
        const double d = std::min(size.width(), size.height());
        p.addEllipse(QRectF(box.center() - QPointF(d / 2, d / 2), QSizeF(d, d)));
    } else if (shape == "heart") {
        p = Heart(size);
    } else if (shape == "star") {
        p = Star(size);
    } else if (shape == "rounded") {
        const double r = 0.14 * std::min(size.width(), size.height());
        p.addRoundedRect(box, r, r);
    } else if (shape == "arch") {
        p = Arch(size);
    } else {
        p.addRect(box);
    }
    return p;
}

QImage DrawMask(const QString& shape, QSize size) {
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ShapePath(shape, QSizeF(size)), Qt::white);
    }
    return canvas.convertToFormat(QImage::Format_Grayscale8);
}
