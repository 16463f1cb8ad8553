#include "production/page_compositor.h"

#include "common/atomic_file.h"
#include "common/byte_io.h"
#include "common/parallel_for.h"
#include "compose/canvas_size_file.h"
#include "compose/slot_drawing.h"
#include "compose/template_body.h"
#include "production/batch_geometry.h"
#include "production/progress_run.h"
#include "production/progress_schedule.h"
#include "raster/large_image.h"
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
// covers on the page, and only the rows and columns of that window. Averaged down to that size
// right away, on the decoding threads: full-size crops are never held all at once. Mirrors and mask
// as on the canvas.
QImage PrepareSlot(const QByteArray& bytes, const SlotPlacement& p, const Rect& crop,
                   const Rect& draw, const QByteArray& mask, bool& decoded) {
    const QSize covered = CoveredSize(p, draw);
    QSize reducedSize;
    QPoint origin;
    QImage photo = DecodeBitmapRegion(
        bytes,
        [&](QSize reduced, QSize) {
            const QSize window = CropWindowSize(reduced, crop, p.zoom, p.offsetX, p.offsetY);
            return window.width() >= covered.width() && window.height() >= covered.height();
        },
        [&](QSize reduced) {
            reducedSize = reduced;
            return CropWindowRect(reduced, crop, p.zoom, p.offsetX, p.offsetY);
        },
        &origin);
    decoded = !photo.isNull();
    if (!decoded)
        return {};
    if (!reducedSize.isValid())
        reducedSize = photo.size();
    QImage slot = CropToSlotForDrawing(photo, origin, reducedSize, crop, p.zoom, p.offsetX,
                                       p.offsetY, covered);
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

// Rows of the page drawn by one painter at a time; the bands are shared out
// among the cores, so no layer is ever scaled into a page-sized copy.
constexpr int kBandRows = 128;

// Template layers cover the whole page whatever their own size. A layer
// smaller than the page is stretched while it is drawn; a larger one is
// first averaged down to the page (sampling while drawing would drop most
// of its pixels and shimmer).
QImage LayerForDrawing(const QImage& image, QSize page) {
    if (image.isNull() || (image.width() <= page.width() && image.height() <= page.height()))
        return image;
    return image.scaled(page, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void DrawStretched(QPainter& painter, const QImage& image, QSize page) {
    if (image.isNull())
        return;
    if (image.size() == page)
        painter.drawImage(0, 0, image);
    else
        painter.drawImage(QRect(QPoint(0, 0), page), image);
}

} // namespace

std::unique_ptr<PreparedPage> PreparePage(const TaskPage& page, const QString& customerFolder,
                                          QSize canvasFallback) {
    auto prepared = std::make_unique<PreparedPage>();
    PreparedPage& out = *prepared;
    if (!PageFilesFor(customerFolder, page.Name(), out.files))
        return prepared;
    const PageFiles& files = out.files;
    const int W = page.width, H = page.height;
    const QSize pageSize(W, H);

    if (QFileInfo::exists(files.extra())) {
        out.extra = LoadImageFile(files.extra());
        if (out.extra.isNull())
            return prepared;
    }

    QByteArray recordBytes;
    if (!ReadWholeFile(files.record(), recordBytes))
        return prepared;
    {
        ByteReader head(recordBytes);
        const uint32_t bodyLength = head.u32();
        const uint8_t marker = head.u8();
        if (!head.ok() || bodyLength == 0)
            return prepared;
        if (marker != kTemplateMarker) {
            out.outcome = PageOutcome::NoMarker;
            return prepared;
        }
    }
    // The photos stay where they were read, inside recordBytes, until they
    // are decoded.
    LayoutRecord record;
    const bool recordWhole = ParseLayoutRecordInPlace(recordBytes, record);
    if (!recordWhole)
        return prepared;
    TemplateBody body;
    if (ParseTemplateBody(record.body, body) != BodyStatus::Ok)
        return prepared;
    record.body = QByteArray();
    out.rects = static_cast<int>(body.rects.size());

    if (W <= 0 || H <= 0 || W > kMaxPageSide || H > kMaxPageSide)
        return prepared;
    // Only allocated here: its memory is taken up as the bands are drawn,
    // after the photos have been cut and their decoded pictures let go.
    out.page = NewLargeImage(pageSize, QImage::Format_ARGB32_Premultiplied);
    if (out.page.isNull())
        return prepared;
    out.started = true;
    out.placements = page.placements;

    // Later entries for the same slot replace earlier ones; entries without
    // a slot to go to are left out.
    std::array<QByteArray, kSlotCount> photoBytes;
    for (LayoutPhoto& photo : record.photos)
        if (photo.slot < static_cast<uint32_t>(kSlotCount))
            photoBytes[photo.slot] = std::move(photo.bytes);
    out.photoEntries = static_cast<int>(record.photos.size());
    record.photos.clear();

    // Layers larger than the page are shrunk while decoding; the slots are
    // placed by the background's own size.
    out.overlayOk = body.overlay.isEmpty() ||
                    !(out.overlay = DecodeLayerForPage(body.overlay, pageSize)).isNull();
    QSize backgroundSize;
    out.background = DecodeLayerForPage(body.background, pageSize, &backgroundSize);
    out.backgroundOk = !out.background.isNull();
    if (!out.overlayOk || !out.backgroundOk)
        return prepared;

    // The photos are decoded and cut on all cores at once; progress is
    // reported in slot order afterwards as if they had come one by one.
    const QSize saved = ReadCanvasSizeFile(files.dataFolder);
    const QSize canvas = saved.isValid() ? saved : canvasFallback;
    const BatchGeometry geometry = ComputeBatchGeometry(pageSize, backgroundSize, canvas);
    ParallelFor(kSlotCount, [&](int s) {
        if (photoBytes[s].isEmpty())
            return;
        PreparedPage::Slot& slot = out.cut[s];
        const SlotPlacement& placement = out.placements[s];
        const SlotMapping m = MapSlot(geometry, SlotRect(placement));
        if (!HasArea(m.crop) || !HasArea(m.draw)) {
            // Nothing of it can show, but a slot with a photo still
            // counts in the first pass's progress.
            slot.hasPhoto =
                !DecodeBitmapReduced(photoBytes[s], [](QSize, QSize) { return true; }).isNull();
        } else {
            slot.image = PrepareSlot(photoBytes[s], placement, m.crop, m.draw, body.MaskFor(s),
                                     slot.hasPhoto);
            slot.draw = m.draw;
        }
        photoBytes[s] = QByteArray();
    });
    photoBytes = {};
    recordBytes = QByteArray();
    out.overlay = LayerForDrawing(out.overlay, pageSize);
    out.background = LayerForDrawing(out.background, pageSize);
    out.extra = LayerForDrawing(out.extra, pageSize);
    out.outcome = PageOutcome::Written;
    return prepared;
}

PageOutcome ReportPrepared(const PreparedPage& prepared, PageProgress& progress) {
    if (!prepared.started)
        return prepared.outcome;
    progress.SetRects(prepared.rects);
    progress.At(0.05);
    for (int k = 0; k < prepared.photoEntries; ++k)
        progress.AfterPhoto(k);
    progress.At(0.15);
    if (!prepared.overlayOk)
        return PageOutcome::Skipped;
    progress.At(0.18);
    if (!prepared.backgroundOk)
        return PageOutcome::Skipped;
    progress.At(0.2);
    return prepared.outcome;
}

void DrawPreparedPage(PreparedPage& prepared, PageProgress& progress) {
    QImage& page = prepared.page;
    const QSize pageSize = page.size();
    const int bands = (pageSize.height() + kBandRows - 1) / kBandRows;
    // Each band is a view of its own rows of the page, drawn with the layer
    // order of the page: background, back slots, overlay, front slots,
    // "dat2". A painter moved up by the band's top draws every layer at the
    // same page positions as one painter on the whole page would.
    // Taken once: every non-const access to the page would count a detach.
    uchar* const bits = page.bits();
    const qsizetype bytesPerLine = page.bytesPerLine();
    ParallelFor(bands, [&](int band) {
        const int top = band * kBandRows;
        const int rows = qMin(kBandRows, pageSize.height() - top);
        QImage view(bits + top * bytesPerLine, pageSize.width(), rows, bytesPerLine, page.format());
        view.fill(Qt::transparent);
        QPainter painter(&view);
        painter.translate(0, -top);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawStretched(painter, prepared.background, pageSize);
        for (bool front : {false, true}) {
            if (front)
                DrawStretched(painter, prepared.overlay, pageSize);
            for (int s = 0; s < kSlotCount; ++s) {
                const PreparedPage::Slot& slot = prepared.cut[s];
                if (slot.image.isNull() || (prepared.placements[s].front != 0) != front)
                    continue;
                DrawPlacedSlot(painter, slot.image, prepared.placements[s], slot.draw, pageSize);
            }
        }
        DrawStretched(painter, prepared.extra, pageSize);
    });
    prepared.background = QImage();
    progress.At(0.42);
    for (int s = 0; s < kSlotCount; ++s) {
        if (prepared.cut[s].hasPhoto && prepared.placements[s].front == 0)
            progress.AfterSlot(s);
        prepared.cut[s].image = QImage();
    }
    progress.At(0.82);
    prepared.overlay = QImage();
    prepared.extra = QImage();
}

PageOutcome WritePreparedPage(PreparedPage& prepared, int dpi, PageProgress& progress,
                              QString* imagePath) {
    progress.At(0.84);
    progress.At(0.95);
    const bool saved = SaveJpeg(prepared.page, prepared.files.image, dpi);
    prepared.page = QImage();
    progress.At(0.98);
    if (!saved)
        return PageOutcome::NotSaved;
    if (imagePath)
        *imagePath = prepared.files.image;
    return PageOutcome::Written;
}

PageOutcome ComposePage(const TaskPage& page, const QString& customerFolder, int dpi,
                        QSize canvasFallback, PageProgress& progress, QString* imagePath) {
    const std::unique_ptr<PreparedPage> prepared =
        PreparePage(page, customerFolder, canvasFallback);
    const PageOutcome outcome = ReportPrepared(*prepared, progress);
    if (outcome != PageOutcome::Written)
        return outcome;
    DrawPreparedPage(*prepared, progress);
    return WritePreparedPage(*prepared, dpi, progress, imagePath);
}
