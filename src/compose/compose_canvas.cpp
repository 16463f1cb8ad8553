#include "compose/compose_canvas.h"

#include "compose/canvas_geometry.h"
#include "compose/digit_strips.h"
#include "compose/face_keeping_setting.h"

CComposeCanvas::BusyScope::BusyScope(IBusyIndicator* busy) : busy_(busy) {
    if (busy_)
        busy_->Show();
}

CComposeCanvas::BusyScope::~BusyScope() {
    if (busy_)
        busy_->Hide();
}

CComposeCanvas::CComposeCanvas()
    : currentStrip_(MakeDigitStrip(CurrentSlotDigitColor())),
      otherStrip_(MakeDigitStrip(OtherSlotDigitColor())), keepFaces_(KeepFacesSetting()) {
    placements_.fill(SlotPlacement::Zero());
}

void CComposeCanvas::SetClientSize(QSize size) {
    // A window that is not laid out yet may report 0 x 0; every ratio of the
    // canvas divides by the client size, so it never goes below one pixel.
    const QSize client(qMax(1, size.width()), qMax(1, size.height()));
    if (client != clientSize_)
        ++layoutGeneration_; // slot rectangles are pixels of the client area
    clientSize_ = client;
}

void CComposeCanvas::ResizeClient(QSize size) {
    const QSize client(qMax(1, size.width()), qMax(1, size.height()));
    if (client == clientSize_)
        return;
    if (!HasTemplate()) {
        SetClientSize(client);
        return;
    }
    auto sameRects = [](const std::array<SlotPlacement, kSlots>& a,
                        const std::array<SlotPlacement, kSlots>& b) {
        for (int i = 0; i < kSlots; ++i) {
            if (a[i].left != b[i].left || a[i].top != b[i].top || a[i].right != b[i].right ||
                a[i].bottom != b[i].bottom)
                return false;
        }
        return true;
    };
    // An edit or another page since the last resize starts a new anchor.
    if (!resizeAnchor_ || resizeAnchor_->generation != layoutGeneration_ ||
        !sameRects(resizeAnchor_->shown, placements_))
        resizeAnchor_ = ResizeAnchor{placements_, displaySize_, placements_, layoutGeneration_};
    clientSize_ = client;
    LayoutDisplay();
    for (int i = 0; i < kSlots; ++i) {
        const SlotPlacement& from = resizeAnchor_->placements[i];
        SlotPlacement& p = placements_[i];
        p.left = from.left;
        p.top = from.top;
        p.right = from.right;
        p.bottom = from.bottom;
        ScaleSlotRect(p, resizeAnchor_->display, displaySize_);
    }
    resizeAnchor_->shown = placements_;
    pressPoint_.reset();
    RefitAllSlots();
    RenderComposite();
}

void CComposeCanvas::RefitAllSlots() {
    for (int i = 0; i < kSlots; ++i)
        RefitSlot(i);
}

QPoint CComposeCanvas::displayOrigin() const {
    if (!HasTemplate())
        return QPoint(0, 0);
    return QPoint(displayArea_.left, displayArea_.top);
}

void CComposeCanvas::SetCurrentSlot(int slot) {
    if (slot >= -1 && slot < kSlots)
        currentSlot_ = slot;
}

bool CComposeCanvas::HasSlotImage(int slot) const {
    return slot >= 0 && slot < kSlots && !slots_[slot].slotImage.isNull();
}

QByteArray CComposeCanvas::maskFor(int slot) const {
    if (slot < 0 || slot >= masks_.size())
        return {};
    return masks_[slot];
}

int CComposeCanvas::ResolveSlot(int slot) const {
    if (slot == -1)
        slot = currentSlot_ == -1 ? 0 : currentSlot_;
    return slot >= 0 && slot < kSlots ? slot : -1;
}

bool CComposeCanvas::AnySlotImageBelowCount() const {
    for (int i = 0; i < slotCount(); ++i)
        if (!slots_[i].slotImage.isNull())
            return true;
    return false;
}

void CComposeCanvas::ReleaseSlot(int slot, bool withBytes) {
    SlotContent& s = slots_[slot];
    s.slotImage = QImage();
    s.workingCopy = QImage();
    s.copyOf.clear();
    s.photoSize = QSize();
    s.fingerprint = 0;
    s.screenCopy = QImage();
    s.screenImage = QImage();
    if (withBytes)
        s.photoBytes.clear();
}

void CComposeCanvas::Invalidate(std::optional<Rect> area) const {
    if (onInvalidate_)
        onInvalidate_(area);
}
