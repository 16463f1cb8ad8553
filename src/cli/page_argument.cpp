#include "cli/page_argument.h"

#include "cli/command.h"
#include "production/task_reference.h"
#include "records/order_lines.h"
#include "records/workspace_paths.h"

#include <QFileInfo>

namespace {
// The customer as the order list's header shows it: ",," stands for ",",
// commas at either end are dropped.
QString DisplayNameOf(QString name) {
    name.replace(",,", ",");
    while (name.startsWith(','))
        name.remove(0, 1);
    while (name.endsWith(','))
        name.chop(1);
    return name;
}
} // namespace

int LoadTaskPage(const QString& command, const QString& customer, const QString& page,
                 CustomerTask& task, int& index) {
    const QString path = TaskPathFor(customer);
    if (!QFileInfo(path).isFile() || !task.Load(path))
        return BadInput(command, QStringLiteral("cannot read task file %1").arg(path));
    for (index = 0; index < task.PageCount(); ++index)
        if (task.pages[index]->Name() == page)
            return 0;
    index = -1;
    return BadInput(command, QStringLiteral("%1 has no page %2").arg(customer, page));
}

int PrepareCustomerPage(const QString& command, const QString& typedName, const QString& product,
                        CustomerTask& task, SavePageRequest& request) {
    // Blanks around a typed name are dropped, as when the customer is recorded.
    const QString customer = typedName.trimmed();
    if (!IsUsableCustomerName(customer))
        return BadInput(command, QStringLiteral("\"%1\" cannot be a customer name").arg(customer));
    const QString folder = CustomerFolder(customer);
    const QString taskPath = TaskFilePath(folder);
    // An existing task is opened as the main window opens it; otherwise
    // saving starts one.
    if (QFileInfo::exists(taskPath) && !task.Load(taskPath))
        return BadInput(command, QStringLiteral("cannot read task file %1").arg(taskPath));

    request = SavePageRequest();
    request.customerChosen = true;
    request.customerName = customer;
    request.customerDisplayName = DisplayNameOf(customer);
    if (product.isEmpty())
        return 0;
    for (const OrderLine& line : ReadOrderLines(OrderLinesPath(folder)))
        if (line.name == product) {
            request.product = line;
            return 0;
        }
    return BadInput(command, QStringLiteral("%1 has not ordered %2").arg(customer, product));
}
