// A page encoded in bands on all cores is the file one pass over it writes.

#include "jpeg_files.h"
#include "raster/colour_conversion.h"
#include "raster/jpeg_codec.h"
#include "test_support.h"

#include <QColorSpace>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

// Gradients with noise: every band codes differently, and the noise makes
// 0xFF bytes in the coded data that must be stuffed.
QImage NoisyPage(int w, int h) {
    QImage page(w, h, QImage::Format_RGB32);
    QRandomGenerator random(w * 7919 + h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // The same noise in every channel: brightness detail the coder
            // keeps, whether the colour is halved or not.
            const int noise = random.bounded(-6, 7);
            const auto level = [noise](int v) { return qBound(0, v + noise, 255); };
            page.setPixel(
                x, y, qRgb(level(x * 255 / w), level(y * 255 / h), level((x + y) * 255 / (w + h))));
        }
    return page;
}

// The restart markers' numbers in the order they come (0xFF then 0xD0 to
// 0xD7; a 0xFF in the coded data is followed by a stuffed 0).
QList<int> RestartNumbers(const QByteArray& jpeg) {
    QList<int> numbers;
    for (qsizetype i = 0; i + 1 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xFF && (uchar(jpeg[i + 1]) & 0xF8) == 0xD0)
            numbers.append(uchar(jpeg[i + 1]) - 0xD0);
    return numbers;
}

} // namespace

// Checked against a one-pass encode byte for byte, read by libjpeg-turbo's
// djpeg in its strict mode (any warning is an error) and by Qt.
TEST(EncodeJpegPage, BandsOnAllCoresWriteTheFileOnePassWrites) {
    const QString djpeg = QStandardPaths::findExecutable("djpeg");
    ASSERT_FALSE(djpeg.isEmpty()) << "djpeg missing (Debian package libjpeg-turbo-progs)";
    const QByteArray srgb = IccProfileOf(QColorSpace(QColorSpace::SRgb));
    const struct {
        const char* what;
        int w, h;
        bool halfChroma;
        int bandMcuRows, dpi;
    } cases[] = {
        // Bands of 64 rows: four, then 45 rows ending in a partial MCU row.
        {"4:4:4, short last band", 203, 301, false, 8, 300},
        // Bands of 128 rows: two, then 77 rows.
        {"4:2:0, short last band", 150, 333, true, 8, 254},
        // The bands print pages get: 256 rows each.
        {"4:4:4, page-sized bands", 96, 700, false, kJpegBandMcuRows, 300},
        {"tiny, one band", 5, 3, false, 8, 0},
    };
    TestFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QImage page = NoisyPage(c.w, c.h);
        JpegPageOptions options{c.dpi, 100, c.halfChroma, srgb, c.bandMcuRows};
        const QByteArray banded = EncodeJpegPage(page, options);
        options.bandMcuRows = 0;
        const QByteArray onePass = EncodeJpegPage(page, options);
        ASSERT_FALSE(banded.isEmpty());
        EXPECT_TRUE(banded == onePass);

        // A restart after every MCU row but the last, numbered 0 to 7 in turn.
        const int mcuHeight = c.halfChroma ? 16 : 8;
        const QList<int> restarts = RestartNumbers(banded);
        ASSERT_EQ(restarts.size(), (c.h + mcuHeight - 1) / mcuHeight - 1);
        for (int i = 0; i < restarts.size(); ++i)
            ASSERT_EQ(restarts[i], i % 8) << "restart " << i;

        const JpegHeaders headers = ReadJpegHeaders(banded);
        EXPECT_EQ(headers.height, c.h);
        EXPECT_EQ(headers.width, c.w);
        EXPECT_EQ(headers.units, c.dpi > 0 ? 1 : 0);
        EXPECT_EQ(headers.xDensity, c.dpi > 0 ? c.dpi : 1);
        EXPECT_EQ(headers.icc, srgb);
        EXPECT_EQ(headers.sampling, QList<int>({c.halfChroma ? 0x22 : 0x11, 0x11, 0x11}));

        const QString path = folder.file(QString("%1x%2.jpg").arg(c.w).arg(c.h));
        ASSERT_TRUE(WriteBytes(path, banded));
        QProcess strict;
        strict.start(djpeg, {"-strict", "-ppm", path});
        ASSERT_TRUE(strict.waitForFinished(30000));
        EXPECT_EQ(strict.exitCode(), 0);
        EXPECT_EQ(strict.readAllStandardError(), QByteArray());
        const QImage byDjpeg =
            QImage::fromData(strict.readAllStandardOutput(), "PPM").convertToFormat(page.format());
        const QImage byQt = QImage::fromData(banded).convertToFormat(page.format());
        for (const QImage& read : {byDjpeg, byQt}) {
            ASSERT_EQ(read.size(), page.size());
            int worst = 0;
            for (int y = 0; y < c.h; ++y)
                for (int x = 0; x < c.w; ++x) {
                    const QRgb a = page.pixel(x, y), b = read.pixel(x, y);
                    worst =
                        std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
                }
            // Quality 100 keeps every level within a few of the page's.
            EXPECT_LE(worst, c.halfChroma ? 6 : 4);
        }
    }
}
