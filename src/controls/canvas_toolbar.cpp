#include "controls/canvas_toolbar.h"

#include "controls/theme.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace {

// Each button is 24 pixels wide at the left of its cell, leaving a gap of 4
// to the next; the last cell is exactly one button wide.
constexpr int kButtonWidth = 24;

// The glyphs are drawn on a 16 x 16 grid centred on the button, x to the
// right and y downwards, from -8 to 8.

QPolygonF LeftArrow() {
    return QPolygonF({{-7, 0}, {-1, -6}, {-1, -2.5}, {7, -2.5}, {7, 2.5}, {-1, 2.5}, {-1, 6}});
}

void FillGlyph(QPainter& p, const QPolygonF& shape) {
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::kToolbarGlyph);
    p.drawPolygon(shape);
}

// An upright triangle split down the middle: one half solid, the other its
// outline on a light fill, the picture of a mirror image.
void SplitTriangle(QPainter& p) {
    const QPointF apex(0, -7), baseLeft(-7.5, 6.5), baseRight(7.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::kToolbarGlyph);
    p.drawPolygon(QPolygonF({apex, baseLeft, {-1, 6.5}, {-1, -5.5}}));
    p.setBrush(Theme::kToolbarGlyphLight);
    p.setPen(QPen(Theme::kToolbarGlyph, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(QPolygonF({{1, -5.5}, {1, 6.5}, baseRight}));
    p.setPen(QPen(Theme::kToolbarGlyph, 1, Qt::DashLine));
    p.drawLine(QPointF(0, -8.5), QPointF(0, 8.5));
}

// A circular arc with an arrow head at its end. Angles in degrees, counted
// anticlockwise from three o'clock; a positive span runs anticlockwise.
void ArcArrow(QPainter& p, QPointF centre, double radius, double startDeg, double spanDeg) {
    p.setPen(QPen(Theme::kToolbarGlyph, 2, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    // Leave room for the head, which carries the arc to its end.
    const double headDeg = qRadiansToDegrees(2.5 / radius) * (spanDeg > 0 ? 1 : -1);
    p.drawArc(box, qRound(startDeg * 16), qRound((spanDeg - headDeg) * 16));

    const double end = qDegreesToRadians(startDeg + spanDeg - headDeg);
    const QPointF at(centre.x() + radius * std::cos(end), centre.y() - radius * std::sin(end));
    // Direction of travel on the screen at the end of the arc.
    const double sign = spanDeg > 0 ? 1 : -1;
    const QPointF dir(-std::sin(end) * sign, -std::cos(end) * sign);
    const QPointF normal(-dir.y(), dir.x());
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::kToolbarGlyph);
    p.drawPolygon(QPolygonF({at + dir * 4.0, at + normal * 3.5, at - normal * 3.5}));
}

// A solid triangle lying on its side, under the arrow of the quarter turn
// that put it there.
void QuarterTurn(QPainter& p, bool left) {
    const double s = left ? 1 : -1;
    FillGlyph(p, QPolygonF({{-5 * s, 4.5}, {4 * s, 0}, {4 * s, 9}}));
    if (left)
        ArcArrow(p, QPointF(0, 4), 8, 15, 150);
    else
        ArcArrow(p, QPointF(0, 4), 8, 165, -150);
}

void PowerSymbol(QPainter& p) {
    p.setPen(QPen(Theme::kToolbarGlyph, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-6.5, -5.5, 13, 13), 125 * 16, 290 * 16);
    p.drawLine(QPointF(0, -7.5), QPointF(0, 0.5));
}

void DrawGlyph(QPainter& p, int cell) {
    switch (cell) {
    case 0: // nudge left
        FillGlyph(p, LeftArrow());
        break;
    case 1: // nudge right
        p.rotate(180);
        FillGlyph(p, LeftArrow());
        break;
    case 2: // nudge up
        p.rotate(90);
        FillGlyph(p, LeftArrow());
        break;
    case 3: // nudge down
        p.rotate(-90);
        FillGlyph(p, LeftArrow());
        break;
    case 4: // enlarge
        FillGlyph(p, QPolygonF(QRectF(-7, -2, 14, 4)));
        FillGlyph(p, QPolygonF(QRectF(-2, -7, 4, 14)));
        break;
    case 5: // shrink
        FillGlyph(p, QPolygonF(QRectF(-7, -2, 14, 4)));
        break;
    case 6: // mirror left-right
        SplitTriangle(p);
        break;
    case 7: // mirror top-bottom: the same picture pointing left
        p.rotate(-90);
        SplitTriangle(p);
        break;
    case 8: // quarter turn left
        QuarterTurn(p, true);
        break;
    case 9: // quarter turn right
        QuarterTurn(p, false);
        break;
    case 10: // small turn anticlockwise
        ArcArrow(p, QPointF(0, 0), 6, -60, 280);
        break;
    case 11: // small turn clockwise
        ArcArrow(p, QPointF(0, 0), 6, 240, -280);
        break;
    case 12: // reset
        PowerSymbol(p);
        break;
    default:
        break;
    }
}

void DrawButton(QPainter& p, const QRect& button) {
    // The face of the skinned push buttons, white at the top to grey at the
    // bottom, in a rounded black border.
    const int last = button.height() - 1;
    for (int y = 0; y <= last; ++y)
        p.fillRect(QRect(button.left() + 1, button.top() + y, button.width() - 2, 1),
                   Theme::ButtonGradientStep(y * 63 / last));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Theme::kButtonBorder, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
}

} // namespace

QPoint ToolbarOrigin(const QRect& canvasRect) {
    const int canvasBottom = canvasRect.bottom() + 1;
    return QPoint(canvasRect.left(), canvasBottom + kToolbarGap);
}

QRect ToolbarRect(const QRect& canvasRect) {
    return QRect(ToolbarOrigin(canvasRect), QSize(kToolbarWidth, kToolbarHeight));
}

int ToolbarCellAt(QPoint clickInClient, QRect canvasRect) {
    if (!ToolbarRect(canvasRect).contains(clickInClient))
        return -1;
    return (clickInClient.x() - canvasRect.left()) / kToolbarCellWidth;
}

QImage CanvasToolbarBitmap() {
    QImage image(kToolbarWidth, kToolbarHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    for (int cell = 0; cell < kToolbarCellCount; ++cell) {
        const QRect button(cell * kToolbarCellWidth, 0, kButtonWidth, kToolbarHeight);
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        DrawButton(p, button);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.translate(QRectF(button).center());
        DrawGlyph(p, cell);
        p.restore();
    }
    return image;
}
