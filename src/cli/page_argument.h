#pragma once

#include "production/new_page.h"
#include "records/customer_task.h"

#include <QString>

// "CUSTOMER PAGE" of the page commands: the customer's task (a customer
// name, its folder or its 1.tx) loaded into task, and the position of the
// page named PAGE in it. Returns 0, or the exit status 2 after saying on
// stderr what was wrong.
int LoadTaskPage(const QString& command, const QString& customer, const QString& page,
                 CustomerTask& task, int& index);

// The customer of the page-making commands, as "保存" in the main window sees
// it once the customer is chosen: the task of that name in the task store
// loaded into task when it exists (saving starts one otherwise), and request
// made out for a new page of that customer and, when product is not empty,
// of that ordered product. Returns 0, or the exit status 2 after saying on
// stderr what was wrong.
int PrepareCustomerPage(const QString& command, const QString& customer, const QString& product,
                        CustomerTask& task, SavePageRequest& request);
