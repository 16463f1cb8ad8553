// Slot mapping and putting photos into slots.

#include "canvas_fixtures.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QColor kGrey(128, 128, 128);

Rect SlotRect(const CComposeCanvas& c, int slot) {
    const SlotPlacement& p = c.placement(slot);
    return Rect{p.left, p.top, p.right, p.bottom};
}

void ExpectRect(const Rect& r, int l, int t, int rr, int b) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rr);
    EXPECT_EQ(r.bottom, b);
}

// Puts the photo into slot n the way the operator does: select, then put.
void PutInto(CComposeCanvas& c, int slot, const QString& path) {
    c.SetCurrentSlot(slot);
    ASSERT_TRUE(c.PutPhoto(path, true));
}

} // namespace

TEST(CanvasSlots, TemplateRectanglesScaleWithTheClientSize) {
    const QByteArray body = SerializeTemplateBody(MakeTemplate({{500, 375, 1000, 750}}, kGrey));
    CComposeCanvas big;
    big.SetClientSize({1000, 750});
    ASSERT_TRUE(big.ApplyTemplateBody(body, true, true));
    EXPECT_EQ(big.slotCount(), 1);
    ExpectRect(SlotRect(big, 0), 500, 375, 1000, 750);

    CComposeCanvas small;
    small.SetClientSize({800, 600});
    ASSERT_TRUE(small.ApplyTemplateBody(body, true, true));
    EXPECT_EQ(small.displaySize(), QSize(800, 600));
    ExpectRect(SlotRect(small, 0), 400, 300, 800, 600);
}

TEST(CanvasSlots, ProductProportionsNarrowTheDisplayAndTheSlots) {
    // A 2:3 product on a 4:3 template in a 1000 x 750 window.
    CComposeCanvas c;
    c.SetProductSize({2000, 3000});
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{0, 0, 1000, 750}, {500, 375, 1000, 750}}, kGrey)),
        true, true));
    ExpectRect(c.displayArea(), 250, 0, 750, 750);
    EXPECT_EQ(c.displaySize(), QSize(500, 750));
    EXPECT_EQ(c.backBuffer().size(), QSize(500, 750));
    EXPECT_FLOAT_EQ(c.scaleX(), 0.5f);
    EXPECT_FLOAT_EQ(c.scaleY(), 1.0f);
    ExpectRect(SlotRect(c, 0), 0, 0, 500, 750);
    ExpectRect(SlotRect(c, 1), 250, 375, 500, 750);
}

TEST(CanvasSlots, WidePhotoInASquareSlotKeepsItsCentre) {
    TestFolder folder;
    // 3000 x 2000, red, with black outer columns that a centred square crop
    // cuts away and a green column in the middle.
    QImage photo = SolidImage(3000, 2000, QColor(255, 0, 0));
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 3000; ++x)
            if (x < 450 || x >= 2550)
                photo.setPixel(x, y, qRgb(0, 0, 0));
            else if (x >= 1440 && x < 1560)
                photo.setPixel(x, y, qRgb(0, 255, 0));
    const QString path = WriteFile(folder, "wide.png", EncodeImage(photo, "PNG"));

    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{100, 100, 400, 400}}, kGrey)), true, true));
    ASSERT_TRUE(c.PutPhoto(path, true));
    EXPECT_EQ(c.workingCopy(0).size(), QSize(400, 266));
    const QImage& slot = c.slotImage(0);
    ASSERT_EQ(slot.size(), QSize(266, 266));
    for (int y : {5, 133, 260}) {
        EXPECT_TRUE(Near(slot.pixel(2, y), qRgb(255, 0, 0), 40)) << y;
        EXPECT_TRUE(Near(slot.pixel(263, y), qRgb(255, 0, 0), 40)) << y;
        EXPECT_TRUE(Near(slot.pixel(133, y), qRgb(0, 255, 0), 40)) << y;
    }
}

TEST(CanvasSlots, ANewPhotoClearsOffsetsAndMirrorsButKeepsTheZoom) {
    TestFolder folder;
    const QString first = WriteFile(folder, "a.jpg", EncodeImage(QuadrantImage(600, 400), "JPEG"));
    const QString second = WriteFile(folder, "b.jpg", EncodeImage(QuadrantImage(400, 600), "JPEG"));
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{100, 100, 500, 400}}, kGrey)), true, true));
    ASSERT_TRUE(c.PutPhoto(first, true));
    SlotPlacement& p = c.placement(0);
    p.offsetX = 2;
    p.offsetY = -1;
    p.mirrorX = 1;
    p.mirrorY = 1;
    p.zoom = 3;
    ASSERT_TRUE(c.PutPhoto(second, true));
    EXPECT_EQ(c.placement(0).offsetX, 0);
    EXPECT_EQ(c.placement(0).offsetY, 0);
    EXPECT_EQ(c.placement(0).mirrorX, 0);
    EXPECT_EQ(c.placement(0).mirrorY, 0);
    EXPECT_EQ(c.placement(0).zoom, 3);
    EXPECT_EQ(c.photoBytes(0), ReadBytes(second));
    EXPECT_EQ(c.placement(0).PhotoName(), QString("b.jpg"));
    EXPECT_TRUE(c.modified());
}

TEST(CanvasSlots, WithoutATemplateThePhotoGoesToSlotZero) {
    TestFolder folder;
    const QString path = WriteFile(folder, "p.jpg", EncodeImage(QuadrantImage(300, 200), "JPEG"));
    CComposeCanvas c;
    c.SetCurrentSlot(5);
    c.placement(0).reservedRect[0] = 7;
    c.placement(0).reservedRect[3] = 9;
    ASSERT_TRUE(c.PutPhoto(path, true));
    EXPECT_EQ(c.currentSlot(), 0);
    EXPECT_TRUE(c.HasSlotImage(0));
    EXPECT_FALSE(c.HasSlotImage(5));
    EXPECT_EQ(c.placement(0).reservedRect[0], 0);
    EXPECT_EQ(c.placement(0).reservedRect[3], 0);
    ExpectRect(SlotRect(c, 0), 0, 0, 1000, 750);
    EXPECT_FALSE(c.HasTemplate());

    // Saving without a template stores the single photo as PNG.
    const QString out = folder.file("single.png");
    ASSERT_TRUE(c.SaveComposite(out));
    QImage saved(out, "PNG");
    EXPECT_EQ(saved.size(), c.slotImage(0).size());
}

TEST(CanvasSlots, PhotoNamesAreStoredWithoutFolderAndCutToTheField) {
    TestFolder folder;
    QDir(folder.path()).mkdir("sub");
    const QByteArray jpeg = EncodeImage(QuadrantImage(200, 200), "JPEG");
    const QString fits = QString(95, QLatin1Char('a')) + ".jpg";        // 99 bytes
    const QString longName = "x" + QString(55, QChar(0x7167)) + ".jpg"; // 115 GBK bytes
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{0, 0, 500, 750}, {500, 0, 1000, 750}}, kGrey)), true,
        true));
    PutInto(c, 0, WriteFile(folder, "sub/" + fits, jpeg));
    PutInto(c, 1, WriteFile(folder, "sub/" + longName, jpeg));

    EXPECT_EQ(c.placement(0).PhotoName(), fits);
    EXPECT_EQ(qstrnlen(c.placement(0).photoName, 100), 99u);
    // Cut on a whole two-byte character: "x" and 49 characters.
    EXPECT_EQ(c.placement(1).PhotoName(), "x" + QString(49, QChar(0x7167)));
    EXPECT_EQ(qstrnlen(c.placement(1).photoName, 100), 99u);
    EXPECT_TRUE(c.HasSlotImage(1));
}

TEST(CanvasSlots, PhotosThatCannotBeUsedLeaveTheSlotWithoutImage) {
    TestFolder folder;
    const QString good = WriteFile(folder, "good.jpg", SolidJpeg(300, 200, Qt::white));
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{100, 100, 500, 400}}, kGrey, Qt::magenta)), true,
        true));

    EXPECT_FALSE(c.PutPhoto(folder.file("missing.jpg"), true));
    EXPECT_FALSE(c.modified());
    EXPECT_FALSE(c.previewImage().isNull()) << "a missing photo changes nothing";

    const QByteArray jpeg = SolidJpeg(300, 200, Qt::white);
    const QList<QByteArray> broken = {QByteArray("not an image at all"), jpeg.left(40),
                                      QByteArray()};
    for (const QByteArray& bytes : broken) {
        ASSERT_TRUE(c.PutPhoto(good, true));
        ASSERT_TRUE(c.HasSlotImage(0));
        ASSERT_TRUE(c.PutPhoto(WriteFile(folder, "broken.jpg", bytes), true));
        EXPECT_FALSE(c.HasSlotImage(0)) << bytes.size();
        EXPECT_EQ(c.photoBytes(0), bytes);
        EXPECT_EQ(c.placement(0).PhotoName(), QString("broken.jpg"));
    }
}

TEST(CanvasSlots, ReloadingTouchesOnlyTheTemplatesSlotsAndKeepsTheCurrentOne) {
    TestFolder folder;
    QList<TemplateRect> ten, eight;
    for (int i = 0; i < 10; ++i)
        ten.append({i * 100, 0, i * 100 + 100, 300});
    for (int i = 0; i < 8; ++i)
        eight.append({i * 100, 300, i * 100 + 100, 750});
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(MakeTemplate(ten, kGrey)), true, true));
    for (int i = 0; i < 10; ++i)
        PutInto(c, i, WriteFile(folder, QString("%1.jpg").arg(i), SolidJpeg(300, 300, Qt::red)));
    qint64 keys[10];
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(c.slotImage(i).size(), QSize(134, 400)) << i; // 100 x 300 slot, 1:3
        keys[i] = c.slotImage(i).cacheKey();
    }

    ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(MakeTemplate(eight, kGrey)), true, true));
    EXPECT_EQ(c.slotCount(), 8);
    EXPECT_EQ(c.currentSlot(), 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NE(c.slotImage(i).cacheKey(), keys[i]) << i;
        EXPECT_EQ(c.slotImage(i).size(), QSize(89, 400)) << i; // refitted to 100 x 450
    }
    for (int i = 8; i < 10; ++i)
        EXPECT_EQ(c.slotImage(i).cacheKey(), keys[i]) << "slot " << i << " is not the template's";

    c.SetCurrentSlot(5);
    c.ReloadSlotPhotos();
    EXPECT_EQ(c.currentSlot(), 5);
}

TEST(CanvasSlots, EmptyRectanglesAreRemovedAndLaterSlotsTakeTheirPositionsValues) {
    TemplateBody t = MakeTemplate({{0, 0, 100, 100},
                                   {100, 0, 200, 100},
                                   {0, 0, 0, 0},
                                   {300, 0, 400, 100},
                                   {400, 0, 500, 100}},
                                  kGrey);
    for (int i = 0; i < kSlotCount; ++i) {
        t.angle[i] = 10 + i;
        t.shear[i] = 20 + i;
        t.transparency[i] = 30 + i;
        t.front[i] = i % 2;
        t.borderColor[i] = 0x100 + i;
    }
    CComposeCanvas c;
    c.placement(3).reserved = 77;
    ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(t), true, true));
    ASSERT_EQ(c.slotCount(), 4);
    ExpectRect(SlotRect(c, 2), 300, 0, 400, 100);
    ExpectRect(SlotRect(c, 3), 400, 0, 500, 100);
    EXPECT_EQ(c.placement(2).angle, 12);
    EXPECT_EQ(c.placement(2).shear, 22);
    EXPECT_EQ(c.placement(2).transparency, 32);
    EXPECT_EQ(c.placement(2).front, 0);
    EXPECT_EQ(c.placement(3).front, 1);
    EXPECT_EQ(c.placement(2).borderColor, 0x102u);
    EXPECT_EQ(c.placement(3).reserved, 0);

    // Two neighbours, one empty by width and one by height, both go.
    const TemplateBody two = MakeTemplate({{0, 0, 100, 100},
                                           {150, 0, 150, 100},
                                           {200, 50, 300, 50},
                                           {300, 0, 400, 100},
                                           {400, 0, 500, 100}},
                                          kGrey);
    ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(two), true, true));
    ASSERT_EQ(c.slotCount(), 3);
    ExpectRect(SlotRect(c, 1), 300, 0, 400, 100);
    ExpectRect(SlotRect(c, 2), 400, 0, 500, 100);
}

TEST(CanvasSlots, MoreThanTwentyRectanglesMapTwentySlots) {
    QList<TemplateRect> rects;
    for (int i = 0; i < 25; ++i)
        rects.append({i * 40, 0, i * 40 + 40, 100});
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(MakeTemplate(rects, kGrey)), true, true));
    EXPECT_EQ(c.slotCount(), 20);
    ExpectRect(SlotRect(c, 19), 760, 0, 800, 100);
}

TEST(CanvasSlots, ClearingEmptiesEverySlotIncludingItsPhoto) {
    TestFolder folder;
    const QString path = WriteFile(folder, "p.jpg", SolidJpeg(300, 200, Qt::white));
    const QByteArray body = SerializeTemplateBody(MakeTemplate({{100, 100, 500, 400}}, kGrey));
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(body, true, true));
    ASSERT_TRUE(c.PutPhoto(path, true));
    c.ClearSlots();
    EXPECT_FALSE(c.HasSlotImage(0));
    EXPECT_TRUE(c.photoBytes(0).isEmpty());
    EXPECT_EQ(c.placement(0).PhotoName(), QString());
    EXPECT_TRUE(c.bodyPath().isEmpty());
    // The next template must not bring the cleared photo back.
    ASSERT_TRUE(c.ApplyTemplateBody(body, true, true));
    EXPECT_FALSE(c.HasSlotImage(0));
}

TEST(CanvasSlots, RemovingTheLastPhotoBringsBackThePreviewThenTheTemplateGoes) {
    TestFolder folder;
    const QString path = WriteFile(folder, "p.jpg", SolidJpeg(300, 200, Qt::white));
    CComposeCanvas c;
    ASSERT_TRUE(
        c.ApplyTemplateBody(SerializeTemplateBody(MakeTemplate(
                                {{100, 100, 500, 400}, {500, 100, 900, 400}}, kGrey, Qt::magenta)),
                            true, true));
    ASSERT_TRUE(c.PutPhoto(path, true));
    EXPECT_TRUE(c.previewImage().isNull());
    c.RemovePhoto();
    EXPECT_FALSE(c.HasSlotImage(0));
    EXPECT_TRUE(c.photoBytes(0).isEmpty());
    EXPECT_FALSE(c.previewImage().isNull());
    EXPECT_TRUE(Near(Pixel(c, 50, 50), qRgb(255, 0, 255)));

    c.RemovePhoto(); // an empty slot and no photo anywhere: the template goes
    EXPECT_FALSE(c.HasTemplate());
    EXPECT_EQ(c.slotCount(), 0);
}

TEST(CanvasSlots, ResetRefitsThePhotoFromTheTemplate) {
    TestFolder folder;
    const QString path = WriteFile(folder, "p.jpg", SolidJpeg(300, 200, Qt::white));
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(MakeTemplate({{100, 100, 500, 400}}, kGrey)), true, true));
    ASSERT_TRUE(c.PutPhoto(path, true));
    SlotPlacement& p = c.placement(0);
    p.left += 30;
    p.right += 30;
    p.angle = 90;
    p.zoom = 2;
    p.mirrorX = 1;
    c.ResetSlot();
    ExpectRect(SlotRect(c, 0), 100, 100, 500, 400);
    EXPECT_EQ(c.placement(0).angle, 0);
    EXPECT_EQ(c.placement(0).zoom, 0);
    EXPECT_EQ(c.placement(0).mirrorX, 0);
    EXPECT_TRUE(c.HasSlotImage(0));
}
