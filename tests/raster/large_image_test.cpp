// Pictures of many megabytes behave as any other image.

#include "raster/large_image.h"

#include <gtest/gtest.h>

TEST(LargeImage, SmallAndLargeImagesHoldTheirPixelsAndCopiesStayApart) {
    for (const QSize size : {QSize(64, 48), QSize(3001, 1000)}) {
        QImage image = NewLargeImage(size, QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(image.size(), size);
        EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(image.bytesPerLine(), size.width() * 4);
        image.fill(qRgb(10, 20, 30));
        const QImage copy = image;
        image.setPixel(size.width() - 1, size.height() - 1, qRgb(200, 0, 0));
        EXPECT_EQ(image.pixel(size.width() - 1, size.height() - 1), qRgb(200, 0, 0));
        EXPECT_EQ(copy.pixel(size.width() - 1, size.height() - 1), qRgb(10, 20, 30));
        EXPECT_EQ(copy.pixel(0, 0), qRgb(10, 20, 30));
    }
    EXPECT_TRUE(NewLargeImage(QSize(0, 10), QImage::Format_RGB32).isNull());
}
