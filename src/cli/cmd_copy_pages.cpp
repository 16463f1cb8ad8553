#include "cli/cli_messages.h"
#include "cli/command.h"
#include "cli/page_argument.h"
#include "compose/canvas_size_file.h"
#include "production/copy_pages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

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
        // Slots counted from 1, as the canvas shows them.
        QJsonArray changed, low;
        for (int slot : page.changedSlots)
            changed.append(slot + 1);
        for (const SlotResolution& slot : page.lowResolution)
            low.append(
                QJsonObject{{"slot", slot.slot + 1}, {"ppi", std::round(slot.ppi * 10) / 10}});
        pages.append(QJsonObject{{"from", page.from},
                                 {"to", page.to},
                                 {"check", page.NeedsCheck()},
                                 {"changed_slots", changed},
                                 {"low_resolution", low}});
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
                    "crop changed by more than a tenth of its area (\"changed_slots\") or a "
                    "photo prints below the resolution threshold (\"low_resolution\")."),
     RunCopyPages});
} // namespace
