// Composing the page into the back buffer and saving it as the page's
// preview.

#include "compose/canvas_geometry.h"
#include "compose/compose_canvas.h"
#include "compose/digit_strips.h"
#include "compose/slot_drawing.h"
#include "raster/raster_math.h"

#include <QPainter>

void CComposeCanvas::LayoutDisplay() {
    const Rect client{0, 0, clientSize_.width(), clientSize_.height()};
    Rect area = client;
    Rect reference = client;
    // The page is letterboxed in the window with the product's proportions
    // when a product is chosen, else with the background's.
    const bool hasProduct = IsPositive(productSize_);
    if (hasProduct)
        FitInside(productSize_.width(), productSize_.height(), area);
    else
        FitInside(backgroundSize_.width(), backgroundSize_.height(), area);
    FitInside(backgroundSize_.width(), backgroundSize_.height(), reference);

    scaleX_ = 1.0f;
    scaleY_ = 1.0f;
    if (hasProduct && reference.width() > 0 && reference.height() > 0) {
        scaleX_ = static_cast<float>(area.width()) / static_cast<float>(reference.width());
        scaleY_ = static_cast<float>(area.height()) / static_cast<float>(reference.height());
    }

    const QSize size(qMax(1, area.width()), qMax(1, area.height()));
    if (backBuffer_.isNull() || backBuffer_.size() != size) {
        backBuffer_ = QImage(size, QImage::Format_RGB32);
        backBuffer_.fill(Qt::black);
    }
    displaySize_ = size;
    displayArea_ = Rect{area.left, area.top, area.left + size.width(), area.top + size.height()};
}

void CComposeCanvas::RenderComposite(std::optional<Rect> area) {
    // The page is composed with the current mark colours from here on.
    pressMarks_ = false;
    if (backBuffer_.isNull()) {
        // No template: the view shows the single photo of the current slot
        // (or nothing) by itself.
        Invalidate(std::nullopt);
        return;
    }
    composedSlot_ = currentSlot_;
    {
        QPainter painter(&backBuffer_);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRect whole(QPoint(0, 0), displaySize_);
        if (!preview_.isNull())
            painter.drawImage(whole, preview_);
        else if (!background_.isNull())
            painter.drawImage(whole, background_);
        else
            painter.fillRect(whole, Qt::black); // no base layer: no trace of earlier frames
        for (int i = 0; i < slotCount(); ++i)
            if (!placements_[i].front)
                DrawSlot(painter, i);
        if (!overlay_.isNull() && preview_.isNull())
            painter.drawImage(whole, overlay_);
        for (int i = 0; i < slotCount(); ++i)
            if (placements_[i].front)
                DrawSlot(painter, i);
    }
    Invalidate(area);
}

void CComposeCanvas::DrawSlot(QPainter& painter, int slot) const {
    const SlotPlacement& p = placements_[slot];
    const Rect r{p.left, p.top, p.right, p.bottom};
    const QImage& image = drawnSlotImage(slot);
    if (!image.isNull() && IsDrawableSlotRect(r))
        DrawPlacedSlot(painter, image, p, r, displaySize_);
    // The mark goes over the photo too, so every slot shows its number.
    DrawNumberMark(painter, slot);
}

// Where a slot's number mark goes: a digit cell centred on the slot; a slot
// smaller than the cell has its mark reach past its edges. Empty for slots
// without a digit (10 to 19) or with a damaged rectangle.
QRect CComposeCanvas::NumberMarkCell(int slot) const {
    if (slot < 0 || slot >= kDigitCells)
        return {};
    const SlotPlacement& p = placements_[slot];
    const Rect r{p.left, p.top, p.right, p.bottom};
    if (!WithinSlotBounds(r))
        return {};
    return QRect(r.left + (r.width() - kDigitCellWidth) / 2,
                 r.top + (r.height() - kDigitCellHeight) / 2, kDigitCellWidth, kDigitCellHeight);
}

void CComposeCanvas::DrawNumberMark(QPainter& painter, int slot) const {
    // Cells hold "1" .. "9" and "0": slot 9 shows "0", slots 10 to 19 none.
    const QRect cell = NumberMarkCell(slot);
    if (marksHidden_ || cell.isEmpty())
        return;
    const QImage& strip = slot == currentSlot_ ? currentStrip_ : otherStrip_;
    if (strip.isNull())
        return;
    painter.drawImage(cell.topLeft(), strip,
                      QRect(slot * kDigitCellWidth, 0, kDigitCellWidth, kDigitCellHeight));
}

void CComposeCanvas::PaintPressMarks(QPainter& painter) const {
    if (backBuffer_.isNull())
        return;
    painter.save();
    painter.translate(displayArea_.left, displayArea_.top);
    for (int i = 0; i < qMin(slotCount(), int(kSlots)); ++i)
        DrawNumberMark(painter, i);
    painter.restore();
}

void CComposeCanvas::PaintClient(QPainter& painter) {
    const QRect client(QPoint(0, 0), clientSize_);
    painter.fillRect(client, QColor::fromRgb(kGroundColor));
    if (!backBuffer_.isNull()) {
        painter.drawImage(QPoint(displayArea_.left, displayArea_.top), backBuffer_);
        if (pressMarks_)
            PaintPressMarks(painter);
        return;
    }
    if (!HasSlotImage(currentSlot_))
        return;
    // A single photo without template: shown whole inside its slot.
    SlotPlacement& p = placements_[currentSlot_];
    if (p.right == 0) {
        p.left = 0;
        p.top = 0;
        p.right = clientSize_.width();
        p.bottom = clientSize_.height();
    }
    Rect area{p.left, p.top, p.right, p.bottom};
    if (!IsDrawableSlotRect(area))
        return;
    const QImage& crop = slots_[currentSlot_].slotImage;
    FitInside(crop.width(), crop.height(), area);
    const QImage& image = drawnSlotImage(currentSlot_);
    displayArea_ = area;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (p.angle == 0) {
        DrawWithOpacity(painter, image, area, 0);
    } else {
        const RotatedCorners c = ComputeRotatedCorners(p.angle, area);
        DrawWithOpacity(painter, image, c.topLeft, c.topRight, c.bottomLeft, 0);
    }
}

Rect CComposeCanvas::SlotBounds(const Rect& rect) const {
    if (currentSlot_ < 0 || currentSlot_ >= kSlots || !WithinSlotBounds(rect))
        return rect;
    const SlotPlacement& p = placements_[currentSlot_];
    if (p.angle == 0)
        return rect;
    Rect bounds = rect;
    const RotatedCorners c = ComputeRotatedCorners(p.angle, rect);
    for (QPoint q : {c.bottomLeft, c.bottomRight, c.topRight, c.topLeft})
        WidenToHold(bounds, q);
    // A shear moves the top-left corner the slot is drawn onto, and with it
    // the fourth corner of the parallelogram the other way; the area must
    // hold both or they are never repainted.
    const RotatedCorners s = ShearedCorners(p, rect);
    WidenToHold(bounds, s.topLeft);
    // Summed wide: the sheared corner may lie at the end of the int range.
    auto fourth = [](int a, int b, int c) { return raster::ClampToInt(int64_t(a) + b - c); };
    WidenToHold(bounds, QPoint(fourth(s.topRight.x(), s.bottomLeft.x(), s.topLeft.x()),
                               fourth(s.topRight.y(), s.bottomLeft.y(), s.topLeft.y())));
    return bounds;
}

bool CComposeCanvas::SaveComposite(const QString& path) {
    if (backBuffer_.isNull()) {
        // No template: the single photo of the current slot is the page.
        if (HasSlotImage(currentSlot_))
            return SavePng(slots_[currentSlot_].slotImage, path);
        return false;
    }
    // The preview is cut from the back buffer: it takes the screen copies
    // on their way too.
    FinishScreenCopies();
    marksHidden_ = true;
    RenderComposite();
    marksHidden_ = false;

    // The preview has the page's proportions and at most the display size.
    Rect target{0, 0, displaySize_.width(), displaySize_.height()};
    if (IsPositive(productSize_))
        FitInside(productSize_.width(), productSize_.height(), target);
    else if (IsPositive(pageSize_))
        FitInside(pageSize_.width(), pageSize_.height(), target);
    const QSize size(qMax(1, target.width()), qMax(1, target.height()));
    const QImage page = backBuffer_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB888);
    const bool saved = SaveJpeg(page, path);

    RenderComposite(); // the number marks return
    return saved;
}
