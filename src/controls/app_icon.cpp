#include "controls/app_icon.h"

#include "controls/theme.h"

#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
constexpr qreal kUnits = 256;

struct Shape {
    QPainterPath path;
    QColor colour;
};

QPainterPath RoundedRect(qreal x, qreal y, qreal w, qreal h, qreal r) {
    QPainterPath p;
    p.addRoundedRect(QRectF(x, y, w, h), r, r);
    return p;
}

QPainterPath Ellipse(qreal cx, qreal cy, qreal rx, qreal ry) {
    QPainterPath p;
    p.addEllipse(QPointF(cx, cy), rx, ry);
    return p;
}

// Head and shoulders standing on the bottom edge of a slot.
QPainterPath Portrait(const QRectF& slot) {
    const qreal cx = slot.center().x();
    const qreal w = slot.width();
    QPainterPath p = Ellipse(cx, slot.top() + slot.height() * 0.38, w * 0.19, w * 0.22);
    QPainterPath shoulders;
    shoulders.moveTo(slot.left() + w * 0.12, slot.bottom());
    shoulders.cubicTo(slot.left() + w * 0.12, slot.bottom() - slot.height() * 0.30,
                      slot.right() - w * 0.12, slot.bottom() - slot.height() * 0.30,
                      slot.right() - w * 0.12, slot.bottom());
    shoulders.closeSubpath();
    return p.united(shoulders);
}

// Back to front, in 256 x 256 units.
QList<Shape> Shapes() {
    const QRectF bigSlot(58, 52, 92, 140);
    const QRectF smallSlot(160, 52, 40, 62);
    QList<Shape> shapes;
    shapes.append({RoundedRect(8, 8, 240, 240, 40), Theme::kHeaderFace});
    shapes.append({RoundedRect(40, 34, 178, 188, 10), Theme::kEdgeHighlight});
    shapes.append({RoundedRect(bigSlot.x(), bigSlot.y(), bigSlot.width(), bigSlot.height(), 6),
                   Theme::kToolbarGlyphLight});
    shapes.append({Portrait(bigSlot), Theme::kToolbarGlyph});
    shapes.append(
        {RoundedRect(smallSlot.x(), smallSlot.y(), smallSlot.width(), smallSlot.height(), 4),
         Theme::kHoverBottom});
    shapes.append({RoundedRect(160, 124, 40, 68, 4), Theme::kRowOdd});
    shapes.append({RoundedRect(58, 200, 142, 8, 4), Theme::kToolbarGlyphLight});
    return shapes;
}

QString Number(qreal v) {
    return QString::number(v, 'f', 2);
}

QString SvgPathData(const QPainterPath& path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(Number(e.x), Number(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(Number(e.x), Number(e.y));
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(Number(e.x), Number(e.y), Number(c2.x), Number(c2.y), Number(end.x),
                          Number(end.y));
            i += 2;
        }
    }
    return d + QLatin1Char('Z');
}
} // namespace

QImage AppIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kUnits, size / kUnits);
    painter.setPen(Qt::NoPen);
    for (const Shape& s : Shapes()) {
        painter.setBrush(s.colour);
        painter.drawPath(s.path);
    }
    return image;
}

QByteArray AppIconSvg() {
    QString svg =
        QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                       "viewBox=\"0 0 256 256\">\n");
    for (const Shape& s : Shapes())
        svg += QStringLiteral("  <path fill=\"%1\" fill-rule=\"%2\" d=\"%3\"/>\n")
                   .arg(s.colour.name(),
                        s.path.fillRule() == Qt::OddEvenFill ? QStringLiteral("evenodd")
                                                             : QStringLiteral("nonzero"),
                        SvgPathData(s.path));
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

QList<int> AppIconSizes() {
    return {16, 22, 24, 32, 48, 64, 128, 256};
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : AppIconSizes())
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    return icon;
}
