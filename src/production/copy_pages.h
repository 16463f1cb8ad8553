#pragma once

// A copy of a customer's album at another size (the parents' smaller copy of
// the wedding album): every page of one ordered product gets a new page of
// another, with the same template and photos.

#include "production/slot_resolution.h"

#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>

class CustomerTask;
class IMessages;
struct SavePageRequest;

struct CopiedPage {
    QString from; // the page copied
    QString to;   // the new page
    // Slots whose crop of the photo changed by more than a tenth of its
    // area to fit the new proportions: the operator should look at them.
    QList<int> changedSlots;
    // Slots printing below the resolution threshold's warning level at the
    // new size.
    QList<SlotResolution> lowResolution;
    bool NeedsCheck() const { return !changedSlots.isEmpty() || !lowResolution.isEmpty(); }
};

// For each page of the ordered product `from` (in the task's order) a new
// page is saved as the operator would save it with request (the customer
// chosen, the new product selected): the page reopened on a canvas of
// canvasSize, the template re-applied to the new product's proportions at
// the dpi setting, each photo's crop moved back onto the point of the photo
// it showed, the page saved as a new page of that product, its slots'
// resolutions judged by the resolution threshold. Returns the pages
// copied; a page that cannot be reopened is left out, and copying stops at a
// page that cannot be saved (the operator told).
QList<CopiedPage> CopyProductPages(CustomerTask& task, const QString& from,
                                   const SavePageRequest& request, QSize canvasSize,
                                   IMessages& messages);

// How much of a crop changed: the area in one window and not the other,
// relative to the first window's area.
double CropChange(const QRectF& before, const QRectF& after);
