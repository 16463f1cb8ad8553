#include "production/copy_pages.h"

#include "compose/compose_canvas.h"
#include "raster/raster.h"
#include "production/finished_pages.h"
#include "production/new_page.h"
#include "records/customer_task.h"
#include "records/dpi_setting.h"
#include "records/order_lines.h"
#include "records/resolution_threshold.h"
#include "records/workspace_paths.h"

#include <QRectF>
#include <cmath>

namespace {

constexpr double kCheckedChange = 0.10;

// The photo's part a slot shows, in fractions of the photo's size, so
// windows of working copies and full photos compare alike.
QRectF ShownPart(const CComposeCanvas& canvas, int slot) {
    const QSize photo = canvas.workingCopy(slot).size();
    const SlotPlacement& p = canvas.placement(slot);
    const QRect window =
        CropWindowRect(photo, Rect{p.left, p.top, p.right, p.bottom}, p.zoom, p.offsetX, p.offsetY);
    if (window.isEmpty())
        return {};
    return QRectF(double(window.x()) / photo.width(), double(window.y()) / photo.height(),
                  double(window.width()) / photo.width(), double(window.height()) / photo.height());
}

// Offsets (thirtieths of the new crop size) that centre the slot's crop on
// the point the old crop was centred on; the refit then pulls them back
// inside the photo where the new crop would leave it.
void CentreOn(CComposeCanvas& canvas, int slot, QPointF centre) {
    const QSize photo = canvas.workingCopy(slot).size();
    SlotPlacement& p = canvas.placement(slot);
    const QSize crop =
        CoverCropSize(Rect{p.left, p.top, p.right, p.bottom}, photo.width(), photo.height());
    if (crop.isEmpty())
        return;
    // The window's centre lies half the photo plus the offset in pixels.
    const double dx = (centre.x() - 0.5) * photo.width();
    const double dy = (centre.y() - 0.5) * photo.height();
    p.offsetX = static_cast<int>(std::lround(dx * 30 / crop.width()));
    p.offsetY = static_cast<int>(std::lround(dy * 30 / crop.height()));
    canvas.RefitSlot(slot);
}

} // namespace

double CropChange(const QRectF& before, const QRectF& after) {
    const double area = before.width() * before.height();
    if (area <= 0)
        return 0;
    const QRectF common = before.intersected(after);
    const double shared = common.width() * common.height();
    return (area + after.width() * after.height() - 2 * shared) / area;
}

QList<CopiedPage> CopyProductPages(CustomerTask& task, const QString& from,
                                   const SavePageRequest& request, QSize canvasSize,
                                   IMessages& messages) {
    QList<CopiedPage> copied;
    const QList<OrderLine> products = ReadOrderLines(OrderLinesPathForTask(task.Path()));
    int fromRow = -1;
    for (int i = 0; i < products.size() && fromRow < 0; ++i)
        if (products[i].name == from)
            fromRow = i;
    if (fromRow < 0 || !request.product)
        return copied;
    const int dpi = CurrentDpi();
    const ResolutionThreshold threshold = CurrentResolutionThreshold();
    const QSize targetSize(CmToPixels(request.product->width, dpi),
                           CmToPixels(request.product->height, dpi));

    QStringList sources;
    for (const auto& page : task.pages)
        if (ProductRowFor(page->Name(), products) == fromRow)
            sources.append(page->Name());
    // Pages are found by name: a page that cannot be reopened is dropped
    // from the task, which moves the ones after it.
    const auto indexOf = [&task](const QString& name) {
        for (int i = 0; i < task.PageCount(); ++i)
            if (task.pages[i]->Name() == name)
                return i;
        return -1;
    };

    for (const QString& name : sources) {
        CComposeCanvas canvas;
        canvas.SetClientSize(canvasSize);
        const OpenedPage opened = OpenFinishedPage(task, indexOf(name), -1, canvas, products);
        if (!opened.loaded)
            continue;
        QList<QRectF> before;
        for (int slot = 0; slot < canvas.slotCount(); ++slot)
            before.append(canvas.HasSlotImage(slot) ? ShownPart(canvas, slot) : QRectF());

        canvas.SetProductSize(targetSize);
        canvas.ReapplyForProduct();
        CopiedPage page{name, {}, {}, {}};
        for (int slot = 0; slot < canvas.slotCount() && slot < before.size(); ++slot) {
            if (before[slot].isEmpty() || !canvas.HasSlotImage(slot))
                continue;
            CentreOn(canvas, slot, before[slot].center());
            if (CropChange(before[slot], ShownPart(canvas, slot)) > kCheckedChange)
                page.changedSlots.append(slot);
        }
        for (const SlotResolution& slot : CanvasSlotResolutions(canvas, dpi))
            if (LevelOf(slot.ppi, threshold) != ResolutionLevel::Sharp)
                page.lowResolution.append(slot);
        canvas.RenderComposite();

        const SavePageResult saved = SaveCanvasAsPage(request, canvas, task, messages);
        if (!saved.saved || !saved.newPage)
            break;
        page.to = saved.pageName;
        copied.append(page);
    }
    return copied;
}
