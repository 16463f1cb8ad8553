#include "cli/cli_messages.h"
#include "cli/command.h"
#include "cli/page_argument.h"
#include "compose/canvas_size_file.h"
#include "production/copy_pages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kCommand = QStringLiteral("copy-pages");

int RunCopyPages(const QStringList& args) {
    QString customer, from, to;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if ((arg == "--from" || arg == "--to") && i + 1 < args.size())
            (arg == "--from" ? from : to) = args[++i];
        else if (!arg.startsWith("--") && customer.isEmpty())
            customer = arg;
        else
            return BadInput(kCommand, QStringLiteral("unexpected argument %1").arg(arg));
    }
    if (customer.isEmpty() || from.isEmpty() || to.isEmpty())
        return BadInput(kCommand, QStringLiteral("needs CUSTOMER --from PRODUCT --to PRODUCT"));
    if (from == to)
        return BadInput(kCommand, QStringLiteral("--from and --to name the same product"));

    CustomerTask task;
    SavePageRequest fromCheck, request;
    if (const int status = PrepareCustomerPage(kCommand, customer, from, task, fromCheck))
        return status;
    if (const int status = PrepareCustomerPage(kCommand, customer, to, task, request))
        return status;
    if (task.Path().isEmpty())
        return BadInput(kCommand, QStringLiteral("%1 has no pages").arg(customer));

    CliMessages messages(false);
    const QList<CopiedPage> copied =
        CopyProductPages(task, from, request, LastCanvasSize(), messages);
    QJsonArray pages;
    for (const CopiedPage& page : copied) {
        QJsonArray changed;
        for (int slot : page.changedSlots)
            changed.append(slot);
        pages.append(QJsonObject{{"from", page.from},
                                 {"to", page.to},
                                 {"check", !page.changedSlots.isEmpty()},
                                 {"changed_slots", changed}});
    }
    PrintOut(QString::fromUtf8(
        QJsonDocument(QJsonObject{{"pages", pages}}).toJson(QJsonDocument::Compact)));
    return 0;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("CUSTOMER --from PRODUCT --to PRODUCT"),
     QStringLiteral("Copies every page of one ordered product into new pages of another (the "
                    "template re-applied to its proportions, each crop kept on the same point of "
                    "the photo) and prints them as JSON; \"check\" marks pages where a slot's "
                    "crop changed by more than a tenth of its area."),
     RunCopyPages});
} // namespace
