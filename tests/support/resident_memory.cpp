#include "resident_memory.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <unistd.h>

qint64 ResidentBytes() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    // Sizes in pages: total program size, then the resident set.
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}
