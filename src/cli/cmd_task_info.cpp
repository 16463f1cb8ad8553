#include "cli/command.h"
#include "cli/slot_json.h"
#include "production/task_reference.h"
#include "records/customer_task.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kCommand = QStringLiteral("task-info");

QJsonObject PageJson(const TaskPage& page) {
    return QJsonObject{
        {"name", page.Name()},
        {"width", page.width},
        {"height", page.height},
        {"slots", SlotsJson(page.placements)},
    };
}

QJsonArray OrderJson(const QList<OrderLine>& lines) {
    QJsonArray order;
    for (const OrderLine& l : lines) {
        order.append(QJsonObject{{"name", l.name},
                                 {"width", l.width},
                                 {"height", l.height},
                                 {"quantity", l.quantity},
                                 {"pages", l.pages}});
    }
    return order;
}

int RunTaskInfo(const QStringList& args) {
    if (args.size() != 1)
        return BadInput(
            kCommand,
            QStringLiteral("needs one argument: a customer, a 1.tx or a customer folder"));
    const QString path = TaskPathFor(args[0]);
    const QFileInfo info(path);
    if (!info.isFile())
        return BadInput(kCommand, QStringLiteral("no task file %1").arg(path));
    if (info.size() > CustomerTask::kMaxFileBytes)
        return BadInput(kCommand, QStringLiteral("%1 is too large for a task file").arg(path));
    CustomerTask task;
    if (!task.Load(path))
        return BadInput(kCommand, QStringLiteral("cannot read %1").arg(path));

    QJsonArray pages;
    for (const auto& page : task.pages)
        pages.append(PageJson(*page));
    const qint64 size = info.size();
    const QJsonObject result{
        {"path", QFileInfo(path).absoluteFilePath()},
        {"file_size", size},
        // A file whose length is not the phone block plus whole records was
        // cut short; its last page was read with zeros for the missing bytes.
        {"complete", size >= CustomerTask::kPhoneBytes &&
                         (size - CustomerTask::kPhoneBytes) % TaskPage::kRecordSize == 0},
        {"phone", task.phone},
        {"page_count", task.PageCount()},
        {"pages", pages},
        {"order", OrderJson(ReadOrderLines(OrderLinesPathForTask(path)))},
    };
    PrintOut(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented)).trimmed());
    return 0;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("CUSTOMER|PATH"),
     QStringLiteral(
         "Shows a customer task (by name, a 1.tx or its folder) as JSON: phone, pages with "
         "their 20 slot records, and the ordered products."),
     RunTaskInfo});
} // namespace
