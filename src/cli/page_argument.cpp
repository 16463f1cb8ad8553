#include "cli/page_argument.h"

#include "cli/command.h"
#include "production/task_reference.h"

#include <QFileInfo>

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
