// Keeping and restoring the page in hand for taking edits back.

#include "compose/canvas_geometry.h"
#include "compose/compose_canvas.h"

#include <cstring>

bool CComposeCanvas::EditState::SamePage(const EditState& other) const {
    if (hasTemplate != other.hasTemplate || preview.cacheKey() != other.preview.cacheKey() ||
        overlay.cacheKey() != other.overlay.cacheKey() ||
        background.cacheKey() != other.background.cacheKey() ||
        body.constData() != other.body.constData() || templateRects != other.templateRects)
        return false;
    for (int i = 0; i < kSlotCount; ++i) {
        if (std::memcmp(&placements[i], &other.placements[i], sizeof(SlotPlacement)) != 0 ||
            photoBytes[i].constData() != other.photoBytes[i].constData() ||
            photoBytes[i].size() != other.photoBytes[i].size() ||
            slotImages[i].cacheKey() != other.slotImages[i].cacheKey() ||
            workingCopies[i].cacheKey() != other.workingCopies[i].cacheKey())
            return false;
    }
    return true;
}

CComposeCanvas::EditState CComposeCanvas::CaptureEditState() const {
    EditState state;
    state.placements = placements_;
    for (int i = 0; i < kSlots; ++i) {
        state.photoBytes[i] = slots_[i].photoBytes;
        state.workingCopies[i] = slots_[i].workingCopy;
        state.slotImages[i] = slots_[i].slotImage;
        state.photoSizes[i] = slots_[i].photoSize;
        state.fingerprints[i] = slots_[i].fingerprint;
    }
    state.currentSlot = currentSlot_;
    state.composedSlot = composedSlot_;
    state.displaySize = displaySize_;
    state.hasTemplate = HasTemplate();
    state.preview = preview_;
    state.overlay = overlay_;
    state.background = background_;
    state.backgroundSize = backgroundSize_;
    state.templateRects = templateRects_;
    state.masks = masks_;
    state.body = body_;
    return state;
}

void CComposeCanvas::RestoreEditState(const EditState& state) {
    placements_ = state.placements;
    for (int i = 0; i < kSlots; ++i) {
        slots_[i].photoBytes = state.photoBytes[i];
        slots_[i].workingCopy = state.workingCopies[i];
        slots_[i].slotImage = state.slotImages[i];
        slots_[i].photoSize = state.photoSizes[i];
        // Screen copies are not kept with the states (they would hold every
        // photo ever replaced); the kept copies bring them back at once.
        if (slots_[i].fingerprint != state.fingerprints[i] || state.fingerprints[i] == 0)
            slots_[i].screenCopy = QImage();
        slots_[i].fingerprint = state.fingerprints[i];
        slots_[i].screenImage = QImage();
        // The working copy was made from these bytes, so a later fit of
        // them reuses it.
        slots_[i].copyOf = state.workingCopies[i].isNull() ? QByteArray() : state.photoBytes[i];
    }
    currentSlot_ = state.currentSlot;
    preview_ = state.preview;
    overlay_ = state.overlay;
    background_ = state.background;
    backgroundSize_ = state.backgroundSize;
    templateRects_ = state.templateRects;
    masks_ = state.masks;
    body_ = state.body;
    pressPoint_.reset();
    if (!state.hasTemplate) {
        backBuffer_ = QImage();
        Invalidate(std::nullopt);
        return;
    }
    // A template taken off the canvas comes back with the display it had:
    // the client size and the product are the same (the generation says so).
    if (backBuffer_.isNull())
        LayoutDisplay();
    // Kept before the window was resized: the rectangles are brought to the
    // display of now and the photos cut again for them.
    if (state.displaySize.isValid() && state.displaySize != displaySize_) {
        for (SlotPlacement& p : placements_)
            ScaleSlotRect(p, state.displaySize, displaySize_);
        // The next resize scales from the state as it was kept.
        resizeAnchor_ =
            ResizeAnchor{state.placements, state.displaySize, placements_, layoutGeneration_};
        RefitAllSlots();
    }
    for (int i = 0; i < kSlots; ++i)
        RefitScreenImage(i);
    // Composed with the selection it was composed with; a selection made
    // since (a press, a digit) shows over it as it did then.
    currentSlot_ = state.composedSlot;
    RenderComposite();
    currentSlot_ = state.currentSlot;
    if (currentSlot_ != composedSlot_)
        ShowPressMarks();
}
