#include "production/export_pages.h"

#include "common/atomic_file.h"
#include "common/messages.h"
#include "production/export_manifest.h"
#include "records/dpi_setting.h"
#include "records/number_text.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"

#include "common/atomic_file.h"
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

ExportResult ExportCustomer(const QString& customer, const QString& status,
                            const std::function<QString()>& chooseFolder, IMessages& messages,
                            const std::function<void(const QString&)>& openFolder,
                            ExportManifest* manifest) {
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
    bool allWritten = QDir().mkpath(destination);
    const QString source = CustomerFolder(customer);
    const int dpi = CurrentDpi();
    const auto copy = [&](const OrderLine& line, const QString& from, int number) {
        const QString file = line.name + "/" + QString::number(number) + ".jpg";
        const bool copied = CopyFileAtomic(from, destination + "/" + file);
        if (copied && manifest)
            manifest->Add(line, file, destination + "/" + file, dpi);
        return copied;
    };
    for (const OrderLine& line : ReadOrderLines(OrderLinesPath(source))) {
        const QString& product = line.name;
        if (!UsableAsFolderName(product))
            continue;
        const QString first = BigPageImagePath(source, product, ".jpg");
        if (!QFileInfo::exists(first))
            continue;
        const QString folder = destination + "/" + product;
        allWritten = QDir().mkpath(folder) && allWritten;
        allWritten = copy(line, first, 1) && allWritten;
        for (int j = 2; j <= kMaxPagesPerProduct; ++j) {
            const QString page =
                BigPageImagePath(source, product + "-" + QString::number(j), ".jpg");
            if (!QFileInfo::exists(page))
                break;
            allWritten = copy(line, page, j) && allWritten;
        }
    }

    if (manifest)
        allWritten = manifest->Write(destination) && allWritten;

    // Saying "done" when pages are missing from the destination would send
    // an incomplete order to the print lab.
    if (!allWritten) {
        messages.Inform(QString::fromUtf8(kExportFailedMessage));
        return ExportResult::Failed;
    }
    messages.Inform(QStringLiteral("导出成功!"));
    if (openFolder)
        openFolder(destination);
    return ExportResult::Done;
}
