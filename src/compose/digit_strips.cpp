#include "compose/digit_strips.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointF>

namespace {

// The digit's box inside a cell and the stroke of one segment.
constexpr double kLeft = 5.5, kRight = 19.5, kTop = 3.5, kMiddle = 15.0, kBottom = 26.5;
constexpr double kHalfStroke = 2.2;
constexpr double kGap = 0.6; // keeps segments from touching at the corners

struct Segment {
    QPointF from, to;
};

Segment SegmentLine(int s) {
    switch (s) {
    case 0:
        return {{kLeft, kTop}, {kRight, kTop}};
    case 1:
        return {{kRight, kTop}, {kRight, kMiddle}};
    case 2:
        return {{kRight, kMiddle}, {kRight, kBottom}};
    case 3:
        return {{kLeft, kBottom}, {kRight, kBottom}};
    case 4:
        return {{kLeft, kMiddle}, {kLeft, kBottom}};
    case 5:
        return {{kLeft, kTop}, {kLeft, kMiddle}};
    default:
        return {{kLeft, kMiddle}, {kRight, kMiddle}};
    }
}

// A segment is a long hexagon with pointed ends along its line.
QPainterPath SegmentPath(int s) {
    const Segment seg = SegmentLine(s);
    const bool horizontal = seg.from.y() == seg.to.y();
    const double h = kHalfStroke;
    QPainterPath path;
    if (horizontal) {
        const double y = seg.from.y();
        const double a = seg.from.x() + kGap, b = seg.to.x() - kGap;
        path.moveTo(a, y);
        path.lineTo(a + h, y - h);
        path.lineTo(b - h, y - h);
        path.lineTo(b, y);
        path.lineTo(b - h, y + h);
        path.lineTo(a + h, y + h);
    } else {
        const double x = seg.from.x();
        const double a = seg.from.y() + kGap, b = seg.to.y() - kGap;
        path.moveTo(x, a);
        path.lineTo(x + h, a + h);
        path.lineTo(x + h, b - h);
        path.lineTo(x, b);
        path.lineTo(x - h, b - h);
        path.lineTo(x - h, a + h);
    }
    path.closeSubpath();
    return path;
}

// Bit s set: the digit lights segment s.
constexpr unsigned kDigitSegments[10] = {
    0b0111111, // 0
    0b0000110, // 1
    0b1011011, // 2
    0b1001111, // 3
    0b1100110, // 4
    0b1101101, // 5
    0b1111101, // 6
    0b0000111, // 7
    0b1111111, // 8
    0b1101111, // 9
};

} // namespace

bool DigitLightsSegment(int digit, int segment) {
    if (digit < 0 || digit > 9 || segment < 0 || segment > 6)
        return false;
    return (kDigitSegments[digit] >> segment) & 1u;
}

QPointF DigitSegmentCentre(int segment) {
    const Segment seg = SegmentLine(segment);
    return (seg.from + seg.to) / 2.0;
}

QImage MakeDigitStrip(const QColor& color) {
    QImage strip(kDigitCellWidth * kDigitCells, kDigitCellHeight,
                 QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int cell = 0; cell < kDigitCells; ++cell) {
        // Cells hold "1" .. "9" and then "0".
        const int digit = (cell + 1) % 10;
        p.save();
        p.translate(cell * kDigitCellWidth, 0);
        for (int s = 0; s < 7; ++s) {
            if (!DigitLightsSegment(digit, s))
                continue;
            const QPainterPath path = SegmentPath(s);
            // A light halo keeps the digit readable on dark photos.
            p.strokePath(path, QPen(QColor(255, 255, 255, 200), 1.6));
            p.fillPath(path, color);
        }
        p.restore();
    }
    return strip;
}

QColor CurrentSlotDigitColor() {
    return QColor(230, 20, 20);
}
QColor OtherSlotDigitColor() {
    return QColor(20, 170, 40);
}
