// A photo entering a slot keeps its faces in view: the crop is moved by the
// ordinary offsets, and only where faces were found and the operator keeps
// the setting on.

#include "canvas_fixtures.h"

#include "compose/face_keeping.h"
#include "raster/face_finder.h"
#include "raster/raster.h"
#include "raster/working_copy_cache.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

// The slot's crop window in the working copy, as the slot shows it now.
QRect ShownWindow(const CComposeCanvas& canvas, int slot) {
    const SlotPlacement& p = canvas.placement(slot);
    return CropWindowRect(canvas.workingCopy(slot).size(), Rect{p.left, p.top, p.right, p.bottom},
                          p.zoom, p.offsetX, p.offsetY);
}

} // namespace

TEST(FaceKeeping, PhotosEnterAWideSlotWithTheirFacesInView) {
    TestFolder folder;
    const QString face = folder.file("portrait.jpg");
    ASSERT_TRUE(QFile::copy(kFacePhoto, face)) << "scripts/setup installs " << kFacePhoto;
    const QString plain =
        WriteFile(folder, "plain.jpg", EncodeImage(QuadrantImage(600, 900), "JPEG"));
    const QByteArray wide = SerializeTemplateBody(MakeTemplate({{0, 125, 1000, 625}}, Qt::gray));

    const struct {
        QString photo;
        bool keepFaces;
        int faces; // -1: not looked for
        bool moved;
    } cases[] = {
        {face, true, 1, true},
        {face, false, -1, false}, // the operator switched it off
        {plain, true, 0, false},  // no face: the centred crop
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.photo.toStdString() + (c.keepFaces ? " kept" : " off"));
        WorkingCopyCache::Shared().Clear();
        CComposeCanvas canvas;
        canvas.SetKeepFaces(c.keepFaces);
        ASSERT_TRUE(canvas.ApplyTemplateBody(wide, true, false));
        ASSERT_TRUE(canvas.PutPhoto(c.photo, true, 0));
        const SlotPlacement& p = canvas.placement(0);
        EXPECT_EQ(p.offsetX, 0);
        EXPECT_EQ(p.offsetY != 0, c.moved) << p.offsetY;
        EXPECT_EQ(p.zoom, 0);

        // The faces were found once and kept beside the working copy.
        const auto kept = WorkingCopyCache::Shared().FindFaces(*WorkingCopyCache::KeyOf(c.photo));
        ASSERT_EQ(kept.has_value(), c.faces >= 0);
        if (!kept)
            continue;
        ASSERT_EQ(kept->size(), c.faces);
        if (c.faces == 0)
            continue;
        const QRectF inCopy = FacesInCopy(*kept, QSize(512, 600), canvas.workingCopy(0).size())[0];
        // The face lies in the upper half of the portrait, as it does.
        EXPECT_LT(inCopy.center().y(), canvas.workingCopy(0).height() / 2.0);
        EXPECT_TRUE(QRectF(ShownWindow(canvas, 0)).contains(inCopy))
            << inCopy.y() << " " << inCopy.height() << " " << ShownWindow(canvas, 0).y() << " "
            << ShownWindow(canvas, 0).height();
        CComposeCanvas centred;
        centred.SetKeepFaces(false);
        ASSERT_TRUE(centred.ApplyTemplateBody(wide, true, false));
        ASSERT_TRUE(centred.PutPhoto(c.photo, true, 0));
        EXPECT_FALSE(QRectF(ShownWindow(centred, 0)).contains(inCopy))
            << "centred cuts the head " << ShownWindow(centred, 0).y();
    }
}

TEST(FaceKeeping, TheLargestFaceAndItsNeighboursWinWhenNotAllFit) {
    // A 400 x 200 group photo in a slot of 1 : 2: the crop is 100 x 200.
    const QSize source(400, 200);
    const Rect tall{0, 0, 100, 200};
    const QRectF big(40, 60, 50, 60), near(95, 80, 30, 36), far(330, 80, 30, 36);
    const struct {
        QList<QRectF> faces;
        QList<QRectF> shown, cut;
    } cases[] = {
        {{}, {}, {}},
        {{far}, {far}, {}},
        {{far, big, near}, {big, near}, {far}},
    };
    for (const auto& c : cases) {
        const CropOffsets offsets = FaceKeepingOffsets(source, tall, 0, c.faces);
        const QRectF window(CropWindowRect(source, tall, 0, offsets.x, offsets.y));
        if (c.faces.isEmpty()) {
            EXPECT_EQ(offsets, CropOffsets{});
        }
        for (const QRectF& face : c.shown)
            EXPECT_TRUE(window.contains(face)) << face.x();
        for (const QRectF& face : c.cut)
            EXPECT_FALSE(window.intersects(face)) << face.x();
    }
}
