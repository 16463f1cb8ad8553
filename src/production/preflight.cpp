#include "production/preflight.h"

#include "records/dpi_setting.h"

#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// "big<page>.jpg" -> "<page>"
QString PageNameOf(const ExportPage& page) {
    return QFileInfo(page.source).completeBaseName().mid(3);
}

} // namespace

QList<PreflightFinding> WrongSizeFindings(const QString&, const QList<ExportPage>& pages,
                                          const LabProfile& lab) {
    QList<PreflightFinding> findings;
    for (const ExportPage& page : pages) {
        const QSize size = QImageReader(page.source).size();
        const QSize wanted(CmToPixels(page.widthCm, lab.dpi), CmToPixels(page.heightCm, lab.dpi));
        if (size == wanted)
            continue;
        findings.append(
            {QStringLiteral("wrong_size"), PageNameOf(page),
             // One arg() call: a "%" in a product name stays text.
             QStringLiteral("%1 第%2页: %3 x %4 像素, %5 dpi 应为 %6 x %7")
                 .arg(page.product, QString::number(page.number), QString::number(size.width()),
                      QString::number(size.height()), QString::number(lab.dpi),
                      QString::number(wanted.width()), QString::number(wanted.height()))});
    }
    return findings;
}

QList<PreflightFinding> RunPreflight(const QList<PreflightCheck>& checks, const QString& customer,
                                     const QList<ExportPage>& pages, const LabProfile& lab) {
    QList<PreflightFinding> findings;
    for (const PreflightCheck& check : checks)
        findings += check(customer, pages, lab);
    return findings;
}

QByteArray PreflightJson(const QString& customer, const QList<PreflightFinding>& findings) {
    QJsonArray list;
    for (const PreflightFinding& f : findings)
        list.append(QJsonObject{{"kind", f.kind}, {"page", f.page}, {"detail", f.detail}});
    return QJsonDocument(QJsonObject{{"customer", customer}, {"findings", list}})
        .toJson(QJsonDocument::Indented);
}
