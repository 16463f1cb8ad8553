#include "production/slot_resolution.h"

#include "compose/compose_canvas.h"
#include "raster/raster.h"
#include "production/batch_geometry.h"

#include <algorithm>

std::optional<double> EffectiveResolution(QSize photo, const SlotPlacement& p,
                                          const PrintFrame& frame) {
    if (photo.isEmpty() || frame.dpi <= 0)
        return std::nullopt;
    // The same mapping the batch worker draws the page with.
    const BatchGeometry geometry = ComputeBatchGeometry(frame.page, frame.background, frame.canvas);
    const SlotMapping m = MapSlot(geometry, Rect{p.left, p.top, p.right, p.bottom});
    if (m.draw.width() <= 0 || m.draw.height() <= 0)
        return std::nullopt;
    const QSize window = CropWindowSize(photo, m.crop, p.zoom, p.offsetX, p.offsetY);
    if (window.isEmpty())
        return std::nullopt;
    const double across = double(window.width()) / m.draw.width();
    const double down = double(window.height()) / m.draw.height();
    return std::min(across, down) * frame.dpi;
}

QList<SlotResolution> CanvasSlotResolutions(const CComposeCanvas& canvas, int dpi) {
    QList<SlotResolution> result;
    if (!canvas.HasTemplate())
        return result;
    PrintFrame frame;
    const QSize product = canvas.productSize();
    frame.page = product.width() > 0 && product.height() > 0 ? product : canvas.templateSize();
    frame.background = canvas.backgroundSize();
    frame.canvas = canvas.clientSize();
    frame.dpi = dpi;
    const int count = std::min(canvas.slotCount(), int(CComposeCanvas::kSlots));
    for (int slot = 0; slot < count; ++slot) {
        if (!canvas.HasSlotImage(slot))
            continue;
        if (const auto ppi =
                EffectiveResolution(canvas.photoSize(slot), canvas.placement(slot), frame))
            result.append(SlotResolution{slot, *ppi});
    }
    return result;
}
