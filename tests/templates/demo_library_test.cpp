// Checks the demo template library and sample photos that the build draws
// and packs into <build>/demo, the way a studio receives them: the index
// files, the packages, their images and what the pages exercise.

#include "common/extract_tag.h"
#include "common/gbk.h"
#include "compose/template_body.h"
#include "raster/raster.h"
#include "test_support.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QMap>
#include <QSet>
#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kDemo = QStringLiteral(TAOBAN_BINARY_DIR "/demo");
const QString kLibrary = kDemo + "/模板";
const QString kPhotos = kDemo + "/样片";

struct Package {
    QString relative; // "婚纱\<group>\<set>\1.temp"
    QByteArray bytes;
    TemplateBody body;
    BodyStatus status = BodyStatus::BadMarker;
};

// Every package of the library, read and parsed once for all tests.
const QList<Package>& Packages() {
    static const QList<Package> packages = [] {
        QList<Package> out;
        QDirIterator it(kLibrary, {"*.temp"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            Package p;
            const QString path = it.next();
            p.relative = QDir(kLibrary).relativeFilePath(path).replace('/', '\\');
            p.bytes = ReadBytes(path);
            p.status = ParseTemplateBody(p.bytes, p.body);
            out.append(p);
        }
        return out;
    }();
    return packages;
}

// A text file holds GBK text with CR LF line ends when it decodes and
// encodes back to the same bytes and every line feed follows a carriage
// return (and no carriage return stands alone).
void ExpectGbkCrLf(const QString& path) {
    const QByteArray bytes = ReadBytes(path);
    ASSERT_FALSE(bytes.isEmpty()) << path.toStdString();
    EXPECT_EQ(ToGbk(FromGbk(bytes)), bytes) << path.toStdString() << " is not valid GBK";
    EXPECT_TRUE(bytes.endsWith("\r\n")) << path.toStdString();
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << path.toStdString();
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n")) << path.toStdString();
}

QStringList GbkLines(const QString& path) {
    QString text = FromGbk(ReadBytes(path));
    text.replace("\r\n", "\n");
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The page as the studio stretches it: grid point to overlay pixel.
QPoint GridToImage(double gx, double gy, QSize image) {
    return QPoint(static_cast<int>(gx * image.width() / 1000.0),
                  static_cast<int>(gy * image.height() / 750.0));
}

class DemoLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(kLibrary + "/list.txt").isFile())
            << "the demo library is built into " << kDemo.toStdString();
        ASSERT_FALSE(Packages().isEmpty());
    }
};

TEST_F(DemoLibrary, FileListNamesEveryPackageWithItsExactSize) {
    ExpectGbkCrLf(kLibrary + "/list.txt");
    QSet<QString> listed;
    for (const QString& line : GbkLines(kLibrary + "/list.txt")) {
        const qsizetype semicolon = line.indexOf(';');
        ASSERT_GT(semicolon, 0) << line.toStdString();
        bool isNumber = false;
        const qint64 size = line.left(semicolon).toLongLong(&isNumber);
        const QString relative = line.mid(semicolon + 1);
        ASSERT_TRUE(isNumber) << line.toStdString();
        // Paths are relative, with backslashes, and stay inside the library.
        EXPECT_FALSE(relative.contains('/')) << relative.toStdString();
        EXPECT_FALSE(relative.contains("..")) << relative.toStdString();
        EXPECT_EQ(relative.count('\\'), 3)
            << "category\\group\\set\\page: " << relative.toStdString();
        const QFileInfo file(kLibrary + "/" + QString(relative).replace('\\', '/'));
        ASSERT_TRUE(file.isFile()) << relative.toStdString();
        EXPECT_EQ(file.size(), size) << relative.toStdString();
        EXPECT_FALSE(listed.contains(relative)) << "listed twice: " << relative.toStdString();
        listed.insert(relative);
    }
    // Nothing on disk is missing from the list, or a download would never
    // fetch it.
    for (const Package& p : Packages())
        EXPECT_TRUE(listed.contains(p.relative)) << p.relative.toStdString();
    EXPECT_EQ(listed.size(), Packages().size());
}

TEST_F(DemoLibrary, SetIndexDescribesEachSetByItsFirstPage) {
    ExpectGbkCrLf(kLibrary + "/list2.txt");
    QMap<QString, const Package*> byPath;
    QSet<QString> sets;
    for (const Package& p : Packages()) {
        byPath.insert(p.relative, &p);
        sets.insert(p.relative.section('\\', 0, 2));
    }

    QString text = GbkLines(kLibrary + "/list2.txt").join(QString());
    QSet<QString> indexed;
    for (QString item = ExtractTag(text, "<i>"); !item.isEmpty(); item = ExtractTag(text, "<i>")) {
        const QString path = ExtractTag(item, "<p>");
        const int n = ExtractTag(item, "<n>").toInt();
        const double w = ExtractTag(item, "<w>").toDouble();
        const double h = ExtractTag(item, "<h>").toDouble();
        const double f = ExtractTag(item, "<f>").toDouble();
        EXPECT_TRUE(item.isEmpty()) << "left in the item: " << item.toStdString();
        ASSERT_TRUE(path.endsWith("\\1.temp")) << path.toStdString();
        ASSERT_TRUE(byPath.contains(path)) << path.toStdString();
        const TemplateBody& body = byPath[path]->body;
        EXPECT_EQ(n, body.SlotRects().size()) << path.toStdString();
        EXPECT_NEAR(w * 100, body.width, 0.5) << path.toStdString();
        EXPECT_NEAR(h * 100, body.height, 0.5) << path.toStdString();
        // The proportion is compared with a product's height / width.
        EXPECT_NEAR(f, h / w, 0.001) << path.toStdString();
        EXPECT_FALSE(indexed.contains(path)) << "indexed twice: " << path.toStdString();
        indexed.insert(path);
    }
    EXPECT_TRUE(text.trimmed().isEmpty()) << "outside any item: " << text.toStdString();
    EXPECT_EQ(indexed.size(), sets.size());
}

TEST_F(DemoLibrary, EveryPackageParsesWithImagesOfThePageProportions) {
    for (const Package& p : Packages()) {
        SCOPED_TRACE(p.relative.toStdString());
        ASSERT_EQ(p.status, BodyStatus::Ok);
        ASSERT_GT(p.body.width, 0);
        ASSERT_GT(p.body.height, 0);
        const double proportion = double(p.body.height) / p.body.width;

        const QImage preview = DecodeImage(p.body.preview);
        const QImage background = DecodeImage(p.body.background);
        ASSERT_FALSE(preview.isNull());
        ASSERT_FALSE(background.isNull());
        // The preview shows the page as it prints; the layers keep the
        // composition area's 4:3, over which the slot grid is laid, and are
        // stretched over the page.
        EXPECT_NEAR(double(preview.height()) / preview.width(), proportion, 0.01);
        EXPECT_NEAR(double(background.height()) / background.width(), 0.75, 0.001);
        if (!p.body.overlay.isEmpty()) {
            const QImage overlay = DecodeImage(p.body.overlay);
            ASSERT_FALSE(overlay.isNull());
            EXPECT_TRUE(overlay.hasAlphaChannel());
            EXPECT_EQ(overlay.size(), background.size());
        }

        const QList<TemplateRect> rects = p.body.SlotRects();
        ASSERT_FALSE(rects.isEmpty());
        EXPECT_EQ(rects.size(), p.body.rects.size()) << "no empty rectangles are stored";
        for (const TemplateRect& r : rects) {
            EXPECT_GE(r.left, 0);
            EXPECT_GE(r.top, 0);
            EXPECT_LE(r.right, 1000);
            EXPECT_LE(r.bottom, 750);
        }
        for (int slot = 0; slot < rects.size(); ++slot) {
            const QByteArray mask = p.body.MaskFor(slot);
            if (mask.isEmpty())
                continue;
            // A grey mask with both shown and hidden parts.
            const QImage image = DecodeImage(mask);
            ASSERT_FALSE(image.isNull()) << "mask of slot " << slot;
            const QRgb middle = image.pixel(image.width() / 2, image.height() / 2);
            const QRgb corner = image.pixel(0, 0);
            EXPECT_EQ(qGray(middle), 255) << "mask of slot " << slot << " hides its centre";
            EXPECT_EQ(qGray(corner), 0) << "mask of slot " << slot << " shows its corner";
            EXPECT_TRUE(qRed(middle) == qGreen(middle) && qGreen(middle) == qBlue(middle));
        }
    }
}

TEST_F(DemoLibrary, OverlaysOpenAWindowOverEveryOpaqueBackSlot) {
    int windows = 0;
    for (const Package& p : Packages()) {
        if (p.body.overlay.isEmpty())
            continue;
        SCOPED_TRACE(p.relative.toStdString());
        const QImage overlay = DecodeImage(p.body.overlay).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(overlay.isNull());
        // A real overlay covers part of the page.
        bool covers = false;
        for (int y = 0; y < overlay.height() && !covers; y += 4) {
            for (int x = 0; x < overlay.width() && !covers; x += 4)
                covers = qAlpha(overlay.pixel(x, y)) > 128;
        }
        EXPECT_TRUE(covers);

        const QList<TemplateRect> rects = p.body.SlotRects();
        for (int slot = 0; slot < rects.size(); ++slot) {
            if (p.body.front[slot] != 0 || p.body.transparency[slot] != 0)
                continue;
            // Turning and shear keep the slot's centre where it was.
            const TemplateRect& r = rects[slot];
            const QPoint centre =
                GridToImage((r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0, overlay.size());
            EXPECT_EQ(qAlpha(overlay.pixel(centre)), 0) << "slot " << slot << " is covered";
            ++windows;
        }
    }
    EXPECT_GT(windows, 0);
}

TEST_F(DemoLibrary, PagesTogetherUseEveryTemplateFeature) {
    bool mask = false, rotation = false, shear = false, horizontalShear = false;
    bool transparency = false, border = false, front = false, overlay = false, noOverlay = false;
    for (const Package& p : Packages()) {
        const TemplateBody& b = p.body;
        overlay |= !b.overlay.isEmpty();
        noOverlay |= b.overlay.isEmpty();
        for (int slot = 0; slot < b.SlotRects().size(); ++slot) {
            mask |= !b.MaskFor(slot).isEmpty();
            rotation |= b.angle[slot] != 0;
            // Shear shows only on a turned slot.
            shear |= b.angle[slot] != 0 && b.shear[slot] != 0;
            horizontalShear |= b.angle[slot] != 0 && std::abs(b.shear[slot]) > 1000;
            transparency |= b.transparency[slot] > 0 && b.transparency[slot] < 255;
            border |= b.borderColor[slot] != 0;
            front |= b.front[slot] != 0;
        }
    }
    EXPECT_TRUE(mask);
    EXPECT_TRUE(rotation);
    EXPECT_TRUE(shear);
    EXPECT_TRUE(horizontalShear);
    EXPECT_TRUE(transparency);
    EXPECT_TRUE(border);
    EXPECT_TRUE(front);
    EXPECT_TRUE(overlay);
    EXPECT_TRUE(noOverlay);
}

TEST_F(DemoLibrary, FourCategoriesOfNumberedSetsInSeveralProportions) {
    for (const QString category : {"婚纱", "儿童", "写真", "全家福"})
        EXPECT_TRUE(QFileInfo(kLibrary + "/" + category).isDir()) << category.toStdString();

    QMap<QString, QList<int>> pagesOfSet;
    QSet<QString> proportions;
    QMap<QString, QSet<QString>> sizesOfSet;
    for (const Package& p : Packages()) {
        const QString set = p.relative.section('\\', 0, 2);
        const QString name = p.relative.section('\\', 3);
        bool numbered = false;
        const int number = name.chopped(5).toInt(&numbered);
        ASSERT_TRUE(numbered && name.endsWith(".temp")) << p.relative.toStdString();
        EXPECT_TRUE(number >= 1 && number <= 100) << p.relative.toStdString();
        pagesOfSet[set].append(number);
        proportions.insert(QString::number(double(p.body.height) / p.body.width, 'f', 3));
        sizesOfSet[set].insert(QStringLiteral("%1x%2").arg(p.body.width).arg(p.body.height));
    }
    bool gap = false;
    for (auto it = pagesOfSet.begin(); it != pagesOfSet.end(); ++it) {
        QList<int> pages = it.value();
        std::sort(pages.begin(), pages.end());
        EXPECT_EQ(pages.first(), 1) << it.key().toStdString();
        EXPECT_GE(pages.size(), 2) << it.key().toStdString();
        gap |= pages.last() != pages.size();
        EXPECT_EQ(sizesOfSet[it.key()].size(), 1) << "pages of one set share a size";
    }
    EXPECT_TRUE(gap) << "a set with a missing page number";
    EXPECT_GE(proportions.size(), 4);
}

QSize StoredSize(const QByteArray& image) {
    QBuffer buffer;
    buffer.setData(image);
    return QImageReader(&buffer).size();
}

// The hand-written sets are printed as they are: stretched over its page at
// 300 dpi, a background or overlay is enlarged at most 1.25 times in either
// direction, and a mask at most twice over its slot.
TEST_F(DemoLibrary, HandWrittenPagesCarryLayersAtPrintSize) {
    QMap<QString, const TemplateBody*> bodies;
    for (const Package& p : Packages())
        bodies.insert(p.relative, &p.body);
    const QDir descriptions(QStringLiteral(TAOBAN_SOURCE_DIR "/demo/library"));
    QSet<QString> categories;
    QDirIterator it(descriptions.path(), {"*.json"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative =
            descriptions.relativeFilePath(it.next()).chopped(5).replace('/', '\\') + ".temp";
        SCOPED_TRACE(relative.toStdString());
        ASSERT_TRUE(bodies.contains(relative));
        const TemplateBody& body = *bodies[relative];
        categories.insert(relative.section('\\', 0, 0));
        // Page sizes are stored in hundredths of a centimetre.
        const double pageW = body.width / 254.0 * 300;
        const double pageH = body.height / 254.0 * 300;
        for (const QByteArray& layer : {body.background, body.overlay}) {
            if (layer.isEmpty())
                continue;
            const QSize size = StoredSize(layer);
            EXPECT_GE(size.width() * 1.25, pageW) << size.width() << " x " << size.height();
            EXPECT_GE(size.height() * 1.25, pageH) << size.width() << " x " << size.height();
        }
        const QList<TemplateRect> rects = body.SlotRects();
        for (int slot = 0; slot < rects.size(); ++slot) {
            const QByteArray mask = body.MaskFor(slot);
            if (mask.isEmpty())
                continue;
            const TemplateRect& r = rects[slot];
            const QSize size = StoredSize(mask);
            EXPECT_GE(size.width() * 2, (r.right - r.left) / 1000.0 * pageW) << "slot " << slot;
            EXPECT_GE(size.height() * 2, (r.bottom - r.top) / 750.0 * pageH) << "slot " << slot;
        }
    }
    EXPECT_EQ(categories, (QSet<QString>{"婚纱", "儿童", "写真", "全家福"}));
}

TEST(DemoSamplePhotos, AreUprightCameraSizedJpegs) {
    const QStringList names = QDir(kPhotos).entryList({"*.jpg"}, QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 4) << "sample photos in " << kPhotos.toStdString();
    int portrait = 0, landscape = 0, turned = 0, sunny = 0;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = ReadBytes(kPhotos + "/" + name);
        ASSERT_TRUE(bytes.startsWith("\xFF\xD8\xFF")) << "not a JPEG";
        QImageReader stored(kPhotos + "/" + name);
        stored.setAutoTransform(false);
        const QSize storedSize = stored.size();
        const bool isTurned = stored.transformation() != QImageIOHandler::TransformationNone;

        const QImage photo = DecodeImage(bytes);
        ASSERT_FALSE(photo.isNull());
        EXPECT_GE(qint64(photo.width()) * photo.height(), 12000000);
        if (isTurned) {
            // The camera stored the pixels turned; shown upright they swap sides.
            ++turned;
            EXPECT_EQ(storedSize.transposed(), photo.size());
        } else {
            EXPECT_EQ(storedSize, photo.size());
        }
        (photo.height() > photo.width() ? portrait : landscape)++;

        // Shown upright, a photo with the sun has it in the upper right; a
        // photo turned the wrong way round would show it in the lower left.
        const QRgb sun = qRgb(255, 246, 200);
        const bool sunUp = Near(photo.pixel(photo.width() * 4 / 5, photo.height() / 5), sun, 24);
        EXPECT_FALSE(Near(photo.pixel(photo.width() / 5, photo.height() * 4 / 5), sun, 24));
        EXPECT_TRUE(sunUp || !isTurned) << "a turned photo shows upright";
        sunny += sunUp;
    }
    EXPECT_GT(portrait, 0);
    EXPECT_GT(landscape, 0);
    EXPECT_GT(turned, 0);
    EXPECT_GT(sunny, turned);
}

} // namespace
