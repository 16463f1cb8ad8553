#pragma once

#include "records/order_lines.h"

#include <QString>
#include <QStringList>
#include <optional>

class CComposeCanvas;
class CustomerTask;
class IMessages;

// What the main window knows when the operator saves the canvas as a
// finished page.
struct SavePageRequest {
    bool customerChosen = false; // the order list shows a customer
    QString customerName;        // folder name of the customer
    QString customerDisplayName; // stored as the phone of a task started here
    // The order list entry selected (not the header), if any.
    std::optional<OrderLine> product;
    bool customerCheck = true; // "保存" checks; Ctrl+O saves without
    // The finished page selected in the list, -1 for none.
    int selectedPage = -1;
};

struct SavePageResult {
    bool saved = false;   // false: refused with a message, or nothing written
    bool newPage = false; // a page was appended (else the selected one was overwritten)
    int pageIndex = -1;   // the page saved
    QString pageName;
    QString customerName; // "预览缓存" when it replaced an empty name
};

// The operator's "保存": the canvas becomes a finished page of task. A new
// page is named after the product ("P", "P-2", ... or "未知产品") and sized
// from it at the DPI setting; the preview JPEG, the layout record and the
// task file are written. Without a customer and without an open task the
// page goes to the preview cache. The caller refreshes its lists.
SavePageResult SaveCanvasAsPage(const SavePageRequest& request, CComposeCanvas& canvas,
                                CustomerTask& task, IMessages& messages);

// The name a new page of product takes in folder: the product's name, or
// "%s-%d" with the first number from 2 whose ".jpg" does not exist, held to
// the 99 bytes of a page record. A name in pageNames (the task's pages) is
// never given again, even when its ".jpg" is gone.
QString NewPageName(const QString& folder, const QString& product,
                    const QStringList& pageNames = {});
