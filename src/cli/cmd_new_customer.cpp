#include "cli/cli_messages.h"
#include "cli/command.h"
#include "cli/order_arguments.h"
#include "records/customer_details.h"

namespace {
const QString kCommand = QStringLiteral("new-customer");

int RunNewCustomer(const QStringList& args) {
    OrderArguments parsed;
    QString error;
    if (!ParseOrderArguments(args, parsed, error))
        return BadInput(kCommand, error);
    CliMessages messages(false);
    QList<OrderLine> lines;
    switch (OrderLinesFromCatalogue(parsed.productSpecs, messages, lines, error)) {
    case OrderLinesResult::Ok:
        break;
    case OrderLinesResult::BadSpec:
        return BadInput(kCommand, error);
    case OrderLinesResult::UnknownProduct:
        return 1;
    }
    return SaveCustomerDetails({parsed.name, parsed.phone, lines, {}}, messages) ? 0 : 1;
}

CliCommandRegistrar registrar(
    {kCommand, QStringLiteral("NAME [--phone P] [--product NAME[:QTY[:PAGES]]]..."),
     QStringLiteral("Records a new customer task (套版缓存/NAME: 1.tx and 产品.ini) with products "
                    "from the catalogue; quantity and page count default to 1."),
     RunNewCustomer});
} // namespace
