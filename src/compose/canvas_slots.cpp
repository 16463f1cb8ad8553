// Slot fitting: where each slot sits on the display, how a photo is put into
// a slot and cut to fill it.

#include "compose/canvas_geometry.h"
#include "compose/compose_canvas.h"
#include "compose/face_keeping.h"
#include "compose/slot_drawing.h"
#include "raster/face_finder.h"
#include "raster/working_copy_cache.h"

#include "common/atomic_file.h"

#include <QFileInfo>
#include <exception>

namespace {
// A photo file larger than this is not a photo the studio can use.
constexpr qint64 kMaxPhotoBytes = qint64(1) << 30;
} // namespace

Rect CComposeCanvas::MappedTemplateRect(const TemplateRect& t) const {
    // Template rectangles are on a 1000 x 750 grid of the client area; the
    // horizontal factor stays double, the vertical one is single precision.
    const double fx = clientSize_.width() * 0.001 * static_cast<double>(scaleX_);
    const float fy = static_cast<float>(clientSize_.height() * 0.0013333333333333333 *
                                        static_cast<double>(scaleY_));
    return Rect{TruncToCoordinate(fx * t.left), TruncToCoordinate(fy * static_cast<float>(t.top)),
                TruncToCoordinate(fx * t.right),
                TruncToCoordinate(fy * static_cast<float>(t.bottom))};
}

void CComposeCanvas::SetSlotRect(int slot, const Rect& r) {
    SlotPlacement& p = placements_[slot];
    p.left = r.left;
    p.top = r.top;
    p.right = r.right;
    p.bottom = r.bottom;
}

void CComposeCanvas::MapTemplateSlots() {
    if (templateRects_.isEmpty()) {
        if (currentSlot_ >= 0)
            SetSlotRect(currentSlot_, Rect{0, 0, clientSize_.width(), clientSize_.height()});
        return;
    }
    for (int i = 0; i < slotCount(); ++i)
        SetSlotRect(i, MappedTemplateRect(templateRects_[i]));
}

bool CComposeCanvas::PutPhoto(const QString& path, bool reset, int slot) {
    try {
        if (!QFileInfo(path).isFile())
            return false;
        // Known before the file is read: a file replaced meanwhile is keyed
        // by its old state, which no later put asks for.
        const std::optional<WorkingCopyCache::Key> key = WorkingCopyCache::KeyOf(path);
        QByteArray bytes;
        if (!ReadWholeFile(path, bytes, kMaxPhotoBytes))
            return false;
        modified_ = true;
        if (!HasTemplate()) {
            // Without a template the canvas shows one photo, always slot 0.
            currentSlot_ = 0;
            std::fill(std::begin(placements_[0].reservedRect),
                      std::end(placements_[0].reservedRect), 0);
        }
        const int target = ResolveSlot(slot);
        if (target < 0)
            return false;
        SlotPlacement& p = placements_[target];
        if (reset) {
            p.mirrorX = 0;
            p.mirrorY = 0;
        }
        slots_[target].photoBytes = bytes;
        // The slot's screen copy is of the photo it held before; a photo
        // the list has shown comes with its working copy, so the fit below
        // cannot tell that the photo changed.
        slots_[target].fingerprint = 0;
        slots_[target].screenCopy = QImage();
        QString name = QFileInfo(path).fileName();
        name = name.mid(name.lastIndexOf(QLatin1Char('\\')) + 1);
        p.SetPhotoName(name);
        if (bytes.isEmpty()) {
            // An empty file is a photo that does not decode: the slot must
            // not go on showing the photo it held before.
            ReleaseSlot(target, false);
            RenderComposite();
            return true;
        }
        // A photo already shown as a thumbnail, or put before, comes with its
        // working copy; any other is decoded once and kept for the next put.
        SlotContent& content = slots_[target];
        WorkingCopyCache& cache = WorkingCopyCache::Shared();
        content.workingCopy = key ? cache.Find(*key) : QImage();
        content.copyOf = content.workingCopy.isNull() ? QByteArray() : content.photoBytes;
        // Faces are looked for once per file: the photo list's thumbnail pass
        // usually has; a photo put from elsewhere is scanned here.
        std::optional<QList<QRect>> faces;
        if (reset && keepFaces_) {
            faces = key ? cache.FindFaces(*key) : std::nullopt;
            if (!faces)
                faces = FindFacesInPhoto(content.photoBytes);
        }
        FitSlotPhoto(content.photoBytes, reset, target, faces ? &*faces : nullptr);
        if (reset)
            RenderComposite();
        if (key && !content.copyOf.isEmpty())
            cache.Insert(*key, content.workingCopy, faces);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void CComposeCanvas::LoadSlotPhoto(const QByteArray& bytes, bool reset, int slot) {
    if (bytes.isEmpty())
        return;
    FitSlotPhoto(bytes, reset, slot);
    if (reset)
        RenderComposite();
}

// LoadSlotPhoto without the final redraw, for callers that report a smaller
// area themselves.
void CComposeCanvas::FitSlotPhoto(const QByteArray& bytes, bool reset, int slot,
                                  const QList<QRect>* faces) {
    if (bytes.isEmpty())
        return;
    // From the first photo on, the page is shown as a composition, not as the
    // template's sample.
    preview_ = QImage();
    const int target = ResolveSlot(slot);
    if (target < 0)
        return;
    SlotPlacement& p = placements_[target];
    if (reset) {
        p.mirrorX = 0;
        p.mirrorY = 0;
        p.offsetX = 0;
        p.offsetY = 0;
    }
    // Null when the bytes do not decode; the slot then shows no photo. The
    // copy a slot already has of these very bytes (the photo put a moment
    // ago, or a template applied again) is used as it is; the photo's own
    // size then comes from its header.
    SlotContent& content = slots_[target];
    const bool made = !content.workingCopy.isNull() && content.copyOf.isSharedWith(bytes);
    QSize photoSize;
    QImage copy = made ? content.workingCopy : MakeWorkingCopyFromBytes(bytes, &photoSize);
    if (made)
        photoSize = ShownImageSize(bytes);
    content.copyOf = copy.isNull() ? QByteArray() : bytes;
    if (!made) {
        content.fingerprint = 0;
        content.screenCopy = QImage();
    }
    if (reset) {
        if (templateRects_.isEmpty())
            SetSlotRect(target, Rect{0, 0, clientSize_.width(), clientSize_.height()});
        else if (target < slotCount())
            SetSlotRect(target, MappedTemplateRect(templateRects_[target]));
    }
    if (reset && faces && !copy.isNull()) {
        const CropOffsets moved =
            FaceKeepingOffsets(copy.size(), Rect{p.left, p.top, p.right, p.bottom}, p.zoom,
                               FacesInCopy(*faces, photoSize, copy.size()));
        p.offsetX = moved.x;
        p.offsetY = moved.y;
    }
    slots_[target].workingCopy = std::move(copy);
    slots_[target].photoSize = photoSize;
    RefitSlot(target);
}

void CComposeCanvas::RefitSlot(int slot) {
    if (slot < 0 || slot >= kSlots)
        return;
    SlotContent& content = slots_[slot];
    SlotPlacement& p = placements_[slot];
    const Rect r{p.left, p.top, p.right, p.bottom};
    if (content.workingCopy.isNull() || !IsDrawableSlotRect(r)) {
        content.slotImage = QImage();
        return;
    }
    content.slotImage = CropToSlot(content.workingCopy, r, p.zoom, p.offsetX, p.offsetY);
    FinishSlotImage(content.slotImage, slot);
    RefitScreenImage(slot);
}

void CComposeCanvas::FinishSlotImage(QImage& image, int slot) const {
    const SlotPlacement& p = placements_[slot];
    if (p.mirrorX)
        Mirror(image, MirrorAxis::LeftRight);
    if (p.mirrorY)
        Mirror(image, MirrorAxis::TopBottom);
    const QByteArray mask = maskFor(slot);
    if (!mask.isEmpty())
        ApplySlotMask(image, mask);
}

void CComposeCanvas::ReloadSlotPhotos() {
    // Everything runs in this thread, so every slot is done when the loop
    // ends; there is nothing to wait for.
    const int keep = currentSlot_;
    for (int i = 0; i < slotCount(); ++i)
        LoadSlotPhoto(slots_[i].photoBytes, false, i);
    currentSlot_ = keep;
}

void CComposeCanvas::RemovePhoto() {
    if (currentSlot_ < 0 || currentSlot_ >= kSlots)
        return;
    if (HasSlotImage(currentSlot_)) {
        const Rect bounds = EditArea(CurrentRect());
        ReleaseSlot(currentSlot_, true);
        if (!AnySlotImageBelowCount() && HasTemplate())
            ApplyTemplateBody(body_, true, false); // brings the template's sample back
        else
            RenderComposite(bounds);
        return;
    }
    if (AnySlotImageBelowCount())
        return;
    if (HasTemplate())
        RemoveTemplate();
}

void CComposeCanvas::RemoveTemplate() {
    backBuffer_ = QImage();
    templateRects_.clear();
    body_.clear();
    Invalidate(std::nullopt);
}

void CComposeCanvas::ClearSlots() {
    ++layoutGeneration_;
    pressPoint_.reset();
    pressMarks_ = false;
    if (!backBuffer_.isNull())
        backBuffer_.fill(Qt::black);
    // The same template file is read again when it is picked next.
    bodyPath_.clear();
    // The photo files go too: a template applied later reloads every slot
    // from its bytes, and the next customer's page must not bring back the
    // photos of the one before.
    for (int i = 0; i < kSlots; ++i) {
        ReleaseSlot(i, true);
        placements_[i] = SlotPlacement::Zero();
    }
    Invalidate(std::nullopt);
}
