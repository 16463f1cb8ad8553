#include "production/lab_export.h"

#include "common/atomic_file.h"
#include "common/messages.h"
#include "raster/colour_conversion.h"
#include "raster/edge_extension.h"
#include "raster/jpeg_codec.h"
#include "raster/raster.h"
#include "production/export_manifest.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

namespace {

struct PlannedPage {
    const ExportPage* page;
    QString target; // below the destination
};

// Where every page goes; false (the operator told) when two pages would get
// one name or a name a disk refuses.
bool PlanPages(const LabProfile& lab, const QString& customer, const QList<ExportPage>& pages,
               QList<PlannedPage>& plan, IMessages& messages) {
    QStringList badNames;
    QMap<QString, QString> sourceOf; // target -> source
    for (const ExportPage& page : pages) {
        const QString target = LabFileName(lab.fileName, customer, page.product, page.number);
        bool usable = true;
        for (const QString& part : target.split('/'))
            usable = usable && IsUsableCustomerName(part);
        const auto known = sourceOf.constFind(target);
        if (!usable || (known != sourceOf.constEnd() && *known != page.source)) {
            badNames.append(QStringLiteral("%1 第%2页: %3")
                                .arg(page.product, QString::number(page.number), target));
            continue;
        }
        // A product ordered twice lists its pages twice: written once.
        if (known == sourceOf.constEnd()) {
            sourceOf.insert(target, page.source);
            plan.append({&page, target});
        }
    }
    if (!badNames.isEmpty()) {
        messages.Inform(
            QStringLiteral("文件名规则 \"%1\" 给出重复或无法使用的文件名:\n").arg(lab.fileName) +
            badNames.join('\n'));
        return false;
    }
    return true;
}

bool WritePage(const LabProfile& lab, const QByteArray& icc, const PlannedPage& planned,
               const QString& destination) {
    QByteArray bytes;
    if (!ReadWholeFile(planned.page->source, bytes, ImageDecodeLimitBytes()))
        return false;
    QImage page = ExtendEdges(DecodeImage(bytes), BleedPixels(lab));
    if (page.isNull())
        return false;
    if (lab.adobeRgb)
        ConvertFromSrgb(page, QColorSpace(QColorSpace::AdobeRgb));
    const QByteArray jpeg = EncodeJpegPage(page, {lab.dpi, lab.jpegQuality, lab.halfChroma, icc});
    const QString path = destination + "/" + planned.target;
    return !jpeg.isEmpty() && QDir().mkpath(QFileInfo(path).path()) && WriteFileAtomic(path, jpeg);
}

} // namespace

ExportWriter LabExportWriter(const LabProfile& lab, const QString& customer,
                             const LabExportOptions& options) {
    return [lab, customer, options](const QList<ExportPage>& pages, const QString& destination,
                                    IMessages& messages, ExportManifest* manifest) {
        const QList<PreflightFinding> findings = RunPreflight(options.checks, customer, pages, lab);
        if (!findings.isEmpty() && !options.force) {
            if (options.showFindings)
                options.showFindings(findings);
            return ExportResult::Refused;
        }
        QList<PlannedPage> plan;
        if (!PlanPages(lab, customer, pages, plan, messages))
            return ExportResult::Refused;
        const QByteArray icc =
            IccProfileOf(QColorSpace(lab.adobeRgb ? QColorSpace::AdobeRgb : QColorSpace::SRgb));
        bool allWritten = QDir().mkpath(destination);
        if (!findings.isEmpty())
            allWritten = WriteFileAtomic(destination + "/preflight.json",
                                         PreflightJson(customer, findings)) &&
                         allWritten;
        for (const PlannedPage& planned : plan) {
            const bool written = WritePage(lab, icc, planned, destination);
            if (written && manifest)
                manifest->Add(planned.page->order, planned.target,
                              destination + "/" + planned.target, lab.dpi);
            allWritten = written && allWritten;
        }
        return allWritten ? ExportResult::Done : ExportResult::Failed;
    };
}
