#include "records/customer_details.h"

#include "common/gbk.h"
#include "records/customer_task.h"
#include "records/customer_update.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString kNameEmpty = QStringLiteral("客人姓名不能为空!");
const QString kNameTaken = QStringLiteral("已存在此客人姓名的任务，请修改客人姓名!");
const QString kFolderRefused = QStringLiteral("硬盘空间已满足，或客人姓名有非法字符!");
const QString kSaveFailed = QStringLiteral("保存失败!");
const QString kSaved = QStringLiteral("保存成功!");

// A new task that could not be written whole is taken back: its files and its
// folder (only if nothing else is in it), so that no half task is left.
void TakeBackNewTask(const QString& folder) {
    QFile::remove(TaskFilePath(folder));
    QFile::remove(OrderLinesPath(folder));
    QDir().rmdir(folder);
}

bool SaveNewTask(const QString& name, const QString& phone, const QList<OrderLine>& products,
                 IMessages& messages, QString* taskPath) {
    // A name that would leave the task store or that the files cannot hold
    // is refused before anything is looked up or made.
    if (!IsUsableCustomerName(name)) {
        messages.Inform(kFolderRefused);
        return false;
    }
    QDir().mkpath(TaskStoreFolder());
    const QString folder = CustomerFolder(name);
    if (QFileInfo::exists(folder)) {
        messages.Inform(kNameTaken);
        return false;
    }
    if (!QDir().mkdir(folder) || !QFileInfo(folder).isDir()) {
        messages.Inform(kFolderRefused);
        return false;
    }
    CustomerTask task;
    task.SetPath(TaskFilePath(folder));
    task.phone = phone;
    const bool written = WithCustomerLock(
        folder, [&] { return task.Save() && WriteOrderLines(OrderLinesPath(folder), products); });
    if (!written) {
        TakeBackNewTask(folder);
        messages.Inform(kSaveFailed);
        return false;
    }
    if (taskPath)
        *taskPath = task.Path();
    return true;
}

bool SaveExistingTask(const QString& name, const QString& existingTaskPath,
                      const QList<OrderLine>& products, IMessages& messages, QString* taskPath) {
    QDir().mkpath(TaskStoreFolder());
    if (IsUsableCustomerName(name))
        QDir().mkpath(CustomerFolder(name));
    const QString ordersPath = OrderLinesPathForTask(existingTaskPath);
    const bool written = WithCustomerLock(QFileInfo(ordersPath).path(),
                                          [&] { return WriteOrderLines(ordersPath, products); });
    if (!written) {
        messages.Inform(kSaveFailed);
        return false;
    }
    if (taskPath)
        *taskPath = existingTaskPath;
    return true;
}
} // namespace

bool SaveCustomerDetails(const CustomerDetails& details, IMessages& messages, QString* taskPath) {
    const QString name = details.name.trimmed();
    const QString phone = details.phone.trimmed();
    if (name.isEmpty()) {
        messages.Inform(kNameEmpty);
        return false;
    }
    const bool saved =
        details.taskPath.isEmpty()
            ? SaveNewTask(name, phone, details.products, messages, taskPath)
            : SaveExistingTask(name, details.taskPath, details.products, messages, taskPath);
    if (saved)
        messages.Inform(kSaved);
    return saved;
}

QString ReadTaskPhone(const QString& taskPath) {
    QFile file(taskPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray block = file.read(CustomerTask::kPhoneBytes);
    const qsizetype end = block.indexOf('\0');
    return FromGbk(end < 0 ? block : block.left(end));
}
