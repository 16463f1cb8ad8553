// Drawn photos handed to the slots of their own shape: the matching itself
// over a table of shapes, and smart selection's two photo draws on a page of
// one portrait and one landscape slot.

#include "common/messages.h"
#include "compose/compose_canvas.h"
#include "production/orientation_match.h"
#include "production/smart_selection.h"
#include "production_fixture.h"
#include "templates/template_library.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QSize P(300, 400), L(400, 300), S(400, 390);

} // namespace

TEST(OrientationMatch, EachDrawnPhotoGoesToASlotOfItsShape) {
    const struct {
        QList<QSize> slotShapes, photoShapes;
        QList<int> given;
    } cases[] = {
        {{P, L}, {P, L}, {0, 1}},          // already fitting: unchanged
        {{P, L}, {L, P}, {1, 0}},          // swapped
        {{L, P, L}, {P, P, L}, {0, 1, 2}}, // one portrait slot only: the rest stands
        {{P, P}, {L, L}, {0, 1}},          // nothing fits: the draw stands
        {{S, P}, {P, S}, {1, 0}},          // a square photo fills what is left
        {{P, S, L}, {S, L, P}, {2, 0, 1}}, // square slot takes the rest
        {{L, L, P}, {P, S, L}, {2, 1, 0}}, // squares go where no fitting photo is
        {{P},
         {
             QSize(),
         },
         {0}}, // a photo of unknown size fits anywhere
    };
    for (const auto& c : cases) {
        const QList<int> given = MatchPhotosToSlots(c.slotShapes, c.photoShapes);
        EXPECT_EQ(given, c.given);
    }
}

TEST(OrientationMatch, SmartSelectionPutsPortraitsIntoPortraitSlots) {
    TestFolder folder;
    TemplateBody body = MakeBody(QSize(40, 30), Qt::white, 0);
    body.rects = {TemplateRect{0, 0, 300, 750}, TemplateRect{350, 0, 1000, 300}};
    const QString page = folder.file("模板/写真/组/套/1.temp");
    QDir().mkpath(QFileInfo(page).path());
    ASSERT_TRUE(WriteBytes(page, SerializeTemplateBody(body)));
    TemplateLibrary library(folder.file("模板"));
    QStringList photos;
    for (const QString name : {"p1", "l1", "p2", "l2"}) {
        photos << folder.file(name + QStringLiteral(".jpg"));
        const QSize size = name.startsWith('p') ? QSize(400, 600) : QSize(600, 400);
        ASSERT_TRUE(WriteBytes(photos.last(),
                               EncodeImage(QuadrantImage(size.width(), size.height()), "JPEG")));
    }
    const QStringList none;
    RecordingMessages messages;
    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        for (const bool unused : {false, true}) {
            QStringList filled[2];
            for (QStringList& names : filled) {
                CComposeCanvas canvas;
                ASSERT_TRUE(canvas.LoadTemplateFile(page, true));
                SeededRandom random;
                random.Seed(seed);
                const SmartSelectionContext context{library, canvas,   photos, none,
                                                    {},      messages, random, {}};
                SmartSelection selection;
                unused ? selection.RandomUnusedPhotos(context) : selection.RandomPhotos(context);
                for (int slot = 0; slot < 2; ++slot)
                    names << canvas.placement(slot).PhotoName();
            }
            SCOPED_TRACE(filled[0].join(' ').toStdString());
            EXPECT_EQ(filled[0], filled[1]) << "the same seed, the same page";
            // The unused draw walks the list: one of each shape comes.
            if (unused || filled[0][0][0] != filled[0][1][0]) {
                EXPECT_TRUE(filled[0][0].startsWith('p'));
                EXPECT_TRUE(filled[0][1].startsWith('l'));
            }
        }
    }
    EXPECT_TRUE(messages.informed.isEmpty());
}
