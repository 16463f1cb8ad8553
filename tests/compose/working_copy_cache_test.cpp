// Working copies kept by file, so a photo is decoded once however often it
// is put.

#include "canvas_fixtures.h"

#include "raster/raster.h"
#include "raster/working_copy_cache.h"

#include <gtest/gtest.h>

namespace {

WorkingCopyCache::Key KeyNamed(const QString& path) {
    return WorkingCopyCache::Key{path, 1, 1};
}

} // namespace

TEST(WorkingCopyCache, KeepsItsBoundByDroppingTheLeastRecentlyUsed) {
    const QImage copy = SolidImage(100, 100, Qt::red);
    // Room for two copies only.
    WorkingCopyCache cache(2 * copy.sizeInBytes() + 1);
    cache.Insert(KeyNamed("a"), copy);
    cache.Insert(KeyNamed("b"), copy);
    ASSERT_FALSE(cache.Find(KeyNamed("a")).isNull()); // a is now the newer one
    cache.Insert(KeyNamed("c"), copy);
    EXPECT_FALSE(cache.Find(KeyNamed("a")).isNull());
    EXPECT_TRUE(cache.Find(KeyNamed("b")).isNull());
    EXPECT_FALSE(cache.Find(KeyNamed("c")).isNull());
    // The same path with another size or time is another file.
    EXPECT_TRUE(cache.Find(WorkingCopyCache::Key{"a", 1, 2}).isNull());
    EXPECT_TRUE(cache.Find(WorkingCopyCache::Key{"a", 2, 1}).isNull());
}

TEST(WorkingCopyCache, APhotoPutAgainIsNotDecodedAgainUntilItsFileChanges) {
    TestFolder folder;
    const QString path = WriteFile(folder, "photo.jpg", SolidJpeg(1200, 800, Qt::red));
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{0, 0, 500, 750}, {500, 0, 1000, 750}}, Qt::gray)),
        true, true));
    ASSERT_TRUE(c.PutPhoto(path, true, 0));
    const qint64 first = c.workingCopy(0).cacheKey();
    EXPECT_EQ(c.workingCopy(0).size(), QSize(400, 266));

    // Another slot, and the template applied again: the very same copy.
    ASSERT_TRUE(c.PutPhoto(path, true, 1));
    EXPECT_EQ(c.workingCopy(1).cacheKey(), first);
    c.ReloadSlotPhotos();
    EXPECT_EQ(c.workingCopy(0).cacheKey(), first);
    EXPECT_EQ(c.workingCopy(1).cacheKey(), first);

    // The file replaced by another photo is decoded anew.
    WriteBytes(path, SolidJpeg(800, 1200, Qt::blue));
    ASSERT_TRUE(c.PutPhoto(path, true, 1));
    EXPECT_NE(c.workingCopy(1).cacheKey(), first);
    EXPECT_EQ(c.workingCopy(1).size(), QSize(266, 400));
    EXPECT_TRUE(Near(c.workingCopy(1).pixel(100, 100), qRgb(0, 0, 255), 16));
}
