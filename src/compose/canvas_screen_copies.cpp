// Drawing slots from screen copies of their photos: the crop stays the one
// the working copy gives, with as many pixels as the slot covers.

#include "compose/compose_canvas.h"
#include "compose/screen_copy_loader.h"
#include "raster/raster.h"
#include "raster/screen_copy.h"

namespace {
// A window at most this much larger than the slot is drawn as it is, so an
// edit costs a copy of the window rather than an averaging pass over it.
constexpr double kDrawnAsIs = 1.3;
} // namespace

void CComposeCanvas::EnableScreenCopies(bool enable) {
    if (enable == bool(screenCopies_.loader))
        return;
    if (enable)
        screenCopies_.loader = std::make_shared<ScreenCopyLoader>(
            [this](quint64 fingerprint, const QImage& copy) { TakeScreenCopy(fingerprint, copy); });
    else
        screenCopies_.loader.reset();
    for (int i = 0; i < kSlots; ++i)
        RefitScreenImage(i);
}

void CComposeCanvas::FinishScreenCopies() {
    if (screenCopies_.loader)
        screenCopies_.loader->Finish();
}

const QImage& CComposeCanvas::drawnSlotImage(int slot) const {
    const SlotContent& content = slots_.at(slot);
    return content.screenImage.isNull() ? content.slotImage : content.screenImage;
}

void CComposeCanvas::RefitScreenImage(int slot) {
    SlotContent& content = slots_[slot];
    content.screenImage = QImage();
    if (!screenCopies_.loader || content.slotImage.isNull())
        return;
    // The working copy's crop has corrected the offsets and zoom already.
    const SlotPlacement& p = placements_[slot];
    const Rect r{p.left, p.top, p.right, p.bottom};
    const QSize need = ScreenCopySize(content.workingCopy.size(), content.photoSize, r, p.zoom,
                                      p.offsetX, p.offsetY);
    if (!need.isValid())
        return;
    const QSize have = content.screenCopy.size();
    if (content.screenCopy.isNull() || have.width() < need.width() ||
        have.height() < need.height()) {
        if (content.fingerprint == 0)
            content.fingerprint = PhotoFingerprint(content.photoBytes);
        const QImage kept = ScreenCopyLoader::Find(content.fingerprint, need);
        if (!kept.isNull())
            content.screenCopy = kept;
        else
            screenCopies_.loader->Request(content.fingerprint, content.photoBytes, need);
    }
    // Meanwhile a smaller copy on hand still beats the working copy.
    if (content.screenCopy.width() <= content.workingCopy.width())
        return;
    const QRect window = CropWindowRect(content.screenCopy.size(), r, p.zoom, p.offsetX, p.offsetY);
    QSize draw(r.width(), r.height());
    if (window.width() <= draw.width() * kDrawnAsIs &&
        window.height() <= draw.height() * kDrawnAsIs)
        draw = window.size();
    content.screenImage =
        CropToSlotForDrawing(content.screenCopy, r, p.zoom, p.offsetX, p.offsetY, draw);
    FinishSlotImage(content.screenImage, slot);
}

void CComposeCanvas::TakeScreenCopy(quint64 fingerprint, const QImage& copy) {
    bool shown = false;
    for (int i = 0; i < kSlots; ++i) {
        SlotContent& content = slots_[i];
        if (content.fingerprint != fingerprint || content.slotImage.isNull())
            continue;
        if (!content.screenCopy.isNull() && content.screenCopy.width() >= copy.width())
            continue;
        content.screenCopy = copy;
        RefitScreenImage(i);
        shown = shown || !content.screenImage.isNull();
    }
    if (shown)
        RenderComposite();
}
