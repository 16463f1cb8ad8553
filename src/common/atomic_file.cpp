#include "common/atomic_file.h"

#include <QFile>
#include <QSaveFile>

bool WriteFileAtomic(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool ReadWholeFile(const QString& path, QByteArray& out, qint64 maxBytes) {
    out.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > maxBytes)
        return false;
    out = file.readAll();
    return file.error() == QFileDevice::NoError;
}
