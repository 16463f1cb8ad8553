// Editing the page from the main window: keys, mouse and wheel reach the
// canvas with the lock state of the moment.

#include "app/main_window/canvas_view.h"
#include "app/main_window/control_ids.h"
#include "app_fixture.h"

#include <QCheckBox>
#include <QListWidget>
#include <QTest>
#include <QWheelEvent>

namespace {
using namespace ControlId;

class CanvasInputTest : public MainWindowTest {
protected:
    // The four-slot page of the demo library, a sample photo in every slot.
    void LoadFourSlotPage() {
        ASSERT_TRUE(canvas().LoadTemplateFile(base.file("模板/儿童/童趣/星星/1.temp"), true));
        ASSERT_EQ(canvas().slotCount(), 4);
        for (int slot = 0; slot < 4; ++slot)
            ASSERT_TRUE(canvas().PutPhoto(window->customerPhotos().at(slot), true, slot));
        canvas().SetCurrentSlot(0);
    }
    CComposeCanvas& canvas() { return window->canvas(); }
    void SetLocked(bool locked) {
        static_cast<QCheckBox*>(window->control(LockPortrait))->setChecked(locked);
    }
    QPoint SlotCentre(int slot) {
        const SlotPlacement& p = canvas().placement(slot);
        const Rect area = canvas().displayArea();
        return {area.left + (p.left + p.right) / 2, area.top + (p.top + p.bottom) / 2};
    }
    QListWidget* photoList() { return static_cast<QListWidget*>(window->control(PhotoList)); }
};

TEST_F(CanvasInputTest, DigitsSelectOnlySlotsThePageHas) {
    LoadFourSlotPage();
    QTest::keyClick(photoList(), Qt::Key_3);
    EXPECT_EQ(canvas().currentSlot(), 2);
    QTest::keyClick(photoList(), Qt::Key_5);
    EXPECT_EQ(canvas().currentSlot(), 2);
    QTest::keyClick(photoList(), Qt::Key_1, Qt::KeypadModifier);
    EXPECT_EQ(canvas().currentSlot(), 0);
}

TEST_F(CanvasInputTest, CtrlLeftTurnsWhenLockedAndMirrorsWhenNot) {
    LoadFourSlotPage();
    const int angle = canvas().placement(0).angle;
    SetLocked(true);
    QTest::keyClick(photoList(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(canvas().placement(0).angle, angle - 2);
    EXPECT_EQ(canvas().placement(0).mirrorX, 0);
    SetLocked(false);
    QTest::keyClick(photoList(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(canvas().placement(0).angle, angle - 2);
    EXPECT_NE(canvas().placement(0).mirrorX, 0);
    // Shift held counts as the lock.
    QTest::keyClick(photoList(), Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(canvas().placement(0).angle, angle - 4);
}

TEST_F(CanvasInputTest, MouseDragMovesThePhotoOrTheSlot) {
    LoadFourSlotPage();
    CCanvasView* view = window->canvasView();
    const QPoint centre = SlotCentre(1);

    SetLocked(true);
    const SlotPlacement before = canvas().placement(1);
    QTest::mousePress(view, Qt::LeftButton, {}, centre);
    EXPECT_EQ(canvas().currentSlot(), 1);
    QTest::mouseRelease(view, Qt::LeftButton, {}, centre + QPoint(2, 5));
    const SlotPlacement locked = canvas().placement(1);
    EXPECT_EQ(locked.left, before.left) << "the slot stays where it is";
    EXPECT_TRUE(locked.offsetX != before.offsetX || locked.offsetY != before.offsetY)
        << "a 5-pixel move is a drag of the photo";

    SetLocked(false);
    QTest::mousePress(view, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(view, Qt::LeftButton, {}, centre + QPoint(20, 0));
    EXPECT_EQ(canvas().placement(1).left, locked.left + 20);
    EXPECT_EQ(canvas().placement(1).offsetX, locked.offsetX);
}

TEST_F(CanvasInputTest, WheelZoomsAndToolbarRunsTheSameOperations) {
    LoadFourSlotPage();
    SetLocked(true);
    const int zoom = canvas().placement(0).zoom;
    auto turn = [this](int delta) {
        const QPoint at = window->canvasView()->rect().center();
        QWheelEvent wheel(at, window->canvasView()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(window->canvasView(), &wheel);
    };
    turn(120);
    EXPECT_EQ(canvas().placement(0).zoom, zoom + 1);
    turn(-120);
    EXPECT_EQ(canvas().placement(0).zoom, zoom);

    SetLocked(false);
    const int width = canvas().placement(0).right - canvas().placement(0).left;
    turn(120);
    EXPECT_EQ(canvas().placement(0).right - canvas().placement(0).left,
              width + 2 * int(width * 0.1));
}

TEST_F(CanvasInputTest, DeleteTakesThePhotoOutAndStillReachesTheList) {
    LoadFourSlotPage();
    ASSERT_TRUE(canvas().HasSlotImage(0));
    photoList()->setFocus();
    QTest::keyClick(photoList(), Qt::Key_Delete);
    EXPECT_FALSE(canvas().HasSlotImage(0));
    EXPECT_TRUE(canvas().HasSlotImage(1)) << "one key press, one photo";
}
} // namespace
