#include "common/text_file.h"

#include "common/atomic_file.h"
#include "common/gbk.h"

#include <QFile>

bool ReadGbkLines(const QString& path, QStringList& lines) {
    lines.clear();
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    const QList<QByteArray> raw = bytes.split('\n');
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QByteArray line = raw[i];
        if (line.endsWith('\r'))
            line.chop(1);
        // A final line break leaves an empty tail that is not a line.
        if (i == raw.size() - 1 && line.isEmpty())
            break;
        lines.append(FromGbk(line));
    }
    return true;
}

bool ForEachGbkLine(const QString& path, qint64 maxLines,
                    const std::function<bool(const QString& line)>& take) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    for (qint64 n = 0; n < maxLines && !file.atEnd(); ++n) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (!take(FromGbk(line)))
            break;
    }
    return true;
}

QString ReadJoinedGbk(const QString& path) {
    QStringList lines;
    if (!ReadGbkLines(path, lines))
        return {};
    return lines.join(QString());
}

bool WriteGbkLines(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += ToGbk(line);
        bytes += "\r\n";
    }
    return WriteFileAtomic(path, bytes);
}
