#include "common/atomic_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
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

// When this process started (the library is loaded with it): a temporary
// file modified before then belongs to a write that can no longer finish.
const timespec kProcessStart = [] {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}();

bool Before(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// The hidden name WriteFileAtomic gives its new content: "." + the target's
// name + "." + six letters or digits (mkstemp's).
bool IsTemporaryName(const char* name) {
    const size_t length = strlen(name);
    if (length < 9 || name[0] != '.' || name[length - 7] != '.')
        return false;
    for (size_t i = length - 6; i < length; ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// A process killed between creating its temporary file and renaming it
// leaves the file behind; the next write into that folder removes such files
// when they are older than this process, so a write still going on in
// another process keeps its file.
void RemoveStaleTemporaries(const QByteArray& folder) {
    DIR* dir = opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir)) {
        if (!IsTemporaryName(entry->d_name))
            continue;
        struct stat st {};
        if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && Before(st.st_mtim, kProcessStart))
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

} // namespace

// Every write is checked by hand: QSaveFile (Qt 6.4) reports success when the
// disk fills part-way through its buffered write, and would then put a cut
// file in place of a whole one. Here the new content goes to a hidden file
// beside the target, is flushed to the disk and only then renamed over it.
namespace {
// A new file gets the permissions any program's new file gets here (0666 less
// the umask), not mkstemp's private 0600: in a studio folder shared by
// several users through a group, every station must read and replace it.
mode_t NewFileMode() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return 0666 & ~mask;
}
} // namespace

bool WriteFileAtomic(const QString& path, const QByteArray& data) {
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    RemoveStaleTemporaries(QFile::encodeName(info.absolutePath()));
    QByteArray temp = QFile::encodeName(info.absolutePath() + "/." + info.fileName()) + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    struct stat old {};
    const mode_t mode =
        ::stat(target.constData(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    bool ok =
        ::fchmod(fd, mode) == 0 && WriteAll(fd, data.constData(), data.size()) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temp.constData());
    return ok;
}

bool WriteCacheFileAtomic(const QString& path, const QByteArray& data) {
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    QByteArray temp = QFile::encodeName(info.absolutePath() + "/." + info.fileName()) + ".XXXXXX";
    const int fd = mkstemp(temp.data()); // mode 0600
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, data.constData(), data.size());
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
    if (!file.isSequential()) {
        if (file.size() > maxBytes)
            return false;
        out = file.readAll();
        return file.error() == QFileDevice::NoError;
    }
    // A pipe or a device (a photo path naming /dev/zero, a named pipe) tells
    // no size and may never end: read in pieces, and give up past maxBytes.
    constexpr qint64 kPiece = qint64(1) << 20;
    for (;;) {
        const QByteArray piece = file.read(qMin(kPiece, maxBytes - out.size() + 1));
        if (piece.isEmpty())
            break;
        out += piece;
        if (out.size() > maxBytes) {
            out.clear();
            return false;
        }
    }
    return file.error() == QFileDevice::NoError;
}
