#include "common/atomic_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(qMin<qint64>(size, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

// Every write is checked by hand: QSaveFile (Qt 6.4) reports success when the
// disk fills part-way through its buffered write, and would then put a cut
// file in place of a whole one. Here the new content goes to a hidden file
// beside the target, is flushed to the disk and only then renamed over it.
bool WriteFileAtomic(const QString& path, const QByteArray& data) {
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    QByteArray temp = QFile::encodeName(info.absolutePath() + "/." + info.fileName()) + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    struct stat old {};
    const mode_t mode = ::stat(target.constData(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok =
        ::fchmod(fd, mode) == 0 && WriteAll(fd, data.constData(), data.size()) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temp.constData());
    return ok;
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
