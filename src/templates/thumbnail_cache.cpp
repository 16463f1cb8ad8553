#include "templates/thumbnail_cache.h"

#include "raster/raster.h"

#include "common/atomic_file.h"
#include "raster/exif_thumbnail.h"
#include "raster/stored_png.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QUrl>

#include <cerrno>
#include <cmath>
#include <sys/stat.h>

namespace {

// Who wrote an entry: the photo's size in its keys is trusted only from here.
const QString kSoftware = QStringLiteral("taoban");
constexpr int kLargestReadSide = 512;
constexpr qint64 kLargestEntryBytes = 1024 * 1024;

// Makes every missing folder of path, private to the user as the cache's
// folders are meant to be; folders already there are left as they are.
bool MakePrivateFolders(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    for (qsizetype slash = clean.indexOf('/', 1);; slash = clean.indexOf('/', slash + 1)) {
        const QByteArray part = QFile::encodeName(slash < 0 ? clean : clean.left(slash));
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            return true;
    }
}

std::optional<qint64> WholeNumber(const QString& text) {
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (ok)
        return n;
    // Some programs write the time with a fraction.
    const double d = text.toDouble(&ok);
    if (ok && std::isfinite(d) && std::abs(d) < 1e15)
        return qint64(std::floor(d));
    return std::nullopt;
}

// The photo's size as shown, from its header.
QSize ShownSizeOnDisk(const QString& file) {
    if (const auto head = ReadJpegHead(file))
        return head->shownSize();
    QImageReader reader(file);
    return ShownSizeFromHeader(reader);
}

// The size a thumbnail of a photo shown at shown is kept at.
QSize KeptSize(QSize shown) {
    if (shown.width() <= kCachedThumbnailSide && shown.height() <= kCachedThumbnailSide)
        return shown;
    const QSize kept =
        shown.scaled(kCachedThumbnailSide, kCachedThumbnailSide, Qt::KeepAspectRatio);
    return kept.expandedTo(QSize(1, 1));
}

} // namespace

QString ThumbnailCacheFolder() {
    // A relative XDG_CACHE_HOME is to be ignored.
    QString home = qEnvironmentVariable("XDG_CACHE_HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home))
        home = QDir::homePath() + QStringLiteral("/.cache");
    return home + QStringLiteral("/thumbnails/normal");
}

QByteArray ThumbnailUri(const QString& file) {
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded();
}

QString CachedThumbnailPath(const QString& file) {
    const QByteArray md5 = QCryptographicHash::hash(ThumbnailUri(file), QCryptographicHash::Md5);
    return ThumbnailCacheFolder() + '/' + QString::fromLatin1(md5.toHex()) + QStringLiteral(".png");
}

std::optional<CachedThumbnail> FindCachedThumbnail(const QString& file,
                                                   const ThumbnailStamp& stamp) {
    const QString entry = CachedThumbnailPath(file);
    struct stat st {};
    if (::stat(QFile::encodeName(entry).constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size > kLargestEntryBytes)
        return std::nullopt;
    QImageReader reader(entry, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > kLargestReadSide ||
        size.height() > kLargestReadSide)
        return std::nullopt;
    CachedThumbnail found;
    found.picture = reader.read();
    const QImage& p = found.picture;
    if (p.isNull() || p.text(QStringLiteral("Thumb::URI")).toUtf8() != ThumbnailUri(file) ||
        WholeNumber(p.text(QStringLiteral("Thumb::MTime"))) != stamp.modifiedSeconds)
        return std::nullopt;
    const QString bytes = p.text(QStringLiteral("Thumb::Size"));
    if (!bytes.isEmpty() && WholeNumber(bytes) != stamp.bytes)
        return std::nullopt;
    if (p.text(QStringLiteral("Software")) == kSoftware) {
        found.shown = QSize(p.text(QStringLiteral("Thumb::Image::Width")).toInt(),
                            p.text(QStringLiteral("Thumb::Image::Height")).toInt());
    }
    if (!SameProportions(p.size(), found.shown))
        found.shown = ShownSizeOnDisk(file);
    if (!SameProportions(p.size(), found.shown))
        return std::nullopt;
    if (p.format() != QImage::Format_RGB32 && !p.hasAlphaChannel())
        found.picture = std::move(found.picture).convertToFormat(QImage::Format_RGB32);
    return found;
}

QImage ThumbnailToKeep(const QImage& picture, QSize shown) {
    if (picture.isNull() || shown.isEmpty())
        return {};
    const QSize size = KeptSize(shown);
    return picture.size() == size
               ? picture
               : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool StoreCachedThumbnail(const QString& file, const ThumbnailStamp& stamp, const QImage& picture,
                          QSize shown) {
    const QImage kept = ThumbnailToKeep(picture, shown);
    if (kept.isNull())
        return false;
    const QByteArray png =
        EncodeStoredPng(kept, {{"Thumb::URI", ThumbnailUri(file)},
                               {"Thumb::MTime", QByteArray::number(stamp.modifiedSeconds)},
                               {"Thumb::Size", QByteArray::number(stamp.bytes)},
                               {"Thumb::Image::Width", QByteArray::number(shown.width())},
                               {"Thumb::Image::Height", QByteArray::number(shown.height())},
                               {"Software", kSoftware.toLatin1()}});
    const QString folder = ThumbnailCacheFolder();
    return !png.isEmpty() && MakePrivateFolders(folder) &&
           WriteCacheFileAtomic(folder + '/' + QFileInfo(CachedThumbnailPath(file)).fileName(),
                                png);
}
