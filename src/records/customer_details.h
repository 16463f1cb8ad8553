#pragma once

#include "common/messages.h"
#include "records/order_lines.h"

#include <QList>
#include <QString>

// What the customer dialog holds when the operator presses OK.
struct CustomerDetails {
    QString name;
    QString phone;
    QList<OrderLine> products;
    // "1.tx" of the task being edited; empty for a new task.
    QString taskPath;
};

// Creates a new customer task or rewrites the order of an existing one, with
// the operator's messages:
// - the name (trimmed) empty: "客人姓名不能为空!";
// - new task whose folder exists: "已存在此客人姓名的任务，请修改客人姓名!";
// - new task whose name cannot be a folder of the task store, or whose folder
//   cannot be made: "硬盘空间已满足，或客人姓名有非法字符!";
// - "1.tx" or "产品.ini" not written: "保存失败!" (a new task is then taken
//   back, so the name can be used again);
// - otherwise "保存成功!" and true.
// A new task gets a "1.tx" with the trimmed phone and no pages; an existing
// task's "1.tx" is left as it is and only its "产品.ini" is rewritten.
// taskPath, when given, receives the task's "1.tx" path on success.
bool SaveCustomerDetails(const CustomerDetails& details, IMessages& messages,
                         QString* taskPath = nullptr);

// The phone stored at the start of a task file; empty when unreadable.
QString ReadTaskPhone(const QString& taskPath);
