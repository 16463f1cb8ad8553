#include "app/main_window/canvas_view.h"

#include "compose/compose_canvas.h"
#include "production/resolution_marks.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

CCanvasView::CCanvasView(CComposeCanvas& canvas, QWidget* parent)
    : QWidget(parent), canvas_(canvas) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    // The canvas reports areas of the page; the page sits letterboxed at the
    // display origin of this window.
    canvas_.SetInvalidateHandler([this](std::optional<Rect> area) {
        if (area)
            update(QRect(area->left, area->top, area->width(), area->height())
                       .translated(canvas_.displayOrigin()));
        else
            update();
    });
}

CCanvasView::~CCanvasView() {
    canvas_.SetInvalidateHandler({});
}

void CCanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    canvas_.PaintClient(painter);
    // Over the page as shown, never into it: saved pages stay without marks.
    PaintResolutionMarks(painter, canvas_, dpi_, threshold_);
    if (overlay_)
        overlay_(painter);
}

void CCanvasView::SetPrintSettings(int dpi, const ResolutionThreshold& threshold) {
    dpi_ = dpi;
    threshold_ = threshold;
    update();
}

QPoint CCanvasView::ToDisplay(QPointF client) const {
    return client.toPoint() - canvas_.displayOrigin();
}

void CCanvasView::mousePressEvent(QMouseEvent* event) {
    // Qt keeps the mouse with this widget until the button is released, so
    // a release outside the canvas still ends the drag here.
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    canvas_.SelectAt(ToDisplay(event->position()));
}

void CCanvasView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const QPoint point = ToDisplay(event->position());
    const bool locked = lockQuery_ ? lockQuery_() : true;
    const auto drag = [&] { canvas_.DragTo(point, locked); };
    if (editRunner_)
        editRunner_(drag);
    else
        drag();
}

void CCanvasView::wheelEvent(QWheelEvent* event) {
    // Taken here, so a touchpad's gesture stays with the canvas from its
    // first event to its last.
    if (!wheelHandler_)
        return event->ignore();
    wheelHandler_(*event);
    event->accept();
}
