#include "production/export_pages.h"

#include "common/atomic_file.h"
#include "common/messages.h"
#include "production/export_manifest.h"
#include "records/customer_task.h"
#include "records/dpi_setting.h"
#include "records/number_text.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

const char* const kExportFailedMessage = "导出失败, 请检查保存的目录!";

namespace {

// Product names become folder names in the destination; one that names a
// path instead would put pages outside it.
bool UsableAsFolderName(const QString& name) {
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\\');
}

// A page belongs to product when it is named after it: "P", or "P-N" for
// the product's later pages.
bool IsPageOf(const QString& page, const QString& product) {
    if (page == product)
        return true;
    if (!page.startsWith(product + '-'))
        return false;
    bool number = false;
    page.mid(product.size() + 1).toInt(&number);
    return number;
}

QString WithoutTrailingSeparators(QString folder) {
    while (folder.endsWith('/') || folder.endsWith('\\'))
        folder.chop(1);
    return folder;
}

} // namespace

bool CopyFileAtomic(const QString& source, const QString& target) {
    QByteArray bytes;
    return ReadWholeFile(source, bytes) && WriteFileAtomic(target, bytes);
}

namespace {

// The pages of the customer, product by product in the order lines' order,
// each product's pages ("P", "P-N") as the task lists them, in the task's
// order and numbered without gaps, up to 100 per product. The task lists the
// pages; the files on disk do not: a page name can be missing from the disk
// (deleted, or its save was cut short) while later pages are there, and the
// lab must get every page of the album. A listed page whose "big<page>.jpg"
// is missing is named in notRendered; each product with pages beyond its
// hundredth is named in leftOut with their number. None when the task cannot
// be read.
std::optional<QList<ExportPage>> ExportPagesOf(const QString& source, QStringList& notRendered,
                                               QStringList& leftOut) {
    CustomerTask task;
    if (QFileInfo::exists(TaskFilePath(source)) && !task.Load(TaskFilePath(source)))
        return std::nullopt;
    QList<ExportPage> pages;
    QStringList exported;
    for (const OrderLine& line : ReadOrderLines(OrderLinesPath(source))) {
        const QString& product = line.name;
        if (!UsableAsFolderName(product) || exported.contains(product))
            continue;
        exported.append(product);
        int number = 0;
        int beyond = 0;
        for (const auto& page : task.pages) {
            const QString name = page->Name();
            if (!IsPageOf(name, product))
                continue;
            if (number == kMaxExportPagesPerProduct) {
                ++beyond;
                continue;
            }
            const QString image = BigPageImagePath(source, name, ".jpg");
            if (!QFileInfo::exists(image)) {
                notRendered.append(name);
                continue;
            }
            pages.append({product, line.width, line.height, ++number, image, line});
        }
        if (beyond > 0)
            leftOut.append(QStringLiteral("%1 的 %2 页").arg(product).arg(beyond));
    }
    return pages;
}

} // namespace

ExportResult CopyExportPages(const QList<ExportPage>& pages, const QString& destination, IMessages&,
                             ExportManifest* manifest) {
    bool allWritten = QDir().mkpath(destination);
    const int dpi = CurrentDpi();
    for (const ExportPage& page : pages) {
        allWritten = QDir().mkpath(destination + "/" + page.product) && allWritten;
        const QString file = page.product + "/" + QString::number(page.number) + ".jpg";
        const bool copied = CopyFileAtomic(page.source, destination + "/" + file);
        if (copied && manifest)
            manifest->Add(page.order, file, destination + "/" + file, dpi);
        allWritten = copied && allWritten;
    }
    return allWritten ? ExportResult::Done : ExportResult::Failed;
}

ExportResult ExportCustomer(const QString& customer, const QString& status,
                            const std::function<QString()>& chooseFolder, IMessages& messages,
                            const std::function<void(const QString&)>& openFolder,
                            const ExportWriter& writer, ExportManifest* manifest) {
    if (customer.isEmpty()) {
        messages.Inform(QStringLiteral("请先选中要输出的客人!"));
        return ExportResult::NoSelection;
    }
    if (TextToInt(status) == 0) {
        messages.Inform(QStringLiteral("此客人未套版!"));
        return ExportResult::NotComposed;
    }
    const QString chosen = chooseFolder ? chooseFolder() : QString();
    if (chosen.isEmpty())
        return ExportResult::Cancelled;

    const QString destination = WithoutTrailingSeparators(chosen) + "/" + customer;
    QStringList notRendered;
    QStringList leftOut;
    const std::optional<QList<ExportPage>> pages =
        ExportPagesOf(CustomerFolder(customer), notRendered, leftOut);
    ExportResult result = ExportResult::Failed;
    if (pages) {
        result = (writer ? writer : ExportWriter(CopyExportPages))(*pages, destination, messages,
                                                                   manifest);
        if (result == ExportResult::Refused)
            return result;
        if (manifest && result == ExportResult::Done && !manifest->Write(destination))
            result = ExportResult::Failed;
    }

    if (!notRendered.isEmpty()) {
        messages.Inform(QStringLiteral("导出失败, 页面未套版: %1!").arg(notRendered.join(", ")));
        return ExportResult::Failed;
    }
    // Saying "done" when pages are missing from the destination would send
    // an incomplete order to the print lab.
    if (result != ExportResult::Done) {
        messages.Inform(QString::fromUtf8(kExportFailedMessage));
        return ExportResult::Failed;
    }
    // Pages the lab never gets must not pass for a whole album either.
    if (!leftOut.isEmpty()) {
        messages.Inform(QStringLiteral("导出不完整, 每个产品最多导出 %1 页, 未导出: %2!")
                            .arg(kMaxExportPagesPerProduct)
                            .arg(leftOut.join(", ")));
        return ExportResult::Incomplete;
    }
    messages.Inform(QStringLiteral("导出成功!"));
    if (openFolder)
        openFolder(destination);
    return ExportResult::Done;
}
