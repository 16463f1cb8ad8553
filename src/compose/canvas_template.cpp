// Reading template bodies and saved pages into the canvas, and writing the
// layout record "dat" of a finished page.

#include "compose/canvas_geometry.h"
#include "compose/canvas_size_file.h"
#include "compose/compose_canvas.h"
#include "raster/raster.h"

#include "common/atomic_file.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <exception>

namespace {
// Template packages and layout records hold a handful of images; anything
// larger is not one of them.
constexpr qint64 kMaxBodyFileBytes = qint64(1) << 30;
} // namespace

bool CComposeCanvas::LoadTemplateFile(const QString& path, bool rebuild) {
    if (rebuild && HasTemplate() && path == bodyPath_)
        return true;
    try {
        BusyScope busy(busy_);
        QByteArray bytes;
        if (!ReadWholeFile(path, bytes, kMaxBodyFileBytes))
            return false;
        // A body that is no template or is cut short is refused before
        // anything changes, so the body held always matches what is shown
        // and what a saved page would store.
        TemplateBody parsed;
        if (ParseTemplateBody(bytes, parsed) != BodyStatus::Ok)
            return false;
        dat2_ = QImage();
        templateChanged_ = true;
        bodyPath_ = path;
        ++layoutGeneration_;
        ApplyParsedBody(bytes, parsed, rebuild, true);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool CComposeCanvas::ApplyTemplateBody(const QByteArray& bytes, bool rebuild, bool relabel) {
    try {
        if (rebuild)
            currentSlot_ = 0;
        TemplateBody parsed;
        if (ParseTemplateBody(bytes, parsed) != BodyStatus::Ok)
            return false;
        ApplyParsedBody(bytes, parsed, rebuild, relabel);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void CComposeCanvas::ApplyParsedBody(const QByteArray& bytes, const TemplateBody& parsed,
                                     bool rebuild, bool relabel) {
    if (rebuild)
        currentSlot_ = 0;
    body_ = bytes;

    preview_ = DecodeImage(parsed.preview);
    // A body without overlay has none: keeping the overlay of the template
    // shown before would frame this page with another template's design, and
    // the full-size page, which is made from this body alone, would differ.
    // With a product chosen, layers larger than its page are shrunk while
    // they are decoded: the canvas never shows more of them than that.
    const QSize page = IsPositive(productSize_) ? productSize_ : QSize();
    overlay_ = parsed.overlay.isEmpty() ? QImage() : DecodeLayerForPage(parsed.overlay, page);
    if (!dat2_.isNull()) {
        if (!overlay_.isNull()) {
            overlay_ = overlay_.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&overlay_);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(overlay_.rect(), dat2_);
        }
        dat2_ = QImage();
    }
    background_ = DecodeLayerForPage(parsed.background, page, &backgroundSize_);
    LayoutDisplay();

    // Masks and per-slot values belong to slot positions, counted after the
    // empty rectangles are removed; the canvas has 20 of them.
    masks_ = parsed.masks.mid(0, kSlots);
    templateRects_ = parsed.SlotRects();
    if (AnySlotImageBelowCount())
        preview_ = QImage();

    for (int i = 0; i < kSlots; ++i) {
        SlotPlacement& p = placements_[i];
        if (rebuild) {
            p.front = parsed.front[i];
            p.transparency = parsed.transparency[i];
            p.shear = parsed.shear[i];
            p.angle = parsed.angle[i];
            p.borderColor = parsed.borderColor[i];
        }
        p.reserved = 0;
    }

    templateSize_ = QSize(parsed.width, parsed.height);
    if (relabel) {
        pageSize_ = templateSize_;
        if (onRelabel_)
            onRelabel_();
    }

    if (rebuild) {
        MapTemplateSlots();
        ReloadSlotPhotos();
        RenderComposite();
    }
}

QString CComposeCanvas::PageDataFolder(const QString& taskFilePath, const QString& pageName) {
    return QFileInfo(taskFilePath).path() + QStringLiteral("/data") + pageName;
}

bool CComposeCanvas::WriteLayoutRecord(const QString& taskFilePath, const QString& pageName) const {
    // The page name becomes part of a folder name inside the task folder; a
    // separator in it would write elsewhere.
    if (pageName.contains(QLatin1Char('/')) || pageName.contains(QLatin1Char('\\')))
        return false;
    const QString folder = PageDataFolder(taskFilePath, pageName);
    QDir().mkpath(folder);

    LayoutRecord record;
    record.body = body_;
    // Only slots of the template are stored; a photo in a slot the template
    // does not have cannot be shown again.
    for (int i = 0; i < slotCount(); ++i)
        if (!slots_[i].photoBytes.isEmpty())
            record.photos.append(LayoutPhoto{static_cast<uint32_t>(i), slots_[i].photoBytes});
    const bool written =
        WriteFileAtomic(folder + QStringLiteral("/dat"), SerializeLayoutRecord(record));
    // Slot rectangles are canvas pixels; the full-size page needs to know of
    // which canvas.
    const bool sizeWritten = WriteCanvasSizeFile(folder, clientSize_);
    return written && sizeWritten;
}

bool CComposeCanvas::LoadLayoutRecord(const QString& taskFilePath, const QString& pageName,
                                      int pageWidth, int pageHeight) {
    try {
        BusyScope busy(busy_);
        templateChanged_ = false;
        const QString folder = PageDataFolder(taskFilePath, pageName);
        QByteArray bytes;
        if (!ReadWholeFile(folder + QStringLiteral("/dat"), bytes, kMaxBodyFileBytes))
            return false;
        // A record cut short, or one whose body is no template, is refused
        // whole: the canvas keeps what it showed.
        LayoutRecord record;
        if (!ParseLayoutRecord(bytes, record))
            return false;
        TemplateBody parsed;
        if (ParseTemplateBody(record.body, parsed) != BodyStatus::Ok)
            return false;

        const QString dat2Path = folder + QStringLiteral("/dat2");
        dat2_ = QFileInfo(dat2Path).isFile() ? LoadImageFile(dat2Path) : QImage();

        ++layoutGeneration_;
        const QSize page(pageWidth, pageHeight);
        pageSize_ = page;
        productSize_ = page;
        lastAppliedProductSize_ = page;

        for (int i = 0; i < kSlots; ++i)
            ReleaseSlot(i, true);
        for (const LayoutPhoto& photo : record.photos)
            if (photo.slot < static_cast<uint32_t>(kSlots))
                slots_[photo.slot].photoBytes = photo.bytes;

        // The body held now is the saved page's, not that of the template file
        // picked last: picking that file again must load it.
        bodyPath_.clear();
        // The placements copied in from the task stay as they were saved.
        ApplyParsedBody(record.body, parsed, false, false);
        RescaleSavedPlacements(ReadCanvasSizeFile(folder));
        for (int i = 0; i < slotCount(); ++i) {
            currentSlot_ = i;
            LoadSlotPhoto(slots_[i].photoBytes, false, i);
        }
        currentSlot_ = 0;
        RenderComposite();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void CComposeCanvas::RescaleSavedPlacements(QSize savedClient) {
    if (!savedClient.isValid() || savedClient == clientSize_)
        return;
    // Slot rectangles are pixels of the page as shown on the canvas they
    // were made on; a page reopened on a canvas of another size would put
    // every photo in the wrong place without this.
    Rect saved{0, 0, savedClient.width(), savedClient.height()};
    if (IsPositive(productSize_))
        FitInside(productSize_.width(), productSize_.height(), saved);
    else
        FitInside(backgroundSize_.width(), backgroundSize_.height(), saved);
    if (saved.width() <= 0 || saved.height() <= 0)
        return;
    for (SlotPlacement& p : placements_)
        ScaleSlotRect(p, QSize(saved.width(), saved.height()), displaySize_);
}

void CComposeCanvas::ReapplyForProduct() {
    if (productSize_ == lastAppliedProductSize_)
        return;
    lastAppliedProductSize_ = productSize_;
    ++layoutGeneration_; // the slots are mapped for the new proportions
    ApplyTemplateBody(body_, true, true);
}
