#pragma once

#include "records/customer_task.h"

#include <QString>

// "CUSTOMER PAGE" of the page commands: the customer's task (a customer
// name, its folder or its 1.tx) loaded into task, and the position of the
// page named PAGE in it. Returns 0, or the exit status 2 after saying on
// stderr what was wrong.
int LoadTaskPage(const QString& command, const QString& customer, const QString& page,
                 CustomerTask& task, int& index);
