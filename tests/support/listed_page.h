#pragma once

#include "records/customer_task.h"
#include "records/workspace_paths.h"

#include <QString>
#include <memory>

// Lists a page named page in the "1.tx" of the customer folder (made when
// missing), as saving a page does; export takes a customer's pages from it.
inline bool ListPageInTask(const QString& customerFolder, const QString& page) {
    CustomerTask task;
    if (!task.Load(TaskFilePath(customerFolder)))
        task.SetPath(TaskFilePath(customerFolder));
    task.pages.push_back(std::make_unique<TaskPage>());
    task.pages.back()->SetName(page);
    return task.Save();
}
