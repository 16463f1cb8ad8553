#include "production/task_reference.h"

#include "records/workspace_paths.h"

#include <QFileInfo>
#include <QStringList>

QString TaskPathFor(const QString& argument) {
    const QFileInfo info(argument);
    // A bare name is a customer of the task store, even when the current
    // folder happens to hold something of that name, and even when the
    // customer's name ends in ".tx".
    const bool bare = !argument.contains('/');
    if (bare && QFileInfo(CustomerFolder(argument)).isDir())
        return TaskFilePath(CustomerFolder(argument));
    if (argument.endsWith(".tx"))
        return info.absoluteFilePath();
    if (bare)
        return TaskFilePath(CustomerFolder(argument));
    return info.isDir() ? TaskFilePath(info.absoluteFilePath()) : info.absoluteFilePath();
}

QSize ParseWxH(const QString& text, int limit) {
    const QStringList parts = text.toLower().split('x');
    if (parts.size() != 2)
        return {};
    bool okW = false, okH = false;
    const int w = parts[0].toInt(&okW), h = parts[1].toInt(&okH);
    if (!okW || !okH || w <= 0 || h <= 0 || w > limit || h > limit)
        return {};
    return {w, h};
}
