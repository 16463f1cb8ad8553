// Taking canvas edits back and giving them again: every kind of edit is one
// step that restores the page exactly; a held key is one step; loading
// another template forgets the history.

#include "canvas_fixtures.h"

#include "compose/canvas_history.h"
#include "compose/canvas_operation.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

const QColor kGrey(128, 128, 128);

struct HistoryPage {
    HistoryPage() {
        photoA = WriteFile(folder, "a.png", EncodeImage(QuadrantImage(400, 300), "PNG"));
        photoB = WriteFile(folder, "b.png", EncodeImage(QuadrantImage(200, 300), "PNG"));
        EXPECT_TRUE(canvas.ApplyTemplateBody(
            SerializeTemplateBody(MakeTemplate({{100, 100, 400, 400}, {500, 200, 800, 500}}, kGrey,
                                               QColor(10, 200, 10))),
            true, true));
        canvas.SetCurrentSlot(1);
        EXPECT_TRUE(canvas.PutPhoto(photoB, true));
        canvas.SetCurrentSlot(0);
        EXPECT_TRUE(canvas.PutPhoto(photoA, true));
        canvas.placement(0).zoom = 2;
        canvas.RefitSlot(0);
        canvas.RenderComposite();
    }
    TestFolder folder;
    QString photoA, photoB;
    CComposeCanvas canvas;
    CanvasHistory history;
};

struct EditCase {
    const char* name;
    std::function<void(HistoryPage&)> edit;
};

void Apply(HistoryPage& p, CanvasOperation op, bool locked) {
    RunCanvasOperation(p.canvas, op, locked);
}

} // namespace

TEST(CanvasHistory, EveryKindOfEditIsUndoneAndRedoneToTheSamePixels) {
    using Op = CanvasOperation;
    const EditCase cases[] = {
        {"drag photo",
         [](HistoryPage& p) {
             p.canvas.SelectAt({250, 250});
             p.canvas.DragTo({280, 240}, true);
         }},
        {"drag slot",
         [](HistoryPage& p) {
             p.canvas.SelectAt({250, 250});
             p.canvas.DragTo({300, 290}, false);
         }},
        {"nudge photo", [](HistoryPage& p) { Apply(p, Op::NudgeRight, true); }},
        {"nudge slot", [](HistoryPage& p) { Apply(p, Op::NudgeDown, false); }},
        {"zoom", [](HistoryPage& p) { Apply(p, Op::EnlargeFine, true); }},
        {"resize", [](HistoryPage& p) { Apply(p, Op::EnlargeCoarse, false); }},
        {"shrink", [](HistoryPage& p) { Apply(p, Op::ShrinkCoarse, false); }},
        {"rotate", [](HistoryPage& p) { Apply(p, Op::Rotate90, true); }},
        {"mirror", [](HistoryPage& p) { Apply(p, Op::MirrorX, true); }},
        {"reset", [](HistoryPage& p) { Apply(p, Op::ResetSlot, true); }},
        {"remove", [](HistoryPage& p) { Apply(p, Op::RemovePhoto, true); }},
        {"remove the last photo",
         [](HistoryPage& p) {
             p.canvas.SetCurrentSlot(1);
             Apply(p, Op::RemovePhoto, true); // slot 0 still has one
             p.canvas.SetCurrentSlot(0);
             p.canvas.RenderComposite();
             Apply(p, Op::RemovePhoto, true); // the sample comes back
         }},
        {"put a photo", [](HistoryPage& p) { p.canvas.PutPhoto(p.photoB, true); }},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        HistoryPage p;
        const QImage before = p.canvas.backBuffer().copy();
        const auto placements = p.canvas.placements();
        p.history.Edit(p.canvas, [&] { c.edit(p); });
        const QImage after = p.canvas.backBuffer().copy();
        ASSERT_NE(after, before) << "the edit changed the page";

        ASSERT_TRUE(p.history.Undo(p.canvas));
        EXPECT_EQ(p.canvas.backBuffer(), before);
        EXPECT_EQ(0, memcmp(p.canvas.placements().data(), placements.data(), sizeof placements));
        EXPECT_FALSE(p.history.Undo(p.canvas)) << "one edit, one step";

        ASSERT_TRUE(p.history.Redo(p.canvas));
        EXPECT_EQ(p.canvas.backBuffer(), after);
    }
}

TEST(CanvasHistory, TakingBackTheRemovalOfTheTemplateBringsItBack) {
    HistoryPage p;
    const QImage before = p.canvas.backBuffer().copy();
    const auto removeAll = [&] {
        for (int slot : {1, 0, 0}) { // two photos, then the template itself
            p.canvas.SetCurrentSlot(slot);
            p.history.Edit(p.canvas, [&] { p.canvas.RemovePhoto(); });
        }
    };
    removeAll();
    ASSERT_FALSE(p.canvas.HasTemplate());
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(p.history.Undo(p.canvas));
    ASSERT_TRUE(p.canvas.HasTemplate());
    EXPECT_EQ(p.canvas.backBuffer(), before);
}

TEST(CanvasHistory, AHeldKeysRepeatsWithinHalfASecondAreOneStep) {
    HistoryPage p;
    const auto nudge = [&](bool repeat, qint64 ms) {
        p.history.Edit(
            p.canvas, [&] { Apply(p, CanvasOperation::NudgeRight, false); },
            CanvasEditInput{int(CanvasOperation::NudgeRight), repeat, ms});
    };
    const int left = p.canvas.placement(0).left;
    nudge(false, 1000);
    nudge(true, 1030);
    nudge(true, 1530); // 500 ms after the repeat before: still held
    EXPECT_EQ(p.history.undoSteps(), 1);
    nudge(true, 2031);  // a pause longer than the window
    nudge(false, 2040); // pressed again
    EXPECT_EQ(p.history.undoSteps(), 3);

    p.history.Undo(p.canvas);
    p.history.Undo(p.canvas);
    EXPECT_EQ(p.canvas.placement(0).left, left + 3);
    p.history.Undo(p.canvas);
    EXPECT_EQ(p.canvas.placement(0).left, left);
}

TEST(CanvasHistory, ANewEditDropsRedoAndAnotherTemplateDropsEverything) {
    HistoryPage p;
    const auto edit = [&](CanvasOperation op) {
        p.history.Edit(p.canvas, [&] { Apply(p, op, true); });
    };
    edit(CanvasOperation::EnlargeFine);
    edit(CanvasOperation::MirrorY);
    p.history.Undo(p.canvas);
    EXPECT_EQ(p.history.redoSteps(), 1);
    edit(CanvasOperation::NudgeLeft);
    EXPECT_EQ(p.history.redoSteps(), 0);
    EXPECT_EQ(p.history.undoSteps(), 2);

    const QString other =
        WriteFile(p.folder, "2.temp",
                  SerializeTemplateBody(MakeTemplate({{0, 0, 500, 750}}, QColor(200, 10, 10))));
    ASSERT_TRUE(p.canvas.LoadTemplateFile(other, true));
    const QImage loaded = p.canvas.backBuffer().copy();
    EXPECT_FALSE(p.history.Undo(p.canvas));
    EXPECT_EQ(p.canvas.backBuffer(), loaded);
    EXPECT_EQ(p.history.undoSteps(), 0);
}
