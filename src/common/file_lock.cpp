#include "common/file_lock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace {

QString UserName() {
    if (const passwd* pw = getpwuid(geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(geteuid());
}

bool CreateExclusive(const QString& path, const QByteArray& content) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    ::close(fd);
    if (!written)
        ::unlink(native.constData());
    return written;
}

qint64 AgeSeconds(const QString& path) {
    const QFileInfo info(path);
    return info.lastModified().secsTo(QDateTime::currentDateTime());
}

// Moves a lock judged stale aside, and only that one: a holder that took the
// lock over meanwhile has written another text, and gets its file back.
void TakeOver(const QString& path, const QString& judged) {
    const QString aside = path + QStringLiteral(".stale.") + QSysInfo::machineHostName() +
                          QLatin1Char('.') + QString::number(getpid());
    if (!QFile::rename(path, aside))
        return;
    if (FileLock::ReadHolder(aside) != judged && !QFileInfo::exists(path))
        QFile::rename(aside, path);
    else
        QFile::remove(aside);
}

} // namespace

QString FileLock::HolderText() {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(QSysInfo::machineHostName(), UserName(), QString::number(getpid()),
             QDateTime::currentDateTime().toString(Qt::ISODate));
}

QString FileLock::ReadHolder(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(1024)).trimmed();
}

bool FileLock::HolderGone(const QString& text, qint64 fileAgeSeconds) {
    const QStringList parts = text.split(QLatin1Char(' '));
    bool numeric = false;
    const qint64 pid = parts.value(2).toLongLong(&numeric);
    if (parts.size() >= 3 && parts[0] == QSysInfo::machineHostName() && numeric && pid > 0)
        return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
    // Another host (or a text nobody can read): only time tells.
    return fileAgeSeconds > kStaleSeconds;
}

std::unique_ptr<FileLock> FileLock::Acquire(const QString& path, int waitMs) {
    const QByteArray content = (HolderText() + QStringLiteral("\n")).toUtf8();
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (CreateExclusive(path, content))
            return std::unique_ptr<FileLock>(new FileLock(path));
        if (errno != EEXIST)
            return nullptr; // no folder, no right to write: waiting will not help
        const QString holder = ReadHolder(path);
        // A file just created may not hold its text yet.
        if ((!holder.isEmpty() || AgeSeconds(path) > kStaleSeconds) &&
            HolderGone(holder, AgeSeconds(path))) {
            TakeOver(path, holder);
            if (waited.elapsed() < waitMs)
                continue;
        }
        if (waited.elapsed() >= waitMs)
            return nullptr;
        QThread::msleep(20 + QRandomGenerator::global()->bounded(40));
    }
}

FileLock::~FileLock() {
    QFile::remove(path_);
}
