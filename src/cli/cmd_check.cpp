#include "cli/command.h"
#include "compose/canvas_size_file.h"
#include "production/order_check.h"
#include "records/dpi_setting.h"
#include "records/workspace_paths.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {
const QString kCommand = QStringLiteral("check");

QJsonObject FindingJson(const OrderFinding& f) {
    return QJsonObject{
        {"kind", FindingKindName(f.kind)},
        {"page", f.page},
        // The slot's number as the canvas shows it, 1 for the first slot.
        {"slot", f.slot >= 0 ? QJsonValue(f.slot + 1) : QJsonValue(QJsonValue::Null)},
        {"ppi", f.ppi ? QJsonValue(std::round(*f.ppi * 10) / 10) : QJsonValue(QJsonValue::Null)},
        {"message", f.message},
    };
}

int RunCheck(const QStringList& args) {
    if (args.size() != 1 || args[0].isEmpty())
        return BadInput(kCommand, QStringLiteral("needs CUSTOMER"));
    const QString customer = args[0];
    if (!IsUsableCustomerName(customer) ||
        !QFileInfo(TaskFilePath(CustomerFolder(customer))).isFile())
        return BadInput(kCommand, QStringLiteral("no customer task %1").arg(customer));

    const OrderCheckReport report =
        CheckOrder(customer, CurrentDpi(), CurrentResolutionThreshold(), LastCanvasSize());
    QJsonArray findings;
    for (const OrderFinding& f : report.findings)
        findings.append(FindingJson(f));
    const QJsonObject result{
        {"customer", report.customer},
        {"ok", report.ok()},
        {"findings", findings},
    };
    PrintOut(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented)).trimmed());
    return report.ok() ? 0 : 1;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("CUSTOMER"),
     QStringLiteral("Checks a customer's order before it goes to the lab and prints JSON: page "
                    "counts per product, layout records, full-size images (rendered, up to date, "
                    "of the product's size) and slots below the resolution threshold. Exit 0 "
                    "when nothing is wrong, 1 otherwise."),
     RunCheck});
} // namespace
