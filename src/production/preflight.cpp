#include "production/preflight.h"

#include "compose/canvas_size_file.h"
#include "production/order_check.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

QList<PreflightFinding> OrderCheckFindings(const QString& customer, const QList<ExportPage>&,
                                           const LabProfile& lab) {
    // The lab takes nothing below its minimum: one threshold for soft and low.
    const ResolutionThreshold threshold{lab.minPpi, lab.minPpi};
    QList<PreflightFinding> findings;
    for (const OrderFinding& f :
         CheckOrder(customer, lab.dpi, threshold, LastCanvasSize()).findings)
        findings.append({FindingKindName(f.kind), f.page, f.message, f.slot, f.ppi});
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
        list.append(QJsonObject{
            {"kind", f.kind},
            {"page", f.page},
            {"slot", f.slot >= 0 ? QJsonValue(f.slot + 1) : QJsonValue(QJsonValue::Null)},
            {"ppi",
             f.ppi ? QJsonValue(std::round(*f.ppi * 10) / 10) : QJsonValue(QJsonValue::Null)},
            {"detail", f.detail},
        });
    return QJsonDocument(QJsonObject{{"customer", customer}, {"findings", list}})
        .toJson(QJsonDocument::Indented);
}
