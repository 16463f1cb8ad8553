#include "production/export_pages.h"

#include "common/atomic_file.h"
#include "common/messages.h"
#include "production/export_manifest.h"
#include "records/dpi_setting.h"
#include "records/number_text.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const char* const kExportFailedMessage = "导出失败, 请检查保存的目录!";

namespace {

// The most pages one product can have.
constexpr int kMaxPagesPerProduct = 100;

// Product names become folder names in the destination; one that names a
// path instead would put pages outside it.
bool UsableAsFolderName(const QString& name) {
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\\');
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

// The rendered pages of the customer, product by product in the order
// lines' order: "big<product>.jpg", then "big<product>-2.jpg" and on to the
// first one missing.
QList<ExportPage> ExportPagesOf(const QString& source) {
    QList<ExportPage> pages;
    for (const OrderLine& line : ReadOrderLines(OrderLinesPath(source))) {
        const QString& product = line.name;
        if (!UsableAsFolderName(product))
            continue;
        for (int j = 1; j <= kMaxPagesPerProduct; ++j) {
            const QString page =
                j == 1 ? BigPageImagePath(source, product, ".jpg")
                       : BigPageImagePath(source, product + "-" + QString::number(j), ".jpg");
            if (!QFileInfo::exists(page))
                break;
            pages.append({product, line.width, line.height, j, page, line});
        }
    }
    return pages;
}

} // namespace

ExportResult CopyExportPages(const QList<ExportPage>& pages, const QString& destination,
                             IMessages&, ExportManifest* manifest) {
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
    const QList<ExportPage> pages = ExportPagesOf(CustomerFolder(customer));
    ExportResult result = (writer ? writer : ExportWriter(CopyExportPages))(pages, destination,
                                                                            messages, manifest);
    if (result == ExportResult::Refused)
        return result;
    if (manifest && result == ExportResult::Done && !manifest->Write(destination))
        result = ExportResult::Failed;

    // Saying "done" when pages are missing from the destination would send
    // an incomplete order to the print lab.
    if (result != ExportResult::Done) {
        messages.Inform(QString::fromUtf8(kExportFailedMessage));
        return ExportResult::Failed;
    }
    messages.Inform(QStringLiteral("导出成功!"));
    if (openFolder)
        openFolder(destination);
    return ExportResult::Done;
}
