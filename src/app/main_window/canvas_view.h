#pragma once

#include "records/resolution_threshold.h"

#include <QWheelEvent>
#include <QWidget>
#include <functional>

class CComposeCanvas;
class QPainter;

// The window of the composition canvas: paints what the canvas composed and
// hands it the mouse. The canvas decides everything; this only shows it. The
// window's own size is given to the canvas by the main window, which lays it
// out.
class CCanvasView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCanvasView)
public:
    CCanvasView(CComposeCanvas& canvas, QWidget* parent = nullptr);
    ~CCanvasView() override;

    // Asked at each press and release whether moves act on the photo inside
    // its slot (true) or on the slot itself.
    void SetLockQuery(std::function<bool()> query) { lockQuery_ = std::move(query); }
    // Runs a drag of the mouse as one edit (the window keeps its history);
    // without one the drag runs by itself.
    void SetEditRunner(std::function<void(const std::function<void()>&)> runner) {
        editRunner_ = std::move(runner);
    }
    // Turns the wheel over the canvas into zoom steps.
    void SetWheelHandler(std::function<void(const QWheelEvent&)> handler) {
        wheelHandler_ = std::move(handler);
    }
    // The resolution setting and threshold the warning marks of soft slots
    // are judged by; repaints with them.
    void SetPrintSettings(int dpi, const ResolutionThreshold& threshold);
    // Paints over the page as shown, last: marks that are never saved.
    void SetOverlayPainter(std::function<void(QPainter&)> overlay) {
        overlay_ = std::move(overlay);
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Slot rectangles and edits are in display coordinates: the page's own
    // pixels, whose origin is where the page sits in this window.
    QPoint ToDisplay(QPointF client) const;

    CComposeCanvas& canvas_;
    std::function<bool()> lockQuery_;
    std::function<void(const std::function<void()>&)> editRunner_;
    std::function<void(const QWheelEvent&)> wheelHandler_;
    std::function<void(QPainter&)> overlay_;
    int dpi_ = 254;
    ResolutionThreshold threshold_;
};
