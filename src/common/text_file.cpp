#include "common/text_file.h"

#include "common/atomic_file.h"
#include "common/gbk.h"

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
