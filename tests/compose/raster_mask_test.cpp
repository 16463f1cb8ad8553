// Slot masks becoming a photo's opacity, and slot borders.

#include "compose/slot_drawing.h"
#include "test_support.h"

#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A complete 8-bit BMP file as templates carry masks: 1078 header bytes,
// rows bottom-up, each padded to 4 bytes. value(x, y) is given with y = 0 at
// the top of the picture.
QByteArray MaskBmp(int w, int h, const std::function<int(int, int)>& value) {
    const int rowBytes = (w + 3) / 4 * 4;
    QByteArray bmp(1078 + rowBytes * h, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<qint32>(bmp.size(), bmp.data() + 2);
    qToLittleEndian<qint32>(1078, bmp.data() + 10);
    qToLittleEndian<qint32>(40, bmp.data() + 14);
    qToLittleEndian<qint32>(w, bmp.data() + 18);
    qToLittleEndian<qint32>(h, bmp.data() + 22);
    qToLittleEndian<qint16>(1, bmp.data() + 26);
    qToLittleEndian<qint16>(8, bmp.data() + 28);
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            bmp[54 + 4 * i + c] = char(i);
    for (int fileRow = 0; fileRow < h; ++fileRow)
        for (int x = 0; x < w; ++x)
            bmp[1078 + fileRow * rowBytes + x] = char(value(x, h - 1 - fileRow));
    return bmp;
}

QImage Filled(int w, int h, QRgb colour, QImage::Format format) {
    QImage img(w, h, format);
    img.fill(colour);
    return img;
}

} // namespace

TEST(SlotMask, OuterRingIsTransparentWhateverTheMaskHolds) {
    QImage img = Filled(10, 10, qRgb(200, 100, 50), QImage::Format_ARGB32_Premultiplied);
    ApplySlotMask(img, MaskBmp(10, 10, [](int, int) { return 255; }));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool ring = x == 0 || y == 0 || x == 9 || y == 9;
            ASSERT_EQ(qAlpha(img.pixel(x, y)), ring ? 0 : 255) << x << "," << y;
            if (!ring) {
                ASSERT_EQ(img.pixel(x, y), qRgb(200, 100, 50));
            }
        }
}

TEST(SlotMask, MaskPictureStandsUpright) {
    // Opaque top half, transparent bottom half, as the picture is seen.
    QImage img = Filled(40, 40, qRgb(0, 0, 255), QImage::Format_ARGB32_Premultiplied);
    ApplySlotMask(img, MaskBmp(20, 20, [](int, int y) { return y < 10 ? 255 : 0; }));
    EXPECT_EQ(qAlpha(img.pixel(20, 5)), 255);
    EXPECT_EQ(qAlpha(img.pixel(20, 17)), 255);
    EXPECT_EQ(qAlpha(img.pixel(20, 22)), 0);
    EXPECT_EQ(qAlpha(img.pixel(20, 35)), 0);
}

TEST(SlotMask, ResampledSmoothlyAndUnchangedAtTheSameSize) {
    // The same size: every inner pixel is its mask pixel.
    auto value = [](int x, int y) { return (x * 37 + y * 91) % 256; };
    QImage same = Filled(9, 7, qRgb(255, 255, 255), QImage::Format_ARGB32_Premultiplied);
    ApplySlotMask(same, MaskBmp(9, 7, value));
    for (int y = 1; y < 6; ++y)
        for (int x = 1; x < 8; ++x)
            ASSERT_EQ(qAlpha(same.pixel(x, y)), value(x, y)) << x << "," << y;

    // Reduced: each column the average of the two it covers.
    QImage reduced = Filled(4, 5, qRgb(255, 255, 255), QImage::Format_ARGB32_Premultiplied);
    ApplySlotMask(reduced, MaskBmp(8, 1, [](int x, int) { return 10 + 20 * x; }));
    EXPECT_EQ(qAlpha(reduced.pixel(1, 2)), 60);
    EXPECT_EQ(qAlpha(reduced.pixel(2, 2)), 100);

    // Enlarged ten times: a diagonal edge moves along with every row instead
    // of in stair steps of ten rows.
    QImage large = Filled(200, 200, qRgb(255, 255, 255), QImage::Format_ARGB32_Premultiplied);
    ApplySlotMask(large, MaskBmp(20, 20, [](int x, int y) { return x > y ? 255 : 0; }));
    int previous = -1, positions = 0;
    for (int y = 15; y < 185; ++y) {
        int edge = 1;
        while (edge < 199 && qAlpha(large.pixel(edge, y)) < 128)
            ++edge;
        if (previous >= 0) {
            EXPECT_LE(std::abs(edge - previous), 2) << "row " << y;
            positions += edge != previous;
        }
        previous = edge;
    }
    EXPECT_GT(positions, 150);
}

TEST(SlotMask, PartialOpacityKeepsTheColour) {
    QImage premultiplied = Filled(6, 6, qRgb(255, 0, 0), QImage::Format_ARGB32_Premultiplied);
    ApplySlotMask(premultiplied, MaskBmp(6, 6, [](int, int) { return 128; }));
    EXPECT_EQ(premultiplied.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(premultiplied.pixel(3, 3), qPremultiply(qRgba(255, 0, 0, 128)));
    const QColor seen = premultiplied.pixelColor(3, 3);
    EXPECT_EQ(seen.alpha(), 128);
    EXPECT_NEAR(seen.red(), 255, 1);

    // Plain ARGB keeps its colour bytes exactly.
    QImage plain = Filled(6, 6, qRgba(10, 20, 30, 255), QImage::Format_ARGB32);
    ApplySlotMask(plain, MaskBmp(6, 6, [](int, int) { return 77; }));
    EXPECT_EQ(plain.pixel(3, 3), qRgba(10, 20, 30, 77));

    // An opaque-only format gains an alpha channel.
    QImage rgb = Filled(6, 6, qRgb(0, 255, 0), QImage::Format_RGB32);
    ApplySlotMask(rgb, MaskBmp(6, 6, [](int, int) { return 255; }));
    EXPECT_TRUE(rgb.hasAlphaChannel());
    EXPECT_EQ(qAlpha(rgb.pixel(0, 0)), 0);
    EXPECT_EQ(rgb.pixel(3, 3), qRgb(0, 255, 0));

    // A second mask replaces the first one's opacity, colour intact.
    ApplySlotMask(premultiplied, MaskBmp(6, 6, [](int, int) { return 255; }));
    EXPECT_TRUE(Near(premultiplied.pixel(3, 3), qRgb(255, 0, 0), 2));
}

TEST(SlotMask, DamagedOrMissingMaskChangesNothing) {
    const QImage before = Filled(8, 8, qRgb(1, 2, 3), QImage::Format_ARGB32_Premultiplied);
    const QByteArray good = MaskBmp(8, 8, [](int, int) { return 0; });

    QByteArray shortRows = good.left(good.size() - 1); // last row cut
    QByteArray negativeWidth = good;
    qToLittleEndian<qint32>(-8, negativeWidth.data() + 18);
    QByteArray zeroHeight = good;
    qToLittleEndian<qint32>(0, zeroHeight.data() + 22);
    QByteArray hugeClaim = good;
    qToLittleEndian<qint32>(0x7FFFFFFF, hugeClaim.data() + 18);
    qToLittleEndian<qint32>(0x7FFFFFFF, hugeClaim.data() + 22);

    for (const QByteArray& bad :
         {QByteArray(), good.left(100), shortRows, negativeWidth, zeroHeight, hugeClaim}) {
        QImage img = before;
        ApplySlotMask(img, bad);
        EXPECT_EQ(img, before) << bad.size();
    }
    QImage none;
    ApplySlotMask(none, good);
    EXPECT_TRUE(none.isNull());

    // The whole mask does act, so the refusals above are about the damage.
    QImage img = before;
    ApplySlotMask(img, good);
    EXPECT_EQ(qAlpha(img.pixel(4, 4)), 0);
}

TEST(SlotBorder, ThicknessFollowsTheReferenceSize) {
    // 0x00BBGGRR: red 0x99, green 0x66, blue 0x33.
    const QImage border = MakeSlotBorder(100, 80, 1200, 900, 0x00336699);
    ASSERT_EQ(border.size(), QSize(100, 80));
    const QRgb frame = qRgb(0x99, 0x66, 0x33);
    EXPECT_EQ(border.pixel(0, 40), frame);
    EXPECT_EQ(border.pixel(1, 40), frame);
    EXPECT_EQ(qAlpha(border.pixel(2, 40)), 0);
    EXPECT_EQ(border.pixel(98, 40), frame);
    EXPECT_EQ(border.pixel(99, 40), frame);
    EXPECT_EQ(qAlpha(border.pixel(97, 40)), 0);
    EXPECT_EQ(border.pixel(50, 1), frame);
    EXPECT_EQ(qAlpha(border.pixel(50, 2)), 0);
    EXPECT_EQ(border.pixel(50, 78), frame);
    EXPECT_EQ(qAlpha(border.pixel(50, 77)), 0);
    EXPECT_EQ(qAlpha(border.pixel(50, 40)), 0);

    const QImage thin = MakeSlotBorder(100, 80, 1199, 1199, 0x000000FF);
    EXPECT_EQ(thin.pixel(0, 40), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(thin.pixel(1, 40)), 0);
    const QImage tiny = MakeSlotBorder(30, 30, 0, 0, 0x0000FF00);
    EXPECT_EQ(tiny.pixel(0, 10), qRgb(0, 255, 0)); // at least one pixel
    EXPECT_EQ(qAlpha(tiny.pixel(1, 10)), 0);

    const QImage page = MakeSlotBorder(300, 300, 2400, 3000, 0x00FF0000);
    EXPECT_EQ(page.pixel(4, 150), qRgb(0, 0, 255));
    EXPECT_EQ(qAlpha(page.pixel(5, 150)), 0);

    EXPECT_TRUE(MakeSlotBorder(0, 10, 100, 100, 1).isNull());
}
