#include "records/task_list.h"

#include "common/extract_tag.h"
#include "common/find_files.h"
#include "common/gbk.h"
#include "common/messages.h"
#include "common/text_file.h"
#include "records/customer_review.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

const char* const kTaskListColumnSpec =
    "订单号,150;客人,200;设计P数,100;已输出,100;日期,200;审阅,100";
const char* const kTaskListTruncatedMessage =
    "仅读取前100个客人， 多余的已忽略，请手工清除过期套版。";

namespace {

const QString kTaskFileName = QStringLiteral("1.tx");

QString StatusText(const QString& customerFolder) {
    QStringList lines;
    if (!ReadGbkLines(StatusFilePath(customerFolder), lines))
        return QStringLiteral("0");
    QString joined = lines.join(QString());
    return ExtractTag(joined, QStringLiteral("<s>"));
}

} // namespace

QStringList FindTaskFiles(const QString& store, int limit, bool* truncated) {
    QStringList found;
    bool more = false;
    const QString previewCache = QString::fromUtf8(kPreviewCacheName);
    VisitFoundFiles(store, QStringLiteral("*.tx"), true, [&](const QString& path, bool isFolder) {
        // The search also finds every "status.txt"; the preview cache is the
        // program's own scratch task, not a customer.
        if (isFolder || !path.endsWith(QLatin1String(".tx")) || path.contains(previewCache))
            return true;
        if (found.size() >= limit) {
            more = true;
            return false;
        }
        found.append(path);
        return true;
    });
    if (truncated)
        *truncated = more;
    return found;
}

int TaskPageCountForSize(qint64 bytes) {
    const qint64 pages = bytes - CustomerTask::kPhoneBytes;
    if (pages <= 0)
        return 0;
    return static_cast<int>((pages + TaskPage::kRecordSize - 1) / TaskPage::kRecordSize);
}

QString TaskEntryPath(const QString& taskPath) {
    const QString suffix = QLatin1Char('/') + kTaskFileName;
    return taskPath.endsWith(suffix) ? taskPath.left(taskPath.size() - suffix.size()) : taskPath;
}

QStringList TaskListRow(const QString& taskPath) {
    const QString entry = TaskEntryPath(taskPath);
    QString phone;
    QString pages;
    QFile file(taskPath);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray block = file.read(CustomerTask::kPhoneBytes);
        const qsizetype end = block.indexOf('\0');
        phone = FromGbk(end < 0 ? block : block.left(end));
        pages = QString::number(TaskPageCountForSize(file.size()));
    }
    const QFileInfo info(taskPath);
    const QString date = info.exists()
                             ? info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                             : QString();
    return {entry.mid(entry.lastIndexOf(QLatin1Char('/')) + 1),
            phone,
            pages,
            StatusText(info.path()),
            date,
            ReviewColumnText(info.path()),
            taskPath};
}

QList<QStringList> LoadTaskList(const QString& store, IMessages& messages) {
    bool truncated = false;
    const QStringList paths = FindTaskFiles(store, kTaskListLimit, &truncated);
    if (truncated)
        messages.Inform(QString::fromUtf8(kTaskListTruncatedMessage));
    QList<QStringList> rows;
    rows.reserve(paths.size());
    for (const QString& path : paths)
        rows.append(TaskListRow(path));
    std::stable_sort(rows.begin(), rows.end(), [](const QStringList& a, const QStringList& b) {
        return QString::localeAwareCompare(a[kTaskDateColumn], b[kTaskDateColumn]) > 0;
    });
    return rows;
}

bool DeleteTaskEntry(const QString& store, const QString& taskPath) {
    const QString root = QDir::cleanPath(store);
    QString entry = QDir::cleanPath(TaskEntryPath(taskPath));
    // The store itself, or a path leading out of it, would take every other
    // customer (or files that are not the studio's) with it.
    if (!entry.startsWith(root + QLatin1Char('/')))
        entry = QDir::cleanPath(taskPath);
    if (!entry.startsWith(root + QLatin1Char('/')))
        return false;
    const QFileInfo info(entry);
    if (info.isDir() && !info.isSymLink())
        return QDir(entry).removeRecursively();
    if (QFile::remove(entry))
        return true;
    const QFileInfo after(entry);
    return !after.exists() && !after.isSymLink();
}
