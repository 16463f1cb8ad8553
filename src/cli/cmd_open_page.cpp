#include "cli/command.h"
#include "cli/page_argument.h"
#include "cli/slot_json.h"
#include "compose/canvas_size_file.h"
#include "compose/compose_canvas.h"
#include "production/finished_pages.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kCommand = QStringLiteral("open-page");

int RunOpenPage(const QStringList& args) {
    for (const QString& arg : args)
        if (arg.startsWith("--"))
            return BadInput(kCommand, QStringLiteral("unknown option %1").arg(arg));
    if (args.size() != 2)
        return BadInput(kCommand, QStringLiteral("needs a customer and a page name"));

    CustomerTask task;
    int index = -1;
    if (const int status = LoadTaskPage(kCommand, args[0], args[1], task, index))
        return status;
    const QList<OrderLine> products = ReadOrderLines(OrderLinesPathForTask(task.Path()));
    CComposeCanvas canvas;
    canvas.SetClientSize(LastCanvasSize());
    const OpenedPage opened = OpenFinishedPage(task, index, -1, canvas, products);
    if (opened.removed)
        return BadInput(kCommand, QStringLiteral("page %1 has no layout record and was removed "
                                                 "from the task")
                                      .arg(args[1]));
    if (!opened.loaded)
        return BadInput(kCommand,
                        QStringLiteral("the layout record of page %1 is damaged").arg(args[1]));

    const QJsonObject result{
        {"page", args[1]},
        {"size_label", opened.sizeLabel},
        {"product", opened.productRow >= 0 ? QJsonValue(products[opened.productRow].name)
                                           : QJsonValue(QJsonValue::Null)},
        {"slots", SlotsJson(canvas.placements())},
    };
    PrintOut(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented)).trimmed());
    return 0;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("CUSTOMER PAGE"),
     QStringLiteral("Reopens a finished page (e.g. A-2) as a click in the finished-page list does "
                    "and prints the size label, the product it selects (null for none) and its 20 "
                    "slot records as JSON; a page without layout record is removed."),
     RunOpenPage});
} // namespace
