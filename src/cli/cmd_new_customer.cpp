#include "cli/command.h"
#include "cli/order_arguments.h"

namespace {
const QString kCommand = QStringLiteral("new-customer");

int RunNewCustomer(const QStringList& args) {
    OrderArguments parsed;
    QString error;
    if (!ParseOrderArguments(args, parsed, error))
        return BadInput(kCommand, error);
    return SaveOrderFromCatalogue(kCommand, parsed.productSpecs,
                                  {parsed.name, parsed.phone, {}, {}});
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("NAME [--phone P] [--product NAME[:QTY[:PAGES]]]..."),
     QStringLiteral("Records a new customer task (套版缓存/NAME: 1.tx and 产品.ini) with products "
                    "from the catalogue; quantity and page count default to 1."),
     RunNewCustomer});
} // namespace
