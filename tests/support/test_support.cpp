#include "test_support.h"

#include "exif_jpeg.h"

#include "common/base_dir.h"
#include "common/byte_io.h"
#include "common/profile.h"
#include "common/startup.h"

#include <QCoreApplication>

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>

#include <csignal>
#include <sys/resource.h>

void UseRuntimeFolder(const QTemporaryDir& runtime) {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
}

void UseThrowAwayProfile(const QTemporaryDir& profile) {
    Profile::UseFolder(profile.path());
    qputenv("TAOBAN_PROFILE_DIR", profile.path().toUtf8());
    // The programs a test starts work on the studio folders the test made:
    // no starter library is copied into them.
    qputenv("TAOBAN_DEMO_DIR", (profile.path() + "/no-starter-library").toUtf8());
    // The thumbnails the photo lists keep go to a cache of the run's own,
    // never into the user's.
    qputenv("XDG_CACHE_HOME", (profile.path() + "/cache").toUtf8());
    QStringList args{QCoreApplication::applicationFilePath()};
    InitProcess(args);
}

TestFolder::TestFolder() : oldBase_(BaseDir()) {
    SetBaseDir(dir_.path());
}

TestFolder::~TestFolder() {
    SetBaseDir(oldBase_);
}

QImage QuadrantImage(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    const int hw = w / 2, hh = h / 2;
    p.fillRect(0, 0, hw, hh, QColor(255, 0, 0));
    p.fillRect(hw, 0, w - hw, hh, QColor(0, 255, 0));
    p.fillRect(hw, hh, w - hw, h - hh, QColor(0, 0, 255));
    p.fillRect(0, hh, hw, h - hh, QColor(255, 255, 0));
    return img;
}

QByteArray EncodeImage(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray JpegWithExif(const QImage& image, int orientation, const QByteArray& thumbnail) {
    return WithExifBlock(EncodeImage(image, "JPEG"), orientation, thumbnail);
}

QByteArray JpegWithOrientation(const QImage& image, int orientation) {
    return JpegWithExif(image, orientation);
}

bool Near(QRgb a, QRgb b, int tolerance) {
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance &&
           qAbs(qBlue(a) - qBlue(b)) <= tolerance && qAbs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

ScopedFileSizeLimit::ScopedFileSizeLimit(long long bytes) {
    struct rlimit limit {};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    oldLimit_ = static_cast<long long>(limit.rlim_cur);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
    struct rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(oldLimit_);
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, oldHandler_);
}

bool CopyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    if (!QDir().mkpath(to))
        return false;
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + "/" + QDir(from).relativeFilePath(path);
        const bool ok = it.fileInfo().isDir() ? QDir().mkpath(target) : QFile::copy(path, target);
        if (!ok)
            return false;
    }
    return true;
}

bool SignalRunningProcess(const QProcess& process, int sig) {
    const qint64 pid = process.processId();
    return process.state() == QProcess::Running && pid > 0 &&
           ::kill(static_cast<pid_t>(pid), sig) == 0;
}
