#include "cli/order_arguments.h"

#include "cli/cli_messages.h"
#include "cli/command.h"

#include "records/order_lines.h"
#include "records/product_catalogue.h"

bool ParseOrderArguments(const QStringList& args, OrderArguments& parsed, QString& error) {
    parsed = {};
    bool haveName = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--phone") || arg == QLatin1String("--product")) {
            if (i + 1 >= args.size()) {
                error = QStringLiteral("%1 needs a value").arg(arg);
                return false;
            }
            const QString value = args[++i];
            if (arg == QLatin1String("--phone")) {
                parsed.phone = value;
                parsed.phoneGiven = true;
            } else {
                parsed.productSpecs.append(value);
            }
        } else if (arg.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        } else if (!haveName) {
            parsed.name = arg;
            haveName = true;
        } else {
            error = QStringLiteral("one customer name only (\"%1\" is one too many)").arg(arg);
            return false;
        }
    }
    if (!haveName) {
        error = QStringLiteral("needs the customer name");
        return false;
    }
    return true;
}

OrderLinesResult OrderLinesFromCatalogue(const QStringList& specs, IMessages& messages,
                                         QList<OrderLine>& lines, QString& error) {
    lines.clear();
    ProductCatalogue catalogue;
    catalogue.Load();
    for (const QString& spec : specs) {
        const QStringList parts = spec.split(QLatin1Char(':'));
        if (parts.size() > 3 || parts[0].trimmed().isEmpty()) {
            error = QStringLiteral("product \"%1\" is not NAME[:QTY[:PAGES]]").arg(spec);
            return OrderLinesResult::BadSpec;
        }
        const QString quantity = parts.size() > 1 ? parts[1].trimmed() : QString();
        const QString pages = parts.size() > 2 ? parts[2].trimmed() : QString();
        if (!FitsOrderFile(quantity) || !FitsOrderFile(pages)) {
            error = QStringLiteral("product \"%1\": quantity and page count cannot hold "
                                   "\"<\", \">\" or control characters")
                        .arg(spec);
            return OrderLinesResult::BadSpec;
        }
        const ProductEntry* product = catalogue.Find(parts[0].trimmed());
        if (!product) {
            messages.Inform(QStringLiteral("产品库中没有此产品: %1").arg(parts[0].trimmed()));
            return OrderLinesResult::UnknownProduct;
        }
        lines.append({product->name, product->width, product->height,
                      quantity.isEmpty() ? QStringLiteral("1") : quantity,
                      pages.isEmpty() ? QStringLiteral("1") : pages});
    }
    return OrderLinesResult::Ok;
}

int SaveOrderFromCatalogue(const QString& command, const QStringList& specs,
                           CustomerDetails details) {
    CliMessages messages(false);
    QString error;
    switch (OrderLinesFromCatalogue(specs, messages, details.products, error)) {
    case OrderLinesResult::Ok:
        break;
    case OrderLinesResult::BadSpec:
        return BadInput(command, error);
    case OrderLinesResult::UnknownProduct:
        return 1;
    }
    return SaveCustomerDetails(details, messages) ? 0 : 1;
}
