#include "records/customer_update.h"

#include "common/file_lock.h"
#include "records/customer_task.h"

#include <QFileInfo>

QString CustomerLockPath(const QString& customerFolder) {
    return customerFolder + QStringLiteral("/.taoban.lock");
}

bool WithCustomerLock(const QString& customerFolder, const std::function<bool()>& work) {
    const std::unique_ptr<FileLock> lock = FileLock::Acquire(CustomerLockPath(customerFolder));
    return lock && work();
}

bool UpdateCustomerTask(CustomerTask& task, const std::function<bool(CustomerTask&)>& change) {
    const QString path = task.Path();
    if (path.isEmpty())
        return false;
    return WithCustomerLock(task.Folder(), [&] {
        // A file that is there but cannot be read is not written over with
        // what this station happened to hold.
        if (QFileInfo::exists(path) && !task.Load(path))
            return false;
        return change(task) && task.Save();
    });
}
