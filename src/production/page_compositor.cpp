#include "production/page_compositor.h"

#include "common/atomic_file.h"
#include "common/byte_io.h"
#include "compose/canvas_size_file.h"
#include "compose/raster.h"
#include "compose/template_body.h"
#include "production/batch_geometry.h"
#include "production/parallel_for.h"
#include "production/progress_run.h"
#include "production/progress_schedule.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"

#include <QFileInfo>
#include <QPainter>

#include <array>

void PageProgress::At(double f) {
    run_->SetCurrent(progress_schedule::At(i_, step_, f));
}

void PageProgress::AfterPhoto(int k) {
    run_->SetCurrent(progress_schedule::AfterPhoto(i_, step_, k, rects_));
}

void PageProgress::AfterSlot(int slot) {
    run_->SetCurrent(progress_schedule::AfterSlot(i_, step_, slot, rects_));
}

bool PageFilesFor(const QString& customerFolder, const QString& pageName, PageFiles& files) {
    // Page names become parts of file names; a separator in one would lead
    // the page's files out of the customer folder.
    if (pageName.contains('/') || pageName.contains('\\'))
        return false;
    files.image = BigPageImagePath(customerFolder, pageName, ".jpg");
    files.dataFolder = PageDataFolder(customerFolder, pageName);
    return true;
}

namespace {

// The raster painter works in 16.16 fixed point for some paths, so larger
// pages cannot be drawn.
constexpr int kMaxPageSide = 32767;

struct PreparedSlot {
    bool hasPhoto = false; // its photo decoded, whether or not anything shows
    QImage image;
    Rect draw;
};

Rect SlotRect(const SlotPlacement& p) {
    return Rect{p.left, p.top, p.right, p.bottom};
}

bool HasArea(const Rect& r) {
    return r.width() > 0 && r.height() > 0;
}

// The size a slot image covers on the page: its draw rectangle, or for a
// turned slot the sides of the parallelogram it is drawn onto.
QSize CoveredSize(const SlotPlacement& p, const Rect& draw) {
    if (p.angle == 0)
        return QSize(draw.width(), draw.height());
    return CornerSides(ShearedCorners(p, draw)).expandedTo(QSize(1, 1));
}

// Cut from the photo at its own resolution, so the page gets every pixel the
// slot can show: a JPEG is decoded reduced (1/2, 1/4, 1/8) only where the
// reduced photo's crop window still has at least the pixels of the size it
// covers on the page. Averaged down to that size right away, on the decoding
// threads: full-size crops are never held all at once. Mirrors and mask as
// on the canvas.
QImage PrepareSlot(const QByteArray& bytes, const SlotPlacement& p, const Rect& crop,
                   const Rect& draw, const QByteArray& mask, bool& decoded) {
    const QSize covered = CoveredSize(p, draw);
    QImage photo = DecodeBitmapReduced(bytes, [&](QSize reduced, QSize) {
        const QSize window = CropWindowSize(reduced, crop, p.zoom, p.offsetX, p.offsetY);
        return window.width() >= covered.width() && window.height() >= covered.height();
    });
    decoded = !photo.isNull();
    if (!decoded)
        return {};
    QImage slot = CropToSlotForDrawing(photo, crop, p.zoom, p.offsetX, p.offsetY, covered);
    photo = QImage();
    if (slot.isNull())
        return {};
    if (p.mirrorX)
        Mirror(slot, MirrorAxis::LeftRight);
    if (p.mirrorY)
        Mirror(slot, MirrorAxis::TopBottom);
    if (!mask.isEmpty())
        ApplySlotMask(slot, mask);
    return slot;
}

// Template layers cover the whole page whatever their own size.
void DrawStretched(QPainter& painter, const QImage& image, QSize page) {
    if (image.isNull())
        return;
    if (image.size() == page)
        painter.drawImage(0, 0, image);
    else
        painter.drawImage(0, 0,
                          image.scaled(page, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

} // namespace

PageOutcome ComposePage(const TaskPage& page, const QString& customerFolder, int dpi,
                        QSize canvasFallback, PageProgress& progress, QString* imagePath) {
    PageFiles files;
    if (!PageFilesFor(customerFolder, page.Name(), files))
        return PageOutcome::Skipped;
    const int W = page.width, H = page.height;
    const QSize pageSize(W, H);

    QImage extra;
    if (QFileInfo::exists(files.extra())) {
        extra = LoadImageFile(files.extra());
        if (extra.isNull())
            return PageOutcome::Skipped;
    }

    QByteArray recordBytes;
    if (!ReadWholeFile(files.record(), recordBytes))
        return PageOutcome::Skipped;
    {
        ByteReader head(recordBytes);
        const uint32_t bodyLength = head.u32();
        const uint8_t marker = head.u8();
        if (!head.ok() || bodyLength == 0)
            return PageOutcome::Skipped;
        if (marker != kTemplateMarker)
            return PageOutcome::NoMarker;
    }
    LayoutRecord record;
    const bool recordWhole = ParseLayoutRecord(recordBytes, record);
    recordBytes = QByteArray();
    if (!recordWhole)
        return PageOutcome::Skipped;
    TemplateBody body;
    if (ParseTemplateBody(record.body, body) != BodyStatus::Ok)
        return PageOutcome::Skipped;
    record.body = QByteArray();
    progress.SetRects(static_cast<int>(body.rects.size()));

    if (W <= 0 || H <= 0 || W > kMaxPageSide || H > kMaxPageSide)
        return PageOutcome::Skipped;
    QImage pageImage(W, H, QImage::Format_ARGB32_Premultiplied);
    if (pageImage.isNull())
        return PageOutcome::Skipped;
    pageImage.fill(Qt::transparent);

    progress.At(0.05);

    // Later entries for the same slot replace earlier ones; entries without
    // a slot to go to are left out.
    std::array<QByteArray, kSlotCount> photoBytes;
    for (LayoutPhoto& photo : record.photos)
        if (photo.slot < static_cast<uint32_t>(kSlotCount))
            photoBytes[photo.slot] = std::move(photo.bytes);
    const int photoEntries = static_cast<int>(record.photos.size());
    record.photos.clear();

    QImage overlay;
    const bool overlayOk =
        body.overlay.isEmpty() || !(overlay = DecodeImage(body.overlay)).isNull();
    const QImage background = DecodeImage(body.background);
    const bool backgroundOk = !background.isNull();

    // The photos are decoded and cut on all cores at once; progress is then
    // reported in slot order as if they had come one by one.
    std::array<PreparedSlot, kSlotCount> prepared;
    if (overlayOk && backgroundOk) {
        const QSize saved = ReadCanvasSizeFile(files.dataFolder);
        const QSize canvas = saved.isValid() ? saved : canvasFallback;
        const BatchGeometry geometry = ComputeBatchGeometry(pageSize, background.size(), canvas);
        ParallelFor(kSlotCount, [&](int s) {
            if (photoBytes[s].isEmpty())
                return;
            const SlotPlacement& placement = page.placements[s];
            const SlotMapping m = MapSlot(geometry, SlotRect(placement));
            if (!HasArea(m.crop) || !HasArea(m.draw)) {
                // Nothing of it can show, but a slot with a photo still
                // counts in the first pass's progress.
                prepared[s].hasPhoto =
                    !DecodeBitmapReduced(photoBytes[s], [](QSize, QSize) { return true; }).isNull();
                photoBytes[s] = QByteArray();
                return;
            }
            prepared[s].image = PrepareSlot(photoBytes[s], placement, m.crop, m.draw,
                                            body.MaskFor(s), prepared[s].hasPhoto);
            prepared[s].draw = m.draw;
            photoBytes[s] = QByteArray();
        });
    }
    photoBytes = {};

    for (int k = 0; k < photoEntries; ++k)
        progress.AfterPhoto(k);
    progress.At(0.15);
    if (!overlayOk)
        return PageOutcome::Skipped;
    progress.At(0.18);
    if (!backgroundOk)
        return PageOutcome::Skipped;
    progress.At(0.2);

    QPainter painter(&pageImage);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawStretched(painter, background, pageSize);
    progress.At(0.42);

    for (int s = 0; s < kSlotCount; ++s) {
        if (!prepared[s].hasPhoto || page.placements[s].front != 0)
            continue;
        DrawPlacedSlot(painter, prepared[s].image, page.placements[s], prepared[s].draw, pageSize);
        prepared[s].image = QImage();
        progress.AfterSlot(s);
    }
    body.masks.clear();
    progress.At(0.82);

    DrawStretched(painter, overlay, pageSize);
    for (int s = 0; s < kSlotCount; ++s) {
        if (prepared[s].image.isNull())
            continue;
        DrawPlacedSlot(painter, prepared[s].image, page.placements[s], prepared[s].draw, pageSize);
        prepared[s].image = QImage();
    }
    DrawStretched(painter, extra, pageSize);
    painter.end();

    progress.At(0.84);
    progress.At(0.95);
    const bool saved = SaveJpeg(pageImage, files.image, dpi);
    progress.At(0.98);
    if (!saved)
        return PageOutcome::NotSaved;
    if (imagePath)
        *imagePath = files.image;
    return PageOutcome::Written;
}
