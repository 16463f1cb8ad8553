#pragma once

#include "records/order_lines.h"

#include <QList>
#include <QString>
#include <functional>

class ExportManifest;
class IMessages;

enum class ExportResult {
    NoSelection, // "请先选中要输出的客人!"
    NotComposed, // "此客人未套版!"
    Cancelled,   // no folder chosen: nothing said, nothing written
    Done,        // "导出成功!"
    Failed,      // some image could not be written (kExportFailedMessage) or a
                 // page of the task is not rendered
    Refused,     // the writer refused the pages with its own message; nothing written
    Incomplete,  // written, but a product has pages beyond the hundredth, which the
                 // lab's numbering has no name for: the message names them
};

extern const char* const kExportFailedMessage;

// One rendered page an export hands over: the ordered product it belongs to
// (with its size in centimetres as ordered), its number within the product
// from 1, and its image in the customer folder.
struct ExportPage {
    QString product;
    QString widthCm, heightCm;
    int number = 0;
    QString source;
    OrderLine order; // the order line it is exported for (quantity, pages)
};

// Writes the pages into the destination (<chosen folder>/<customer>):
// Done, Failed when some page could not be written, or Refused after
// telling the operator why, with nothing written. Each page written is added
// to the manifest when one is given.
using ExportWriter =
    std::function<ExportResult(const QList<ExportPage>& pages, const QString& destination,
                               IMessages& messages, ExportManifest* manifest)>;

// The plain export: each page copied to <destination>/<product>/<number>.jpg.
ExportResult CopyExportPages(const QList<ExportPage>& pages, const QString& destination,
                             IMessages& messages, ExportManifest* manifest = nullptr);

// Copies a customer's rendered pages into
// <chosen folder>/<customer>/<product>/1.jpg, 2.jpg, ..., product by product
// in the order lines' order: the product's pages ("P", "P-N") as the task
// lists them, in the task's order, numbered without gaps, up to 100 per
// product. A page of the task whose "big<page>.jpg" is missing fails the
// export with a message naming it; pages beyond a product's hundredth are
// left out, and the message names the products and how many pages each lost
// instead of "导出成功!".
//   customer: the selected task's folder name, empty when none is selected;
//   status: its "已输出" text (the "<s>" of status.txt, "0" without one);
//   chooseFolder: asks for the destination, empty when cancelled;
//   openFolder: shows the destination after a successful export (optional);
//   writer: how the pages are written (a lab's rules), the plain copy when empty;
//   manifest: when given, gathers the written pages and is written as
//   manifest.csv into <chosen folder>/<customer> (a failure fails the export).
ExportResult ExportCustomer(const QString& customer, const QString& status,
                            const std::function<QString()>& chooseFolder, IMessages& messages,
                            const std::function<void(const QString&)>& openFolder = {},
                            const ExportWriter& writer = {}, ExportManifest* manifest = nullptr);

// The most pages of one product an export writes: the lab's numbering ends
// at 100.
constexpr int kMaxExportPagesPerProduct = 100;

// Copies a file so that the target is either the old file or the whole new
// one, never a part.
bool CopyFileAtomic(const QString& source, const QString& target);
