// Template files, layout records and the "dat2" image.

#include "canvas_fixtures.h"

#include "compose/canvas_size_file.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QColor kGrey(128, 128, 128);

int LeftHalfClear(int x, int) {
    return x < 50 ? 0 : 255;
}

QList<TemplateRect> FourSlots() {
    return {{0, 0, 500, 375}, {500, 0, 1000, 375}, {0, 375, 500, 750}, {500, 375, 1000, 750}};
}

} // namespace

TEST(CanvasTemplate, MasksBelongToSlotPositionsAndTakeOnlyTheirBytes) {
    TestFolder folder;
    const QByteArray mask = GreyMaskBmp(100, 80, LeftHalfClear);
    TemplateBody t = MakeTemplate(FourSlots(), kGrey);
    t.masks = {QByteArray(), mask, QByteArray()};
    const QByteArray withMasks = SerializeTemplateBody(t);
    t.masks.clear();
    const QByteArray withoutMasks = SerializeTemplateBody(t);
    // Three sizes in the list (2-byte count + 3 x 4 bytes), one mask stored.
    EXPECT_EQ(withMasks.size() - withoutMasks.size(), 12 + mask.size());

    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(withMasks, true, true));
    EXPECT_TRUE(c.maskFor(0).isEmpty());
    EXPECT_EQ(c.maskFor(1), mask);
    EXPECT_TRUE(c.maskFor(2).isEmpty());
    EXPECT_TRUE(c.maskFor(3).isEmpty());

    const QString photo = WriteFile(folder, "w.png", SolidPng(400, 300, Qt::white));
    for (int slot : {0, 1}) {
        c.SetCurrentSlot(slot);
        ASSERT_TRUE(c.PutPhoto(photo, true));
    }
    const QImage& masked = c.slotImage(1);
    ASSERT_FALSE(masked.isNull());
    const int y = masked.height() / 2;
    EXPECT_EQ(qAlpha(masked.pixel(masked.width() / 4, y)), 0);
    EXPECT_EQ(qAlpha(masked.pixel(masked.width() * 3 / 4, y)), 255);
    EXPECT_EQ(qAlpha(c.slotImage(0).pixel(c.slotImage(0).width() / 4, y)), 255);
    // The masked-out half shows the page behind it.
    const SlotPlacement& p = c.placement(1);
    EXPECT_TRUE(Near(Pixel(c, p.left + p.width() / 4, p.top + 20), kGrey.rgb()));
    EXPECT_TRUE(Near(Pixel(c, p.left + p.width() * 3 / 4, p.top + 20), qRgb(255, 255, 255)));
}

TEST(CanvasTemplate, LayoutRecordStoresTheSlotsPhotosAndReopensThem) {
    TestFolder folder;
    const QString task = folder.file("customer/1.tx");
    QDir(folder.path()).mkdir("customer");
    const QByteArray body = SerializeTemplateBody(MakeTemplate(FourSlots(), kGrey, Qt::magenta));
    const QString first = WriteFile(folder, "a.jpg", EncodeImage(QuadrantImage(600, 400), "JPEG"));
    const QString fourth = WriteFile(folder, "d.png", SolidPng(300, 500, Qt::cyan));

    CComposeCanvas c;
    c.SetClientSize({800, 600});
    const QString bodyPath = WriteFile(folder, "7.temp", body);
    ASSERT_TRUE(c.LoadTemplateFile(bodyPath, true));
    c.SetCurrentSlot(0);
    ASSERT_TRUE(c.PutPhoto(first, true));
    c.SetCurrentSlot(3);
    ASSERT_TRUE(c.PutPhoto(fourth, true));
    c.placement(3).left += 10; // an edit of the operator, kept in the task
    c.placement(3).zoom = 1;
    c.RefitSlot(3);
    ASSERT_TRUE(c.WriteLayoutRecord(task, QString::fromUtf8("写真")));

    const QString data = folder.file(QString::fromUtf8("customer/data写真"));
    LayoutRecord record;
    ASSERT_TRUE(ParseLayoutRecord(ReadBytes(data + "/dat"), record));
    EXPECT_EQ(record.body, body);
    ASSERT_EQ(record.photos.size(), 2);
    EXPECT_EQ(record.photos[0].slot, 0u);
    EXPECT_EQ(record.photos[0].bytes, ReadBytes(first));
    EXPECT_EQ(record.photos[1].slot, 3u);
    EXPECT_EQ(record.photos[1].bytes, ReadBytes(fourth));
    EXPECT_EQ(ReadCanvasSizeFile(data), QSize(800, 600));

    CComposeCanvas reopened;
    reopened.SetClientSize({800, 600});
    RecordingBusy busy;
    reopened.SetBusyIndicator(&busy);
    reopened.SetPlacements(c.placements());
    ASSERT_TRUE(reopened.LoadLayoutRecord(task, QString::fromUtf8("写真"), 1200, 900));
    EXPECT_EQ(busy.shown, 1);
    EXPECT_EQ(busy.hidden, 1);
    EXPECT_EQ(reopened.photoBytes(0), ReadBytes(first));
    EXPECT_EQ(reopened.photoBytes(3), ReadBytes(fourth));
    EXPECT_TRUE(reopened.photoBytes(1).isEmpty());
    EXPECT_TRUE(reopened.HasSlotImage(0));
    EXPECT_TRUE(reopened.HasSlotImage(3));
    EXPECT_FALSE(reopened.HasSlotImage(1));
    EXPECT_EQ(reopened.slotImage(3).size(), c.slotImage(3).size());
    EXPECT_EQ(reopened.placement(3).left, c.placement(3).left) << "saved edits stay";
    EXPECT_EQ(reopened.placement(3).zoom, 1);
    EXPECT_EQ(reopened.currentSlot(), 0);
    EXPECT_FALSE(reopened.templateChanged());
    EXPECT_EQ(reopened.pageSize(), QSize(1200, 900));
    EXPECT_EQ(reopened.productSize(), QSize(1200, 900));
    EXPECT_TRUE(reopened.previewImage().isNull());
    c.SetCurrentSlot(0);
    c.RenderComposite();
    EXPECT_EQ(reopened.backBuffer(), c.backBuffer());
}

TEST(CanvasTemplate, PhotosOutsideTheTemplatesSlotsAreNotStored) {
    TestFolder folder;
    const QString photo = WriteFile(folder, "a.jpg", SolidJpeg(300, 200, Qt::white));
    CComposeCanvas c;
    ASSERT_TRUE(c.PutPhoto(photo, true)); // no template yet: slot 0
    ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(MakeTemplate({}, kGrey)), true, true));
    ASSERT_TRUE(c.WriteLayoutRecord(folder.file("1.tx"), "p"));
    LayoutRecord record;
    ASSERT_TRUE(ParseLayoutRecord(ReadBytes(folder.file("datap/dat")), record));
    EXPECT_TRUE(record.photos.isEmpty());
    EXPECT_FALSE(c.WriteLayoutRecord(folder.file("1.tx"), "../elsewhere"));
    EXPECT_FALSE(QFile::exists(folder.file("elsewhere/dat")));
}

TEST(CanvasTemplate, Dat2IsDrawnOverTheOverlayOrDiscarded) {
    TestFolder folder;
    QDir(folder.path()).mkpath("dataA");
    QDir(folder.path()).mkpath("dataB");
    const QColor band(255, 128, 0);
    const QByteArray withOverlay = SerializeTemplateBody(
        MakeTemplate(FourSlots(), kGrey, QColor(), BandOverlayPng(400, 300, 0, 30, band)));
    const QByteArray withoutOverlay = SerializeTemplateBody(MakeTemplate(FourSlots(), kGrey));
    WriteBytes(folder.file("dataA/dat"), SerializeLayoutRecord({withOverlay, {}}));
    WriteBytes(folder.file("dataB/dat"), SerializeLayoutRecord({withoutOverlay, {}}));
    // dat2: the lower half of the page in green.
    QImage dat2 = SolidImage(400, 300, Qt::transparent);
    for (int y = 150; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            dat2.setPixel(x, y, qRgb(0, 200, 0));
    WriteBytes(folder.file("dataA/dat2"), EncodeImage(dat2, "PNG"));
    WriteBytes(folder.file("dataB/dat2"), EncodeImage(dat2, "PNG"));

    CComposeCanvas c;
    const QString task = folder.file("1.tx");
    ASSERT_TRUE(c.LoadLayoutRecord(task, "A", 1200, 900));
    ASSERT_FALSE(c.overlayImage().isNull());
    EXPECT_TRUE(Near(Pixel(c, 500, 700), qRgb(0, 200, 0)));
    EXPECT_TRUE(Near(Pixel(c, 500, 20), band.rgb()));
    EXPECT_TRUE(Near(Pixel(c, 500, 300), kGrey.rgb()));

    CComposeCanvas d;
    ASSERT_TRUE(d.LoadLayoutRecord(task, "B", 1200, 900));
    EXPECT_TRUE(d.overlayImage().isNull());
    EXPECT_TRUE(Near(Pixel(d, 500, 700), kGrey.rgb()));
    // Discarded: the next overlay is the template's own.
    ASSERT_TRUE(d.ApplyTemplateBody(withOverlay, true, true));
    EXPECT_TRUE(Near(Pixel(d, 500, 700), kGrey.rgb()));
    EXPECT_TRUE(Near(Pixel(d, 500, 20), band.rgb()));
}

TEST(CanvasTemplate, ABodyWithoutOverlayClearsTheOneShownBefore) {
    const QColor band(255, 128, 0);
    CComposeCanvas c;
    ASSERT_TRUE(c.ApplyTemplateBody(
        SerializeTemplateBody(
            MakeTemplate(FourSlots(), kGrey, QColor(), BandOverlayPng(400, 300, 0, 30, band))),
        true, true));
    EXPECT_FALSE(c.overlayImage().isNull());
    EXPECT_TRUE(Near(Pixel(c, 500, 20), band.rgb()));
    ASSERT_TRUE(
        c.ApplyTemplateBody(SerializeTemplateBody(MakeTemplate(FourSlots(), kGrey)), true, true));
    EXPECT_TRUE(c.overlayImage().isNull());
    EXPECT_TRUE(Near(Pixel(c, 500, 20), kGrey.rgb()));
}

TEST(CanvasTemplate, TemplateFilesAreReadOnceAndRefusedWhole) {
    TestFolder folder;
    const QByteArray good = SerializeTemplateBody(MakeTemplate(FourSlots(), kGrey, Qt::magenta));
    const QString goodPath = WriteFile(folder, "1.temp", good);
    QByteArray wrongMarker = good;
    wrongMarker[0] = char(199);
    const QString wrongPath = WriteFile(folder, "2.temp", wrongMarker);
    const QString cutPath = WriteFile(folder, "3.temp", good.left(good.size() - 1));

    CComposeCanvas c;
    RecordingBusy busy;
    c.SetBusyIndicator(&busy);
    int relabels = 0;
    c.SetRelabelHandler([&] { ++relabels; });
    ASSERT_TRUE(c.LoadTemplateFile(goodPath, true));
    EXPECT_TRUE(c.templateChanged());
    EXPECT_EQ(c.bodyPath(), goodPath);
    EXPECT_EQ(c.templateSize(), QSize(3000, 2250));
    EXPECT_EQ(c.pageSize(), QSize(3000, 2250));
    EXPECT_EQ(relabels, 1);
    EXPECT_EQ(busy.shown, 1);

    // The same file again: nothing is read, nothing shown.
    c.SetCurrentSlot(2);
    ASSERT_TRUE(c.LoadTemplateFile(goodPath, true));
    EXPECT_EQ(busy.shown, 1);
    EXPECT_EQ(c.currentSlot(), 2);

    c.ClearTemplateChanged();
    for (const QString& bad : {wrongPath, cutPath, folder.file("missing.temp")}) {
        EXPECT_FALSE(c.LoadTemplateFile(bad, true)) << bad.toStdString();
        EXPECT_EQ(c.body(), good);
        EXPECT_EQ(c.bodyPath(), goodPath);
        EXPECT_EQ(c.slotCount(), 4);
        EXPECT_EQ(c.currentSlot(), 2);
        EXPECT_FALSE(c.templateChanged());
        EXPECT_TRUE(Near(Pixel(c, 50, 50), qRgb(255, 0, 255)));
    }
    EXPECT_EQ(busy.shown, 4);
    EXPECT_EQ(busy.hidden, 4);

    // Applied directly, a wrong marker only resets the slot choice.
    EXPECT_FALSE(c.ApplyTemplateBody(wrongMarker, true, true));
    EXPECT_EQ(c.currentSlot(), 0);
    EXPECT_EQ(c.body(), good);
}

TEST(CanvasTemplate, ChangedProductProportionsReapplyTheTemplate) {
    TestFolder folder;
    const QString photo = WriteFile(folder, "w.jpg", SolidJpeg(300, 300, Qt::white));
    CComposeCanvas c;
    int relabels = 0;
    c.SetRelabelHandler([&] { ++relabels; });
    ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(MakeTemplate({{0, 0, 1000, 750}}, kGrey)),
                                    true, false));
    EXPECT_EQ(relabels, 0);
    EXPECT_EQ(c.pageSize(), QSize(0, 0));
    ASSERT_TRUE(c.PutPhoto(photo, true));
    EXPECT_EQ(c.slotImage(0).size(), QSize(400, 300));

    c.SetProductSize({3000, 3000});
    c.ReapplyForProduct();
    EXPECT_EQ(relabels, 1);
    EXPECT_EQ(c.displaySize(), QSize(750, 750));
    EXPECT_EQ(c.placement(0).right, 750);
    EXPECT_EQ(c.slotImage(0).size(), QSize(400, 400)) << "the photo is refitted";
    c.ReapplyForProduct(); // unchanged: nothing happens
    EXPECT_EQ(relabels, 1);
}

TEST(CanvasTemplate, APageReopensInPlaceOnACanvasOfAnotherSize) {
    TestFolder folder;
    const QString task = folder.file("1.tx");
    const QString bodyPath =
        WriteFile(folder, "7.temp", SerializeTemplateBody(MakeTemplate(FourSlots(), kGrey)));
    const QString photo = WriteFile(folder, "a.png", SolidPng(300, 500, Qt::cyan));
    CComposeCanvas made;
    made.SetClientSize({800, 600});
    ASSERT_TRUE(made.LoadTemplateFile(bodyPath, true));
    made.SetCurrentSlot(3);
    ASSERT_TRUE(made.PutPhoto(photo, true));
    made.placement(3).left += 10;
    ASSERT_TRUE(made.WriteLayoutRecord(task, "P"));

    // The same page shown half as large: every edge at half the distance.
    CComposeCanvas reopened;
    reopened.SetClientSize({400, 300});
    reopened.SetPlacements(made.placements());
    ASSERT_TRUE(reopened.LoadLayoutRecord(task, "P", 1200, 900));
    for (int slot : {0, 3}) {
        const SlotPlacement &a = made.placement(slot), &b = reopened.placement(slot);
        EXPECT_EQ(b.left, a.left / 2) << slot;
        EXPECT_EQ(b.top, a.top / 2) << slot;
        EXPECT_EQ(b.right, a.right / 2) << slot;
        EXPECT_EQ(b.bottom, a.bottom / 2) << slot;
    }
    EXPECT_EQ(reopened.slotImage(3).isNull(), false);
}

TEST(CanvasTemplate, BrokenLayoutRecordsLeaveTheCanvasAsItWas) {
    TestFolder folder;
    QDir(folder.path()).mkpath("dataX");
    const QByteArray body = SerializeTemplateBody(MakeTemplate(FourSlots(), kGrey));
    LayoutRecord record{body, {{0, SolidJpeg(200, 200, Qt::white)}, {25, QByteArray("x")}}};
    const QByteArray dat = SerializeLayoutRecord(record);

    CComposeCanvas c;
    const QByteArray shown = SerializeTemplateBody(MakeTemplate({{0, 0, 300, 300}}, Qt::blue));
    ASSERT_TRUE(c.ApplyTemplateBody(shown, true, true));
    const QString task = folder.file("1.tx");
    for (qsizetype cut :
         {qsizetype(0), qsizetype(3), qsizetype(40), body.size() + 4, dat.size() - 1}) {
        WriteBytes(folder.file("dataX/dat"), dat.left(cut));
        EXPECT_FALSE(c.LoadLayoutRecord(task, "X", 100, 100)) << cut;
        EXPECT_EQ(c.body(), shown);
        EXPECT_EQ(c.slotCount(), 1);
        EXPECT_EQ(c.productSize(), QSize(-1, -1));
    }
    // Whole, it opens; the entry for slot 25 has no slot to go to.
    WriteBytes(folder.file("dataX/dat"), dat);
    ASSERT_TRUE(c.LoadLayoutRecord(task, "X", 100, 100));
    EXPECT_EQ(c.slotCount(), 4);
    EXPECT_FALSE(c.photoBytes(0).isEmpty());
}

TEST(CanvasTemplate, ATemplatePickedAfterReopeningAPageIsLoadedEvenIfItWasTheLastOne) {
    TestFolder folder;
    const QByteArray four = SerializeTemplateBody(MakeTemplate(FourSlots(), kGrey, Qt::magenta));
    const QString fourPath = WriteFile(folder, "4.temp", four);
    const QByteArray single =
        SerializeTemplateBody(MakeTemplate({{0, 0, 1000, 750}}, Qt::blue, Qt::yellow));
    QDir(folder.path()).mkpath("dataP");
    WriteBytes(folder.file("dataP/dat"), SerializeLayoutRecord(LayoutRecord{single, {}}));

    CComposeCanvas c;
    ASSERT_TRUE(c.LoadTemplateFile(fourPath, true));
    ASSERT_TRUE(c.LoadLayoutRecord(folder.file("1.tx"), "P", 3000, 2250));
    ASSERT_EQ(c.body(), single);
    ASSERT_EQ(c.slotCount(), 1);

    // The canvas now shows the saved page's template, not the file picked
    // before; picking that file again must bring it back.
    ASSERT_TRUE(c.LoadTemplateFile(fourPath, true));
    EXPECT_EQ(c.body(), four);
    EXPECT_EQ(c.slotCount(), 4);
    EXPECT_TRUE(c.templateChanged());
    EXPECT_TRUE(Near(Pixel(c, 50, 50), qRgb(255, 0, 255)));
}

TEST(CanvasTemplate, LayersLargerThanTheProductsPageAreShrunkWhileDecoding) {
    // A background of 1600 x 1200: held whole without a product, at half
    // size for a page of 600 x 450; the page keeps its proportions either way.
    TemplateBody t = MakeTemplate(FourSlots(), kGrey);
    t.background = EncodeImage(QuadrantImage(1600, 1200), "JPEG");
    const QByteArray body = SerializeTemplateBody(t);
    const struct {
        QSize product, held;
    } cases[] = {{{}, {1600, 1200}}, {{600, 450}, {800, 600}}, {{1600, 1200}, {1600, 1200}}};
    for (const auto& c : cases) {
        CComposeCanvas canvas;
        canvas.SetProductSize(c.product);
        ASSERT_TRUE(canvas.ApplyTemplateBody(body, true, true));
        EXPECT_EQ(canvas.backgroundImage().size(), c.held) << c.product.width();
        EXPECT_EQ(canvas.backgroundSize(), QSize(1600, 1200)) << c.product.width();
        EXPECT_EQ(canvas.displaySize(), QSize(1000, 750)) << c.product.width();
        // The top-left quadrant's red where it is shown.
        EXPECT_TRUE(Near(Pixel(canvas, 250, 180), qRgb(255, 0, 0), 24)) << c.product.width();
    }
}
