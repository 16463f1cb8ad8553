#include "cli/cli_messages.h"
#include "cli/command.h"
#include "records/product_catalogue.h"
#include "records/workspace_paths.h"

namespace {
const QString kCommand = QStringLiteral("catalogue");

int List(const QStringList& args) {
    if (!args.isEmpty())
        return BadInput(kCommand, QStringLiteral("list takes no arguments"));
    ProductCatalogue catalogue;
    catalogue.Load();
    for (const QString& text : catalogue.DisplayTexts())
        PrintOut(text);
    return 0;
}

int Add(const QStringList& args) {
    if (args.size() != 3)
        return BadInput(kCommand, QStringLiteral("add needs NAME WIDTH HEIGHT"));
    if (args[0].trimmed().isEmpty())
        return BadInput(kCommand, QStringLiteral("add needs a product name"));
    ProductCatalogue catalogue;
    CliMessages messages(false);
    bool refused = false;
    if (!catalogue.Update(CataloguePath(), [&](ProductCatalogue& current) {
            refused = !current.Add(args[0], args[1], args[2], messages);
            return !refused;
        })) {
        if (!refused)
            messages.Inform(QStringLiteral("保存失败!"));
        return 1;
    }
    PrintOut(ProductDisplayText(catalogue.Entries().last()));
    return 0;
}

int Delete(const QStringList& args, bool yes) {
    if (args.size() != 1)
        return BadInput(kCommand, QStringLiteral("delete needs NAME"));
    ProductCatalogue catalogue;
    CliMessages messages(yes);
    bool refused = false;
    if (!catalogue.Update(CataloguePath(), [&](ProductCatalogue& current) {
            refused = !current.Delete(args[0], messages);
            return !refused;
        })) {
        if (!refused)
            messages.Inform(QStringLiteral("保存失败!"));
        return 1;
    }
    return 0;
}

int RunCatalogue(const QStringList& given) {
    QStringList args = given;
    const bool yes = args.removeAll(QStringLiteral("--yes")) > 0;
    if (args.isEmpty())
        return BadInput(kCommand, QStringLiteral("needs list, add or delete"));
    const QString action = args.takeFirst();
    if (action == QLatin1String("list"))
        return List(args);
    if (action == QLatin1String("add"))
        return Add(args);
    if (action == QLatin1String("delete"))
        return Delete(args, yes);
    return BadInput(kCommand, QStringLiteral("unknown action \"%1\"").arg(action));
}

CliCommandRegistrar
    registrar({kCommand, QStringLiteral("list | add NAME WIDTH HEIGHT | delete NAME [--yes]"),
               QStringLiteral("Lists, adds to or deletes from the product catalogue "
                              "(设置/产品.ini); sizes in centimetres."),
               RunCatalogue});
} // namespace
