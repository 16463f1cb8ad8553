// The customer photo list draws its cells first and only then makes what
// putting its photos needs, in the background.

#include "app/photo_and_page_areas/thumbnail_list.h"
#include "raster/working_copy_cache.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(PhotoListBackground, WorkingCopiesOfPhotosListedFromTheirThumbnailsFollowTheCells) {
    TestFolder folder;
    QStringList photos;
    for (const char* name : {"a.jpg", "b.jpg"}) {
        photos.append(folder.file(name));
        ASSERT_TRUE(
            WriteBytes(photos.last(), JpegWithExif(QuadrantImage(600, 400), 6,
                                                   EncodeImage(QuadrantImage(160, 107), "JPEG"))));
    }
    WorkingCopyCache::Shared().Clear();
    CThumbnailList list(ThumbnailSource::CustomerPhoto);
    QList<QString> order;
    QObject::connect(&list, &CThumbnailList::Loaded, [&] {
        order.append("loaded");
        // The second time a new list follows at once, while the pass of the
        // photos has just begun: it is cancelled, and no Prepared of it comes.
        if (order.size() == 3)
            list.ShowEntries({}, {});
    });
    QObject::connect(&list, &CThumbnailList::Prepared, [&] { order.append("prepared"); });
    list.ShowEntries(photos, {"a", "b"});
    QTRY_COMPARE_WITH_TIMEOUT(order.size(), 2, 60000);
    EXPECT_EQ(order, (QList<QString>{"loaded", "prepared"}));
    for (const QString& photo : photos)
        EXPECT_EQ(WorkingCopyCache::Shared().Find(*WorkingCopyCache::KeyOf(photo)).size(),
                  QSize(266, 400));

    WorkingCopyCache::Shared().Clear();
    list.ShowEntries(photos, {"a", "b"});
    QTRY_COMPARE_WITH_TIMEOUT(order.size(), 4, 60000);
    QTest::qWait(200);
    EXPECT_EQ(order, (QList<QString>{"loaded", "prepared", "loaded", "loaded"}));
}

} // namespace
