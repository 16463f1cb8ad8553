#include "cli/command.h"
#include "cli/order_arguments.h"
#include "records/workspace_paths.h"

#include <QFileInfo>

namespace {
const QString kCommand = QStringLiteral("edit-customer");

int RunEditCustomer(const QStringList& args) {
    OrderArguments parsed;
    QString error;
    if (!ParseOrderArguments(args, parsed, error))
        return BadInput(kCommand, error);
    if (parsed.phoneGiven)
        return BadInput(kCommand, QStringLiteral("the phone of an existing task stays as it is"));
    const QString name = parsed.name.trimmed();
    if (!IsUsableCustomerName(name))
        return BadInput(kCommand, QStringLiteral("\"%1\" cannot be a customer name").arg(name));
    const QString taskPath = TaskFilePath(CustomerFolder(name));
    if (!QFileInfo(taskPath).isFile())
        return BadInput(kCommand, QStringLiteral("no customer task %1").arg(taskPath));

    return SaveOrderFromCatalogue(kCommand, parsed.productSpecs, {name, {}, {}, taskPath});
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("NAME [--product NAME[:QTY[:PAGES]]]..."),
     QStringLiteral("Replaces the ordered products of an existing customer task with products "
                    "from the catalogue; its 1.tx is left as it is."),
     RunEditCustomer});
} // namespace
