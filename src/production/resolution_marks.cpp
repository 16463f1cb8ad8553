#include "production/resolution_marks.h"

#include "compose/compose_canvas.h"
#include "production/slot_resolution.h"

#include <QPainter>

namespace {
constexpr int kMarkSide = 18;
constexpr int kMarkInset = 4;
} // namespace

QRect ResolutionMarkRect(const Rect& slot, const Rect& displayArea) {
    return QRect(displayArea.left + slot.right - kMarkInset - kMarkSide,
                 displayArea.top + slot.top + kMarkInset, kMarkSide, kMarkSide);
}

void PaintResolutionMarks(QPainter& painter, const CComposeCanvas& canvas, int dpi,
                          const ResolutionThreshold& threshold) {
    const QList<SlotResolution> resolutions = CanvasSlotResolutions(canvas, dpi);
    if (resolutions.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const SlotResolution& r : resolutions) {
        const ResolutionLevel level = LevelOf(r.ppi, threshold);
        if (level == ResolutionLevel::Sharp)
            continue;
        const SlotPlacement& p = canvas.placement(r.slot);
        const QRect mark =
            ResolutionMarkRect(Rect{p.left, p.top, p.right, p.bottom}, canvas.displayArea());
        painter.setPen(QPen(QColor(255, 255, 255), 1.5));
        painter.setBrush(
            QColor::fromRgb(level == ResolutionLevel::Low ? kLowMarkColor : kSoftMarkColor));
        painter.drawEllipse(mark);
        // An exclamation mark drawn, not typed: no font to depend on.
        const int cx = mark.center().x();
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawRect(QRect(cx - 1, mark.top() + 4, 3, 6));
        painter.drawRect(QRect(cx - 1, mark.top() + 12, 3, 2));
    }
    painter.restore();
}
