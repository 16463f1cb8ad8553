#include "cli/cli_messages.h"
#include "cli/command.h"
#include "cli/page_argument.h"
#include "compose/compose_canvas.h"
#include "production/finished_pages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kCommand = QStringLiteral("delete-page");

int RunDeletePage(const QStringList& args) {
    bool yes = false;
    QStringList rest;
    for (const QString& arg : args) {
        if (arg == "--yes")
            yes = true;
        else if (arg.startsWith("--"))
            return BadInput(kCommand, QStringLiteral("unknown option %1").arg(arg));
        else
            rest.append(arg);
    }
    if (rest.size() != 2)
        return BadInput(kCommand, QStringLiteral("needs a customer and a page name"));

    CustomerTask task;
    int index = -1;
    if (const int status = LoadTaskPage(kCommand, rest[0], rest[1], task, index))
        return status;
    CliMessages messages(yes);
    CComposeCanvas canvas;
    if (!DeleteFinishedPage(task, index, canvas, messages))
        return 1;
    QJsonArray pages;
    for (const auto& page : task.pages)
        pages.append(page->Name());
    PrintOut(QString::fromUtf8(QJsonDocument(QJsonObject{{"deleted", rest[1]}, {"pages", pages}})
                                   .toJson(QJsonDocument::Compact)));
    return 0;
}

CliCommandRegistrar
    registrar({kCommand, QStringLiteral("CUSTOMER PAGE --yes"),
               QStringLiteral(
                   "Deletes a finished page (e.g. A-2) as \"删除\" does, with its images, layout "
                   "folder and \"-N.jpg\" companions, renumbering numbered pages; \"确认删除吗？\" "
                   "is answered Yes only with --yes. Prints the pages left as JSON."),
               RunDeletePage});
} // namespace
