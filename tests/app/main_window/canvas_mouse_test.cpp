// A page designed with the mouse alone on every product shape: the square
// and portrait pages are letterboxed in the 4:3 canvas, so every point and
// every repainted area must be taken from the page's own place.

#include "app/main_window/canvas_view.h"
#include "app/main_window/control_ids.h"
#include "app/orders/order_list.h"
#include "app_fixture.h"
#include "widget_support.h"

#include <QCheckBox>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>

namespace {
using namespace ControlId;

struct Shape {
    const char* name;
    const char* width; // cm; empty: no product chosen
    const char* height;
};

class CanvasMouseTest : public MainWindowTest, public ::testing::WithParamInterface<Shape> {
protected:
    CComposeCanvas& canvas() { return window->canvas(); }
    CCanvasView* view() { return window->canvasView(); }
    QPoint ToView(int x, int y) { return canvas().displayOrigin() + QPoint(x, y); }
    void Click(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    // The topmost slot whose rectangle holds the display point, from the records.
    int SlotAt(QPoint p) {
        for (int i = canvas().slotCount() - 1; i >= 0; --i) {
            const SlotPlacement& s = canvas().placement(i);
            if (p.x() >= s.left && p.x() < s.right && p.y() >= s.top && p.y() < s.bottom)
                return i;
        }
        return -1;
    }
    // What the window shows after its repaints, against a paint of the whole
    // canvas from scratch: a strip repainted at the wrong place stays stale.
    void ExpectNoStaleStrip(const char* step) {
        QCoreApplication::processEvents();
        const QPoint at = view()->mapTo(window.get(), QPoint(0, 0));
        const QImage shown =
            window->screen()
                ->grabWindow(window->winId(), at.x(), at.y(), view()->width(), view()->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        const QImage fresh = GrabImage(view()).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), fresh.size());
        int differing = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                differing += shown.pixel(x, y) != fresh.pixel(x, y);
        EXPECT_EQ(differing, 0) << step;
    }
    SlotPlacement Record(int slot) { return canvas().placement(slot); }
};

TEST_P(CanvasMouseTest, DesignAPageWithTheMouse) {
    const Shape shape = GetParam();
    const bool hasProduct = *shape.width != 0;
    if (hasProduct) {
        window->ChooseCustomer(MakeCustomer("方圆", "1", {{"相册", shape.width, shape.height}}));
        static_cast<COrderList*>(window->control(OrderList))->setCurrentRow(1);
    }
    window->OpenTemplateSet(base.file("模板/儿童/童趣/星星"));
    Click(static_cast<QListWidget*>(window->control(TemplateList)), 0);
    ASSERT_EQ(canvas().slotCount(), 4);
    const Rect area = canvas().displayArea();
    if (hasProduct) {
        const double page = QString(shape.width).toDouble() / QString(shape.height).toDouble();
        EXPECT_NEAR(double(area.width()) / area.height(), page, 0.01) << "letterboxed";
    }
    ExpectNoStaleStrip("template");

    // Each slot clicked just inside its corners, then given a photo.
    auto* photos = static_cast<QListWidget*>(window->control(PhotoList));
    for (int slot = 0; slot < 4; ++slot) {
        const SlotPlacement s = Record(slot);
        for (QPoint corner :
             {QPoint(s.left + 2, s.top + 2), QPoint(s.right - 3, s.top + 2),
              QPoint(s.left + 2, s.bottom - 3), QPoint(s.right - 3, s.bottom - 3)}) {
            const int before = canvas().currentSlot();
            QTest::mouseClick(view(), Qt::LeftButton, {}, ToView(corner.x(), corner.y()));
            const int expected = SlotAt(corner);
            EXPECT_EQ(canvas().currentSlot(), expected < 0 ? before : expected)
                << "slot " << slot + 1 << " at " << corner.x() << "," << corner.y();
        }
        const QPoint centre((s.left + s.right) / 2, (s.top + s.bottom) / 2);
        QTest::mouseClick(view(), Qt::LeftButton, {}, ToView(centre.x(), centre.y()));
        ASSERT_EQ(canvas().currentSlot(), SlotAt(centre));
        Click(photos, slot);
        EXPECT_TRUE(canvas().HasSlotImage(canvas().currentSlot()));
        ExpectNoStaleStrip("photo put");
    }

    // The wheel over the canvas, one notch a step however it is reported:
    // locked it zooms the photo of the last slot.
    auto turn = [this](QPoint delta, Qt::ScrollPhase phase = Qt::NoScrollPhase) {
        const QPoint at = view()->rect().center();
        QWheelEvent wheel(at, view()->mapToGlobal(at), {}, delta, Qt::NoButton, Qt::NoModifier,
                          phase, false);
        QCoreApplication::sendEvent(view(), &wheel);
    };
    const int slot = canvas().currentSlot();
    const int zoom = Record(slot).zoom;
    turn({0, 0}, Qt::ScrollBegin);
    turn({120, 0}, Qt::ScrollUpdate);
    for (int i = 0; i < 4; ++i)
        turn({0, 30}, Qt::ScrollUpdate);
    turn({0, 0}, Qt::ScrollEnd);
    EXPECT_EQ(Record(slot).zoom, zoom + 1) << "sideways and empty: nothing; 4 x 30: one step";
    ExpectNoStaleStrip("wheel");

    // Then the photo dragged inside its slot, and the slot itself.
    auto* lock = static_cast<QCheckBox*>(window->control(LockPortrait));
    const SlotPlacement put = Record(slot);
    const QPoint grip = ToView((put.left + put.right) / 2, (put.top + put.bottom) / 2);
    QTest::mousePress(view(), Qt::LeftButton, {}, grip);
    QTest::mouseRelease(view(), Qt::LeftButton, {}, grip + QPoint(-6, -4));
    EXPECT_EQ(Record(slot).left, put.left);
    EXPECT_TRUE(Record(slot).offsetX > put.offsetX || Record(slot).offsetY > put.offsetY)
        << "the photo follows the pointer up and left";
    ExpectNoStaleStrip("photo dragged");
    lock->setChecked(false);
    QTest::mousePress(view(), Qt::LeftButton, {}, grip);
    QTest::mouseRelease(view(), Qt::LeftButton, {}, grip + QPoint(-25, 15));
    const SlotPlacement moved = Record(slot);
    EXPECT_EQ(moved.left, put.left - 25);
    EXPECT_EQ(moved.top, put.top + 15);
    ExpectNoStaleStrip("slot dragged");
    const int width = moved.right - moved.left;
    turn({0, 120});
    EXPECT_EQ(Record(slot).right - Record(slot).left, width + 2 * int(width * 0.1));
    ExpectNoStaleStrip("slot enlarged");

    // A wheel over a list at its end never reaches the page.
    const SlotPlacement zoomed = Record(slot);
    const QPoint inList = photos->viewport()->rect().center();
    QWheelEvent listWheel(inList, photos->viewport()->mapToGlobal(inList), {}, {0, 120},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(photos->viewport(), &listWheel);
    EXPECT_EQ(Record(slot).right, zoomed.right);

    // A resize keeps every edit, the slots scaled to the new display.
    const QSize oldDisplay = canvas().displaySize();
    const int undoSteps = window->history().undoSteps();
    window->resize(1000, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvas().displaySize() != oldDisplay; }));
    const QSize newDisplay = canvas().displaySize();
    const SlotPlacement scaled = Record(slot);
    EXPECT_EQ(scaled.left, int(int64_t(zoomed.left) * newDisplay.width() / oldDisplay.width()));
    EXPECT_EQ(scaled.top, int(int64_t(zoomed.top) * newDisplay.height() / oldDisplay.height()));
    EXPECT_EQ(scaled.offsetX, zoomed.offsetX);
    EXPECT_EQ(window->history().undoSteps(), undoSteps) << "the history stays";
    ExpectNoStaleStrip("resized");

    // The clicks still land after the resize, and undo steps back over it.
    const QPoint inMoved((scaled.left + scaled.right) / 2, (scaled.top + scaled.bottom) / 2);
    QTest::mouseClick(view(), Qt::LeftButton, {}, ToView(inMoved.x(), inMoved.y()));
    EXPECT_EQ(canvas().currentSlot(), SlotAt(inMoved));
    window->UndoEdit(); // the wheel
    window->UndoEdit(); // the slot drag
    EXPECT_EQ(Record(slot).left, int(int64_t(put.left) * newDisplay.width() / oldDisplay.width()));
    EXPECT_EQ(Record(slot).right - Record(slot).left,
              int(int64_t(put.right) * newDisplay.width() / oldDisplay.width()) -
                  Record(slot).left);
    ExpectNoStaleStrip("undone");
    window->resize(1280, 860);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvas().displaySize() == oldDisplay; }));
    EXPECT_EQ(Record(slot).left, put.left) << "back at the first size, nothing drifted";
    EXPECT_EQ(Record(slot).bottom, put.bottom);
}

INSTANTIATE_TEST_SUITE_P(ProductShapes, CanvasMouseTest,
                         ::testing::Values(Shape{"square", "30", "30"},
                                           Shape{"portrait", "20", "30"},
                                           Shape{"landscape", "30", "20"}, Shape{"none", "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });
} // namespace
