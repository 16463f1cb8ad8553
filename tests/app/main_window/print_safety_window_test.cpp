// Print safety in the main window: the warning mark of a slot that would
// print soft, on screen only, and taking edits back with Alt+Backspace and
// giving them again with Ctrl+Y.

#include "app/main_window/canvas_view.h"
#include "app/main_window/control_ids.h"
#include "app_fixture.h"
#include "production/resolution_marks.h"
#include "records/workspace_paths.h"
#include "widget_support.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {
using namespace ControlId;

enum class Mark { None, Amber, Red };

class PrintSafetyWindowTest : public MainWindowTest {
protected:
    // The four-slot page of the demo library (30 x 20 cm); the operator
    // imports a 1200 x 900 photo and clicks it into slot 1.
    void PutImportedPhoto() {
        ASSERT_TRUE(canvas().LoadTemplateFile(base.file("模板/儿童/童趣/星星/1.temp"), true));
        const QString photo = base.file("客照.jpg");
        ASSERT_TRUE(WriteBytes(photo, EncodeImage(QuadrantImage(1200, 900), "JPEG")));
        window->SetPhotoChooser([photo] { return QStringList{photo}; });
        QTest::mouseClick(window->control(ImportPhotos), Qt::LeftButton);
        auto* photos = static_cast<QListWidget*>(window->control(PhotoList));
        const int row = photos->count() - 1;
        QTest::mouseClick(photos->viewport(), Qt::LeftButton, {},
                          photos->visualItemRect(photos->item(row)).center());
        ASSERT_TRUE(canvas().HasSlotImage(0));
    }
    CComposeCanvas& canvas() { return window->canvas(); }
    QWidget* keys() { return window->control(PhotoList); }
    // Where the mark of slot 1 goes, inside its disc beside the "!".
    QPoint MarkProbe() {
        const SlotPlacement& p = canvas().placement(0);
        const QRect mark =
            ResolutionMarkRect(Rect{p.left, p.top, p.right, p.bottom}, canvas().displayArea());
        return QPoint(mark.left() + 4, mark.center().y());
    }
    Mark MarkShown() {
        const QRgb seen = GrabImage(window->canvasView()).pixel(MarkProbe());
        if (Near(seen, kSoftMarkColor, 30))
            return Mark::Amber;
        if (Near(seen, kLowMarkColor, 30))
            return Mark::Red;
        return Mark::None;
    }
};

} // namespace

TEST_F(PrintSafetyWindowTest, ZoomingInWarnsAmberThenRedOnScreenButNeverInTheSavedPage) {
    PutImportedPhoto();
    ASSERT_EQ(MarkShown(), Mark::None) << "the whole photo prints sharp";
    QList<Mark> seen;
    for (int step = 0; step < 12; ++step) {
        QTest::keyClick(keys(), Qt::Key_Equal, Qt::ControlModifier); // one zoom step
        if (seen.isEmpty() || seen.last() != MarkShown())
            seen << MarkShown();
    }
    EXPECT_EQ(seen, (QList<Mark>{Mark::None, Mark::Amber, Mark::Red}));

    QTest::mouseClick(window->control(SavePage), Qt::LeftButton);
    const QImage saved(PageImagePath(PreviewCacheFolder(), QStringLiteral("未知产品"), ".jpg"));
    ASSERT_FALSE(saved.isNull());
    const Rect area = canvas().displayArea();
    const QPoint inPage = MarkProbe() - QPoint(area.left, area.top);
    const QPoint inSaved(inPage.x() * saved.width() / area.width(),
                         inPage.y() * saved.height() / area.height());
    EXPECT_FALSE(Near(saved.pixel(inSaved), kLowMarkColor, 60));
    EXPECT_TRUE(Near(saved.pixel(inSaved), canvas().backBuffer().pixel(inPage), 40));
    EXPECT_FALSE(Near(canvas().backBuffer().pixel(inPage), kLowMarkColor, 60));
}

TEST_F(PrintSafetyWindowTest, AltBackspaceTakesEditsBackAndCtrlYGivesThemAgain) {
    // Each picture is taken with the screen copies drawn, as the operator
    // sees it a moment after the key.
    PutImportedPhoto();
    canvas().FinishScreenCopies();
    const QImage put = canvas().backBuffer().copy();
    for (int step = 0; step < 10; ++step)
        QTest::keyClick(keys(), Qt::Key_Equal, Qt::ControlModifier);
    canvas().FinishScreenCopies();
    const QImage zoomed = canvas().backBuffer().copy();
    ASSERT_EQ(MarkShown(), Mark::Red);
    for (int step = 0; step < 10; ++step)
        QTest::keyClick(keys(), Qt::Key_Backspace, Qt::AltModifier);
    canvas().FinishScreenCopies();
    EXPECT_EQ(canvas().backBuffer(), put);
    EXPECT_EQ(MarkShown(), Mark::None);
    for (int step = 0; step < 10; ++step)
        QTest::keyClick(keys(), Qt::Key_Y, Qt::ControlModifier);
    canvas().FinishScreenCopies();
    EXPECT_EQ(canvas().backBuffer(), zoomed);
    EXPECT_EQ(MarkShown(), Mark::Red);

    // An arrow held down: its repeats are one step.
    const int offset = canvas().placement(0).offsetX;
    QTest::simulateEvent(keys(), true, Qt::Key_Left, Qt::NoModifier, {}, false);
    for (int repeat = 0; repeat < 4; ++repeat)
        QTest::simulateEvent(keys(), true, Qt::Key_Left, Qt::NoModifier, {}, true);
    QTest::simulateEvent(keys(), false, Qt::Key_Left, Qt::NoModifier, {}, false);
    ASSERT_EQ(canvas().placement(0).offsetX, offset + 5);
    QTest::keyClick(keys(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(canvas().placement(0).offsetX, offset);
    EXPECT_EQ(canvas().backBuffer(), zoomed);

    // The putting of the photo is the step before the zoom; another template
    // forgets them all.
    ASSERT_TRUE(canvas().LoadTemplateFile(base.file("模板/儿童/童趣/星星/2.temp"), true));
    const QImage other = canvas().backBuffer().copy();
    QTest::keyClick(keys(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(canvas().backBuffer(), other);
}
