#pragma once

#include <QString>
#include <functional>

class IMessages;

enum class ExportResult {
    NoSelection, // "请先选中要输出的客人!"
    NotComposed, // "此客人未套版!"
    Cancelled,   // no folder chosen: nothing said, nothing written
    Done,        // "导出成功!"
    Failed,      // some image could not be written (kExportFailedMessage) or a
                 // page of the task is not rendered
};

extern const char* const kExportFailedMessage;

// Copies a customer's rendered pages into
// <chosen folder>/<customer>/<product>/1.jpg, 2.jpg, ..., product by product
// in the order lines' order: the product's pages ("P", "P-N") as the task
// lists them, in the task's order, numbered without gaps, up to 100 per
// product. A page of the task whose "big<page>.jpg" is missing fails the
// export with a message naming it.
//   customer: the selected task's folder name, empty when none is selected;
//   status: its "已输出" text (the "<s>" of status.txt, "0" without one);
//   chooseFolder: asks for the destination, empty when cancelled;
//   openFolder: shows the destination after a successful export (optional).
ExportResult ExportCustomer(const QString& customer, const QString& status,
                            const std::function<QString()>& chooseFolder, IMessages& messages,
                            const std::function<void(const QString&)>& openFolder = {});

// Copies a file so that the target is either the old file or the whole new
// one, never a part.
bool CopyFileAtomic(const QString& source, const QString& target);
