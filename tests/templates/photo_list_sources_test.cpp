// Where a customer photo's cell comes from: the shared thumbnail cache, the
// thumbnail the camera embedded, or the photo itself.

#include "templates/thumbnail_cache.h"
#include "templates/thumbnail_cell.h"
#include "test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

const QRgb kGrey = qRgb(128, 128, 128);
const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255),
           kYellow = qRgb(255, 255, 0);

QImage Solid(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The quadrant picture within band of a black thumbnail of size.
QImage Thumbnail(QSize size, QRect band) {
    QImage thumbnail = Solid(size, qRgb(0, 0, 0));
    QPainter(&thumbnail).drawImage(band.topLeft(), QuadrantImage(band.width(), band.height()));
    return thumbnail;
}

struct ExifCase {
    const char* name;
    int orientation;
    QImage thumbnail; // stored as the photo is, before the orientation
    QRect drawn;      // where the cell shows the photo
    // The colours at the corners of drawn (clockwise from the top-left), or
    // none when the photo itself (grey) is drawn.
    QList<QRgb> corners;
};

// A grey 240 x 160 photo whose embedded thumbnail shows quadrants: a cell
// with quadrants came from the thumbnail, a grey one from the photo.
TEST(PhotoListSources, ExifThumbnailIsListedUprightAndOnlyWhenItShowsThePhoto) {
    const ExifCase cases[] = {
        // Turned clockwise (shown 160 x 240): the stored bottom-left comes
        // to the top-left.
        {"turned", 6, QuadrantImage(160, 107), {9, 0, 56, 85}, {kYellow, kRed, kGreen, kBlue}},
        // 3:2 in a 4:3 thumbnail with black bars above and below.
        {"letterboxed",
         1,
         Thumbnail({160, 120}, {0, 7, 160, 106}),
         {0, 17, 75, 50},
         {kRed, kGreen, kBlue, kYellow}},
        // Cut or stretched to 4:3 by the camera: not the photo as it is.
        {"other_shape", 1, QuadrantImage(160, 120), {0, 17, 75, 50}, {}},
        // Too small for the cell.
        {"tiny", 1, QuadrantImage(48, 32), {0, 17, 75, 50}, {}},
    };
    TestFolder folder;
    for (const ExifCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.file(QString::fromLatin1(c.name) + ".jpg");
        ASSERT_TRUE(WriteBytes(path, JpegWithExif(Solid({240, 160}, kGrey), c.orientation,
                                                  EncodeImage(c.thumbnail, "JPEG", 95))));
        const QImage cell = MakeThumbnailCell(path, ThumbnailSource::CustomerPhoto);
        const QRect inner = c.drawn.adjusted(c.drawn.width() / 4, c.drawn.height() / 4,
                                             -c.drawn.width() / 4, -c.drawn.height() / 4);
        const QPoint corners[] = {inner.topLeft(), inner.topRight(), inner.bottomRight(),
                                  inner.bottomLeft()};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(
                Near(cell.pixel(corners[i]), c.corners.isEmpty() ? kGrey : c.corners[i], 40))
                << i << ": " << std::hex << cell.pixel(corners[i]);
        // No black bar shows at the picture's edges, and the ground beside
        // it stays white.
        for (const QPoint& edge :
             {QPoint(inner.left(), c.drawn.top()), QPoint(inner.right(), c.drawn.bottom()),
              QPoint(c.drawn.left(), inner.top())})
            EXPECT_GT(qMax(qMax(qRed(cell.pixel(edge)), qGreen(cell.pixel(edge))),
                           qBlue(cell.pixel(edge))),
                      100)
                << edge.x() << "," << edge.y();
        EXPECT_EQ(cell.pixel(c.drawn.left() ? 2 : 37, c.drawn.left() ? 42 : 4),
                  qRgb(255, 255, 255));
    }

    // What was listed is kept in the shared cache, private to the user (the
    // mask leaves out the current user's bits, which repeat the owner's).
    const QString photo = folder.file("turned.jpg");
    const QString entry = CachedThumbnailPath(photo);
    ASSERT_TRUE(entry.startsWith(qEnvironmentVariable("XDG_CACHE_HOME") + "/thumbnails/normal/"));
    EXPECT_EQ(QFileInfo(entry).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(QFileInfo(QFileInfo(entry).path()).permissions() & 0x7077,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QImageReader reader(entry);
    const QImage kept = reader.read();
    EXPECT_EQ(kept.size(), QSize(85, 128));
    EXPECT_EQ(kept.text("Thumb::URI"), QUrl::fromLocalFile(photo).toEncoded());
    EXPECT_EQ(kept.text("Thumb::MTime").toLongLong(),
              QFileInfo(photo).lastModified().toSecsSinceEpoch());
}

struct CacheCase {
    const char* name;
    bool otherUri;
    bool namesOtherSize;
    bool fileChangedSince; // its modification time moved after the entry
    bool used;
};

// An entry another program kept (blue, without this program's keys) is used
// for the file it names in the state it names, and else made anew from the
// photo (red) in its place.
TEST(PhotoListSources, CachedThumbnailIsUsedOnlyForTheFileAsItIsNow) {
    const CacheCase cases[] = {
        {"current", false, false, false, true},
        {"file_changed_since", false, false, true, false},
        {"other_file", true, false, false, false},
        {"other_size", false, true, false, false},
    };
    TestFolder folder;
    for (const CacheCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString photo = folder.file(QString::fromLatin1(c.name) + ".jpg");
        ASSERT_TRUE(WriteBytes(photo, EncodeImage(Solid({300, 200}, kRed), "JPEG")));
        QImage entry = Solid({128, 85}, kBlue);
        entry.setText("Thumb::URI",
                      QUrl::fromLocalFile(c.otherUri ? photo + "x" : photo).toEncoded());
        entry.setText("Thumb::MTime",
                      QString::number(QFileInfo(photo).lastModified().toSecsSinceEpoch()));
        if (c.namesOtherSize)
            entry.setText("Thumb::Size", QString::number(QFileInfo(photo).size() + 1));
        ASSERT_TRUE(QDir().mkpath(ThumbnailCacheFolder()));
        ASSERT_TRUE(entry.save(CachedThumbnailPath(photo), "PNG"));
        if (c.fileChangedSince) {
            QFile file(photo);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(30),
                                         QFileDevice::FileModificationTime));
        }
        const QImage cell = MakeThumbnailCell(photo, ThumbnailSource::CustomerPhoto);
        EXPECT_TRUE(Near(cell.pixel(37, 42), c.used ? kBlue : kRed))
            << std::hex << cell.pixel(37, 42);
        const QImage kept(CachedThumbnailPath(photo));
        EXPECT_TRUE(Near(kept.pixel(64, 42), c.used ? kBlue : kRed));
        EXPECT_EQ(kept.text("Thumb::MTime").toLongLong(),
                  QFileInfo(photo).lastModified().toSecsSinceEpoch());
    }
}

} // namespace
