// How quickly the customer photo area lists a whole shoot (targets in
// brackets): a folder of 2,000 camera JPEGs of 12 MP carrying EXIF
// thumbnails listed in the real photo list until every cell is drawn, the
// first time (< 3 s) and again the next day, the thumbnail cache warm
// (< 1 s); a folder of such photos without EXIF thumbnails (no slower than
// before, against libjpeg-turbo's 1/8 decode of each photo); and meanwhile
// the longest the window's thread went without serving its events (< 50 ms)
// and the memory the list took.
// The shoot is drawn once into build-bench/photo-list (or --workdir DIR)
// and reused by later runs; --quick lists 200 photos of each kind and gives
// the figures per 2,000 as well (fewer photos than the working copies'
// cache holds: every one without an EXIF thumbnail has its copy made).
// Usage: taoban_photo_list_bench [--quick] [--workdir DIR]

#include "bench_support.h"
#include "bench_workload.h"
#include "exif_jpeg.h"

#include "app/photo_and_page_areas/thumbnail_list.h"
#include "common/atomic_file.h"
#include "common/byte_io.h"
#include "common/profile.h"
#include "common/startup.h"
#include "raster/raster.h"
#include "raster/working_copy_cache.h"
#include "templates/thumbnail_cache.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr QSize kCameraSize(4000, 3000); // 12 MP
constexpr QSize kExifThumbnailSize(160, 120);
constexpr int kShoot = 2000;

struct Shoot {
    QStringList withThumbnails;
    QStringList without;
};

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Twelve different camera photos (every fifth file taken turned, as a
// portrait), written as many times as the folders need; drawn only when the
// folders of a finished earlier run are not there. The files without EXIF
// thumbnails after the first twelve are hard links to those (on the disk
// once, not 2,000 times; turned as the one they link to): the files of both
// folders are read from memory in every run anyway, and each path is a
// photo of its own to the list and its caches.
Shoot MakeShoot(const QString& folder, int withCount, int withoutCount) {
    Shoot shoot;
    const QString with = folder + "/exif", without = folder + "/plain";
    for (int i = 0; i < withCount; ++i)
        shoot.withThumbnails.append(
            QStringLiteral("%1/IMG_%2.JPG").arg(with).arg(i + 1, 4, 10, QChar('0')));
    for (int i = 0; i < withoutCount; ++i)
        shoot.without.append(
            QStringLiteral("%1/IMG_%2.JPG").arg(without).arg(i + 1, 4, 10, QChar('0')));
    const QString done =
        QStringLiteral("%1/complete-%2-%3").arg(folder).arg(withCount).arg(withoutCount);
    // A shoot drawn for a full run serves a quick one as well.
    for (const QString& drawn : QDir(folder).entryList({"complete-*"}, QDir::Files)) {
        const QStringList counts = drawn.split('-');
        if (counts.size() == 3 && counts[1].toInt() >= withCount &&
            counts[2].toInt() >= withoutCount)
            return shoot;
    }
    std::fprintf(stderr, "drawing %d + %d photos of 12 MP in %s (once) ...\n", withCount,
                 withoutCount, qPrintable(folder));
    QDir().mkpath(with);
    QDir().mkpath(without);
    constexpr int kBodies = 12;
    for (int b = 0; b < kBodies; ++b) {
        const QImage photo = CameraPhoto(kCameraSize, 500 + b);
        const QByteArray body = EncodeImageBytes(photo, "JPEG", 92);
        const QByteArray thumbnail = EncodeImageBytes(
            photo.scaled(kExifThumbnailSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
            "JPEG", 90);
        for (int i = b; i < std::max(withCount, withoutCount); i += kBodies) {
            const int orientation = i % 5 == 4 ? 6 : 1;
            const auto plain = [&] {
                if (i < kBodies)
                    return WriteFile(shoot.without[i], WithExifBlock(body, orientation, {}));
                QFile::remove(shoot.without[i]);
                return ::link(QFile::encodeName(shoot.without[b]).constData(),
                              QFile::encodeName(shoot.without[i]).constData()) == 0;
            };
            if ((i < withCount && !WriteFile(shoot.withThumbnails[i],
                                             WithExifBlock(body, orientation, thumbnail))) ||
                (i < withoutCount && !plain())) {
                std::fprintf(stderr, "cannot write the shoot into %s\n", qPrintable(folder));
                std::exit(2);
            }
        }
    }
    WriteFile(done, "");
    return shoot;
}

long ResidentKb() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

long PeakResidentKb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

struct Listing {
    double wallMs = 0; // from showing the entries until Loaded
    double cpuMs = 0;  // of every thread meanwhile
    double longestGapMs = 0;
    long residentGrowthKb = 0; // the highest resident memory meanwhile, over that before
    double preparedMs = -1;    // until the background pass ended (when waited for)
    int cells = 0;             // entries showing their own cell at Loaded
};

// Shows paths in a customer photo list on the window's thread and waits for
// Loaded (and, with waitForPass, for the background pass after it). A 5 ms
// timer on the window's thread measures the longest stretch in which it
// could not serve its events, showing the entries included.
Listing ListFolder(const QStringList& paths, bool waitForPass) {
    Listing result;
    CThumbnailList list(ThumbnailSource::CustomerPhoto);
    list.resize(700, 900);
    list.show();
    QStringList labels;
    for (const QString& path : paths)
        labels.append(QFileInfo(path).fileName());
    QEventLoop loop;
    QElapsedTimer clock, sinceTick;
    double cpuStart = 0;
    const long residentBefore = ResidentKb();
    long residentPeak = residentBefore;
    qint64 blank = 0;
    QObject::connect(&list, &CThumbnailList::Loaded, &loop, [&] {
        if (result.wallMs > 0)
            return;
        result.wallMs = clock.nsecsElapsed() / 1e6;
        result.cpuMs = ProcessCpuMs() - cpuStart;
        for (int i = 0; i < list.count(); ++i)
            result.cells += list.item(i)->icon().cacheKey() != blank;
        if (!waitForPass)
            loop.quit();
    });
    QObject::connect(&list, &CThumbnailList::Prepared, &loop, [&] {
        result.preparedMs = clock.nsecsElapsed() / 1e6;
        loop.quit();
    });
    qint64 longestGapNs = 0;
    QTimer tick;
    tick.setInterval(5);
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
        residentPeak = std::max(residentPeak, ResidentKb());
    });
    QTimer::singleShot(0, &loop, [&] {
        clock.start();
        cpuStart = ProcessCpuMs();
        list.ShowEntries(paths, labels);
        blank = list.count() > 0 ? list.item(0)->icon().cacheKey() : 0;
    });
    tick.start();
    sinceTick.start();
    loop.exec();
    // The timer's own interval is not time the thread was kept busy.
    result.longestGapMs = std::max(0.0, longestGapNs / 1e6 - 5);
    result.residentGrowthKb = residentPeak - residentBefore;
    return result;
}

// libjpeg-turbo's own work for one photo of the list: the file read and
// decoded reduced by 1/8, the rows dropped as they come (CPU, one core).
double EighthDecodeCpuMs(const QStringList& photos) {
    const double start = ProcessCpuMs();
    for (const QString& photo : photos) {
        QByteArray bytes;
        ReadWholeFile(photo, bytes);
        LibjpegDecode(bytes, 8);
    }
    return (ProcessCpuMs() - start) / photos.size();
}

// Drops the files from the kernel's page cache (written back first), as
// on the next day: every listing below reads from the disk.
void EvictFromMemory(const QStringList& files) {
    for (const QString& file : files) {
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

QStringList FilesIn(const QString& folder) {
    QStringList files;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        files.append(folder + '/' + name);
    return files;
}

// A thumbnail cache of the run's own, never one emptied just before: the
// file system would then spend its time looking for inodes it may reuse
// among the thousands just freed, which a cache in use never meets.
QString FreshCacheHome(const QString& workdir, const char* what) {
    const QString home = QStringLiteral("%1/cache-%2-%3")
                             .arg(workdir)
                             .arg(QCoreApplication::applicationPid())
                             .arg(QLatin1String(what));
    qputenv("XDG_CACHE_HOME", home.toUtf8());
    return home;
}

// Afterwards: the caches of this run and of runs that did not end.
void RemoveCaches(const QString& workdir) {
    for (const QString& name : QDir(workdir).entryList({"cache-*"}, QDir::Dirs))
        QDir(workdir + '/' + name).removeRecursively();
}

void Report(const Listing& run, const char* what, int count) {
    std::fprintf(stderr,
                 "%s: %d photos, %d cells drawn, %.0f ms (CPU %.0f ms), longest wait %.1f ms, "
                 "resident +%ld KB\n",
                 what, count, run.cells, run.wallMs, run.cpuMs, run.longestGapMs,
                 run.residentGrowthKb);
    if (run.preparedMs >= 0)
        std::fprintf(stderr, "%s: background pass ended %.0f ms after the start\n", what,
                     run.preparedMs);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    InitProcess(args);
    BenchOptions options = ParseBenchOptions(argc, argv);
    const bool quick = options.quick;
    const QString workdir =
        options.workdir.isEmpty()
            ? QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../photo-list")
            : options.workdir;
    Profile::UseFolder(workdir + "/profile");
    // The thumbnails the runs keep go to the benchmark's own caches, never
    // into the user's.
    FreshCacheHome(workdir, "exif");

    const int withCount = quick ? 200 : kShoot;
    const int withoutCount = withCount;
    const Shoot shoot = MakeShoot(workdir, withCount, withoutCount);
    const double toShoot = double(kShoot) / withCount;

    // The first open: nothing kept of the shoot, neither thumbnails nor
    // working copies; the background pass is waited for as well.
    WorkingCopyCache::Shared().Clear();
    EvictFromMemory(shoot.withThumbnails);
    const Listing first = ListFolder(shoot.withThumbnails, true);
    Report(first, "EXIF thumbnails, first open", withCount);
    // The next day: a new process, the thumbnails kept on disk.
    WorkingCopyCache::Shared().Clear();
    EvictFromMemory(shoot.withThumbnails);
    EvictFromMemory(FilesIn(ThumbnailCacheFolder()));
    const Listing again = ListFolder(shoot.withThumbnails, false);
    Report(again, "EXIF thumbnails, opened again", withCount);
    // Photos without EXIF thumbnails, nothing kept.
    FreshCacheHome(workdir, "plain");
    WorkingCopyCache::Shared().Clear();
    EvictFromMemory(shoot.without.mid(0, 12));
    const Listing plain = ListFolder(shoot.without, false);
    Report(plain, "without EXIF thumbnails", withoutCount);
    const double eighth = EighthDecodeCpuMs(shoot.without.mid(0, 20));
    RemoveCaches(workdir);

    ResultTable table;
    table.AtMost("2,000 photos with EXIF thumbnails listed, first open (wall)",
                 first.wallMs * toShoot / 1000, "s", 3);
    table.AtMost("the same, opened again (thumbnail cache warm, wall)",
                 again.wallMs * toShoot / 1000, "s", 1);
    table.Figure("  CPU of all threads per photo, first open", first.cpuMs / withCount, "ms");
    table.Figure("  CPU of all threads per photo, opened again", again.cpuMs / withCount, "ms");
    if (first.preparedMs > 0) {
        // The pass makes as many 400 x 300 copies as the cache holds (not
        // scaled to 2,000: it stops there).
        const qint64 copies =
            std::min<qint64>(withCount, WorkingCopyCache::Shared().capacity() / (400 * 300 * 4));
        const std::string what = "working copies of the first " + std::to_string(copies) +
                                 " photos made in the background, done after (wall)";
        table.Figure(what.c_str(), first.preparedMs / 1000, "s");
    }
    table.Figure("libjpeg-turbo 1/8 decode of a 12 MP photo (CPU)", eighth, "ms");
    table.Figure("2,000 photos without EXIF thumbnails listed (wall)",
                 plain.wallMs * toShoot / 1000, "s");
    table.Figure("  wall per photo / 1/8 decode", plain.wallMs / withoutCount / eighth, "");
    table.Figure("  CPU of all threads per photo", plain.cpuMs / withoutCount, "ms");
    table.AtMost("longest wait of the window's thread, first open", first.longestGapMs, "ms", 50);
    table.AtMost("  opened again", again.longestGapMs, "ms", 50);
    table.AtMost("  without EXIF thumbnails", plain.longestGapMs, "ms", 50);
    // Only the first listing starts from nothing kept; the later ones reuse
    // memory the earlier ones freed, so their growth says little.
    table.Figure("resident memory added while listing, first open", first.residentGrowthKb / 1024.0,
                 "MB");
    table.Figure("peak resident memory of the whole run", PeakResidentKb() / 1024.0, "MB");
    table.Print();
    const bool allDrawn =
        first.cells == withCount && again.cells == withCount && plain.cells == withoutCount;
    if (!allDrawn)
        std::fprintf(stderr, "not every cell was drawn\n");
    return allDrawn ? 0 : 1;
}
