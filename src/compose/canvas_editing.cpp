// The operator's edits of the current slot: selecting, dragging, nudging,
// zooming, resizing, rotating, mirroring and resetting. Each edit recomposes
// the page and reports only the area it touched, so the view repaints that.

#include "compose/canvas_geometry.h"
#include "compose/compose_canvas.h"
#include "compose/slot_drawing.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// A release closer than this to its press, in both directions, is a click.
constexpr int kDragThreshold = 3;
// An unlocked shrink never leaves a slot narrower or lower than this.
constexpr int kMinSlotSide = 10;

// Slot edges after an edit. Records read from a damaged task file can hold
// any value, so edits are done in 64 bits and kept within the slot bound.
int32_t ClampCoordinate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, -kMaxSlotCoordinate, kMaxSlotCoordinate));
}

int32_t SaturatedAdd(int32_t value, int64_t delta) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t(value) + delta,
                                                    std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

Rect ToRect(const QRect& r) {
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

} // namespace

Rect CComposeCanvas::CurrentRect() const {
    const SlotPlacement& p = placements_[currentSlot_];
    return Rect{p.left, p.top, p.right, p.bottom};
}

void CComposeCanvas::SetCurrentRect(const Rect& r) {
    SetSlotRect(currentSlot_, r);
}

// What the current slot covers on the page with the rectangle r: the slot
// turned and sheared as it is drawn, and its number mark, which reaches past
// the edges of a slot smaller than a digit cell.
Rect CComposeCanvas::EditArea(const Rect& rect) const {
    Rect area = SlotBounds(rect);
    const QRect cell = NumberMarkCell(currentSlot_);
    if (!cell.isEmpty())
        area = UnionRect(area, ToRect(cell));
    return area;
}

void CComposeCanvas::ShowPressMarks() {
    if (!HasTemplate())
        return;
    pressMarks_ = true;
    Invalidate(std::nullopt);
}

void CComposeCanvas::SelectAt(QPoint point) {
    pressPoint_ = point;
    // The last slot wins where slots overlap, as it is drawn last.
    int hit = -1;
    for (int i = qMin(slotCount(), int(kSlots)) - 1; i >= 0 && hit < 0; --i) {
        const SlotPlacement& p = placements_[i];
        if (point.x() >= p.left && point.x() < p.right && point.y() >= p.top &&
            point.y() < p.bottom)
            hit = i;
    }
    if (hit >= 0 && hit == currentSlot_)
        return;
    // A press beside every slot keeps the selection but still arms a drag of
    // the current slot.
    if (hit >= 0)
        currentSlot_ = hit;
    ShowPressMarks();
}

void CComposeCanvas::DragTo(QPoint point, bool locked) {
    if (!HasCurrentSlot() || !pressPoint_)
        return;
    const int dx = point.x() - pressPoint_->x();
    const int dy = point.y() - pressPoint_->y();
    if (std::abs(dx) < kDragThreshold && std::abs(dy) < kDragThreshold)
        return; // a click: the press stays armed
    pressPoint_.reset();
    Shift(dx, dy, locked);
}

void CComposeCanvas::ClickSlot(int slot) {
    if (slot < 0 || slot >= qMin(slotCount(), int(kSlots)))
        return;
    // The slot of the digit is chosen even where a later slot covers its
    // centre; a click there would pick the later one and leave this slot
    // out of reach of its key.
    const SlotPlacement& p = placements_[slot];
    pressPoint_ = QPoint(static_cast<int>((int64_t(p.left) + p.right) / 2),
                         static_cast<int>((int64_t(p.top) + p.bottom) / 2));
    if (slot == currentSlot_)
        return;
    currentSlot_ = slot;
    ShowPressMarks();
}

// Moves the photo with the pointer or key (locked: its offsets, in
// thirtieths of the crop, go the other way so the content follows), or the
// slot rectangle itself.
void CComposeCanvas::Shift(int dx, int dy, bool locked) {
    if (!HasCurrentSlot())
        return;
    SlotPlacement& p = placements_[currentSlot_];
    if (locked) {
        p.offsetX = SaturatedAdd(p.offsetX, -int64_t(dx));
        p.offsetY = SaturatedAdd(p.offsetY, -int64_t(dy));
        RefitSlot(currentSlot_); // pulls offsets that leave the photo back to its edge
        RenderComposite(EditArea(CurrentRect()));
        return;
    }
    const Rect before = CurrentRect();
    SetCurrentRect(Rect{
        ClampCoordinate(int64_t(before.left) + dx), ClampCoordinate(int64_t(before.top) + dy),
        ClampCoordinate(int64_t(before.right) + dx), ClampCoordinate(int64_t(before.bottom) + dy)});
    // Same size: the photo keeps its crop.
    RenderComposite(UnionRect(EditArea(before), EditArea(CurrentRect())));
}

void CComposeCanvas::NudgeLeft(bool locked) {
    Shift(-1, 0, locked);
}

void CComposeCanvas::NudgeRight(bool locked) {
    Shift(1, 0, locked);
}

void CComposeCanvas::NudgeUp(bool locked) {
    Shift(0, -1, locked);
}

void CComposeCanvas::NudgeDown(bool locked) {
    Shift(0, 1, locked);
}

void CComposeCanvas::Enlarge(bool coarse, bool locked) {
    if (!HasCurrentSlot())
        return;
    if (!locked) {
        Resize(true, coarse);
        return;
    }
    SlotPlacement& p = placements_[currentSlot_];
    p.zoom = SaturatedAdd(p.zoom, 1);
    RefitSlot(currentSlot_); // a zoom that leaves no pixels falls back to 0
    RenderComposite(EditArea(CurrentRect()));
}

void CComposeCanvas::Shrink(bool coarse, bool locked) {
    if (!HasCurrentSlot())
        return;
    if (!locked) {
        Resize(false, coarse);
        return;
    }
    SlotPlacement& p = placements_[currentSlot_];
    if (p.zoom <= 0)
        return;
    p.zoom -= 1;
    RefitSlot(currentSlot_);
    RenderComposite(EditArea(CurrentRect()));
}

// Grows or shrinks the slot rectangle on every side. The slot image is not
// cut again: its height follows from the new width in the image's own
// proportions, so it is drawn larger or smaller without distortion.
void CComposeCanvas::Resize(bool enlarge, bool coarse) {
    const Rect before = CurrentRect();
    const int64_t sw = int64_t(before.right) - before.left;
    const int64_t sh = int64_t(before.bottom) - before.top;
    const double step = coarse ? 0.1 : 0.02;
    int64_t dx = static_cast<int64_t>(double(sw) * step);
    int64_t dy = static_cast<int64_t>(double(sh) * step);
    const QImage& image = slots_[currentSlot_].slotImage;
    const bool proportional = !image.isNull();
    const int64_t w = image.width(), h = image.height();
    // A slot too small for a 2 % step still moves by whole pixels, the
    // longer side of the photo by as many as its proportions ask.
    if (!coarse && (dx <= 0 || dy <= 0) && proportional) {
        if (w < h) {
            dy = h / w;
            dx = 1;
        } else {
            dy = 1;
            dx = w / h;
        }
    }
    if (!enlarge) {
        dx = -dx;
        dy = -dy;
        if (before.left - dx > before.right + dx - kMinSlotSide ||
            before.top - dy > before.bottom + dy - kMinSlotSide)
            return; // the slot would get thinner than the least allowed
    }
    Rect after{ClampCoordinate(before.left - dx), ClampCoordinate(before.top - dy),
               ClampCoordinate(before.right + dx), 0};
    if (proportional)
        after.bottom = ClampCoordinate(int64_t(after.right - after.left) * h / w + after.top);
    else
        after.bottom = ClampCoordinate(before.bottom + dy);
    SetCurrentRect(after);
    // The proportional bottom of a slot whose image is not quite of its
    // proportions can move against the step, so both rectangles are repainted.
    RenderComposite(UnionRect(EditArea(before), EditArea(after)));
}

void CComposeCanvas::Rotate(int step) {
    if (!HasCurrentSlot())
        return;
    SlotPlacement& p = placements_[currentSlot_];
    const Rect rect = CurrentRect();
    const Rect before = EditArea(rect);
    // Kept within -360 .. 360 in the direction of the step; a full turn
    // stays 360 (or -360) and is not folded to 0.
    int64_t angle = int64_t(p.angle) + step;
    if (step > 0 && angle > 360)
        angle -= 360;
    else if (step < 0 && angle < -360)
        angle += 360;
    p.angle = SaturatedAdd(0, angle);
    // The slot image stays; the turn is applied when the slot is drawn.
    RenderComposite(UnionRect(before, EditArea(rect)));
}

void CComposeCanvas::ToggleMirror(bool leftRight) {
    if (!HasCurrentSlot() || !HasSlotImage(currentSlot_))
        return;
    SlotPlacement& p = placements_[currentSlot_];
    int32_t& flag = leftRight ? p.mirrorX : p.mirrorY;
    flag = flag ? 0 : 1;
    // Cut again rather than flipping the drawn image: that one carries the
    // slot's mask, which must stay where the template put it, as it does on
    // every later refit and on the printed page.
    RefitSlot(currentSlot_);
    RenderComposite(EditArea(CurrentRect()));
}

void CComposeCanvas::MirrorX() {
    ToggleMirror(true);
}

void CComposeCanvas::MirrorY() {
    ToggleMirror(false);
}

void CComposeCanvas::ResetSlot() {
    if (!HasCurrentSlot())
        return;
    const Rect before = EditArea(CurrentRect());
    const bool hadPreview = !preview_.isNull();
    SlotPlacement& p = placements_[currentSlot_];
    // The template's own angle and transparency come back only when the
    // template is applied again.
    p.angle = 0;
    p.mirrorX = 0;
    p.mirrorY = 0;
    p.transparency = 0;
    p.offsetX = 0;
    p.offsetY = 0;
    p.zoom = 0;
    // The photo is cut again for the template's rectangle.
    FitSlotPhoto(slots_[currentSlot_].photoBytes, true, currentSlot_);
    if (hadPreview && preview_.isNull())
        RenderComposite(); // the sample gave way to the composition everywhere
    else
        RenderComposite(UnionRect(before, EditArea(CurrentRect())));
}
