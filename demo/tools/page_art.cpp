#include "page_art.h"

#include "overlays.h"
#include "scene.h"
#include "shapes.h"
#include "slot_geometry.h"
#include "themes.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSet>

#include <cmath>

namespace {

bool SaveImage(const QImage& image, const QString& path, QString& error) {
    QImageWriter writer(path);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "jpg" || suffix == "jpeg")
        writer.setQuality(90);
    if (!writer.write(image)) {
        error = "cannot write " + path + ": " + writer.errorString();
        return false;
    }
    return true;
}

QString ShapeOf(const SlotDescription& slot) {
    return slot.mask.isEmpty() ? QStringLiteral("rect") : ShapeOfMaskFile(slot.mask);
}

// The shape scaled about the slot's centre so that its edge moves by delta
// pixels (negative: inwards), in the slot's own coordinates.
QPainterPath ScaledShape(const QString& shape, QSizeF size, double delta) {
    const double w = size.width();
    const double h = size.height();
    QTransform t;
    t.translate(w / 2, h / 2);
    t.scale((w + 2 * delta) / w, (h + 2 * delta) / h);
    t.translate(-w / 2, -h / 2);
    return t.map(ShapePath(shape, size));
}

// A stand-in photo cut to the slot, masked and framed the way the studio
// draws a filled slot.
QImage SlotImage(const SlotDescription& slot, const SlotFrame& frame, QSize page, int variant) {
    const QSize size(frame.width(), frame.height());
    QImage image = MakeScene(size, variant).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (!slot.mask.isEmpty()) {
        QImage alpha(size, QImage::Format_ARGB32_Premultiplied);
        alpha.fill(Qt::transparent);
        QPainter ap(&alpha);
        ap.setRenderHint(QPainter::Antialiasing);
        ap.fillPath(ShapePath(ShapeOf(slot), QSizeF(size)), Qt::black);
        ap.end();
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, alpha);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (!slot.border.isEmpty()) {
        const int t = std::max(1, std::max(page.width(), page.height()) / 600);
        const QColor c(slot.border);
        const int w = size.width();
        const int h = size.height();
        p.fillRect(0, 0, w, t, c);
        p.fillRect(0, h - t, w, t, c);
        p.fillRect(0, 0, t, h, c);
        p.fillRect(w - t, 0, t, h, c);
    }
    return image;
}

void DrawSlots(QPainter& p, const PageDescription& page, QSize size, int sceneSeed, bool front) {
    for (int i = 0; i < page.slotList.size(); ++i) {
        const SlotDescription& slot = page.slotList[i];
        if ((slot.front != 0) != front)
            continue;
        const SlotFrame frame = PlaceSlot(slot, size);
        const QImage image = SlotImage(slot, frame, size, (sceneSeed + i) % kSceneCount);
        p.save();
        p.setTransform(frame.ToPage());
        p.setOpacity((255 - slot.transparency) / 255.0);
        p.drawImage(0, 0, image);
        p.restore();
    }
}

// The overlay's openings on a page of page pixels.
QList<OverlayWindow> Windows(const PageDescription& page, QSize size) {
    const double inset = std::max(2.0, std::min(size.width(), size.height()) * 0.004);
    QList<OverlayWindow> windows;
    for (const SlotDescription& slot : page.slotList) {
        // Slots above the overlay need no opening; faded slots lie under the
        // overlay as part of the design.
        if (slot.front != 0 || slot.transparency != 0)
            continue;
        const SlotFrame frame = PlaceSlot(slot, size);
        const QSizeF local(frame.width(), frame.height());
        const QTransform toPage = frame.ToPage();
        windows.append({toPage.map(ScaledShape(ShapeOf(slot), local, -inset)),
                        toPage.map(ScaledShape(ShapeOf(slot), local, inset))});
    }
    return windows;
}

// The slot's own size, before turning, on a page drawn at pixelsPerCm;
// rounded up, so a mask is never coarser than asked.
QSize SlotPixelSize(const SlotDescription& slot, const PageDescription& page, double pixelsPerCm) {
    const double w = (slot.right - slot.left) / 1000.0 * page.widthCm * pixelsPerCm;
    const double h = (slot.bottom - slot.top) / 750.0 * page.heightCm * pixelsPerCm;
    return QSize(static_cast<int>(std::ceil(w)), static_cast<int>(std::ceil(h)));
}

// The preview shows the page as the studio composes it: background, back
// slots, overlay, front slots. It is composed at twice its size and reduced,
// so its edges are smooth.
QImage DrawPreview(const PageDescription& page, const Theme& theme, int sceneSeed, int longSide) {
    const QSize size = PagePixelSize(page, 2.0 * longSide / std::max(page.widthCm, page.heightCm));
    QImage composed =
        DrawBackground(theme, size, size).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&composed);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        DrawSlots(p, page, size, sceneSeed, false);
        if (!page.overlay.isEmpty())
            p.drawImage(0, 0, DrawOverlay(page.overlay, theme, size, size, Windows(page, size)));
        DrawSlots(p, page, size, sceneSeed, true);
    }
    return composed.scaled(longSide, longSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

QSize PagePixelSize(const PageDescription& page, double pixelsPerCm) {
    // The small allowance keeps a size that is whole in exact arithmetic
    // from gaining a pixel through rounding errors.
    auto side = [&](double cm) { return static_cast<int>(std::ceil(cm * pixelsPerCm - 1e-6)); };
    return QSize(side(page.widthCm), side(page.heightCm));
}

QSize StoredLayerSize(QSize pagePixels) {
    int h = std::max(pagePixels.height(), (pagePixels.width() * 3 + 3) / 4);
    h += (3 - h % 3) % 3;
    return QSize(h / 3 * 4, h);
}

bool DrawPageArt(const PageDescription& page, const QString& folder, int sceneSeed,
                 const ArtResolution& resolution, QString& error) {
    const Theme* theme = ThemeForBackground(page.background);
    if (!theme) {
        error = "no art is drawn for the background " + page.background;
        return false;
    }
    if (!page.overlay.isEmpty() && !IsKnownOverlay(page.overlay)) {
        error = "no art is drawn for the overlay " + page.overlay;
        return false;
    }
    for (const SlotDescription& slot : page.slotList) {
        if (!IsKnownShape(ShapeOf(slot))) {
            error = "no mask shape is drawn for " + slot.mask;
            return false;
        }
    }

    // The layers are drawn straight at their stored size, so the 4:3
    // stretch costs no sharpness.
    const QSize size = PagePixelSize(page, resolution.layerPixelsPerCm);
    const QSize stored = StoredLayerSize(size);
    if (!SaveImage(DrawBackground(*theme, size, stored), folder + "/" + page.background, error))
        return false;
    if (!page.overlay.isEmpty() &&
        !SaveImage(DrawOverlay(page.overlay, *theme, size, stored, Windows(page, size)),
                   folder + "/" + page.overlay, error))
        return false;

    QSet<QString> masksDrawn;
    for (const SlotDescription& slot : page.slotList) {
        if (slot.mask.isEmpty() || masksDrawn.contains(slot.mask))
            continue;
        // Masks keep the slot's proportions so the shape is not distorted
        // when it is stretched over the slot.
        const QSize maskSize = SlotPixelSize(slot, page, resolution.maskPixelsPerCm);
        if (!SaveImage(DrawMask(ShapeOf(slot), maskSize), folder + "/" + slot.mask, error))
            return false;
        masksDrawn.insert(slot.mask);
    }
    return SaveImage(DrawPreview(page, *theme, sceneSeed, resolution.previewLongSide),
                     folder + "/" + page.preview, error);
}
