// The main window used as the operator uses it: keys, the toolbar, the
// order list, the resolution dialog and the window's start.

#include "app/main_window/control_ids.h"
#include "app/orders/dpi_dialog.h"
#include "app/orders/order_list.h"
#include "app/orders/task_list_dialog.h"
#include "app_fixture.h"
#include "common/profile.h"
#include "controls/canvas_toolbar.h"
#include "controls/sort_list_ctrl.h"
#include "modal_helper.h"
#include "production/progress_run.h"
#include "records/dpi_setting.h"
#include "records/workspace_paths.h"
#include "widget_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {
using namespace ControlId;

QString StoredId() {
    return Profile::GetString("Version 1.0", "id");
}

TEST_F(MainWindowTest, InstallationIdentifierMadeOnceAndKept) {
    window.reset();
    Profile::SetString("Version 1.0", "id", QString());
    CMainDlg first(messages);
    const QString id = StoredId();
    EXPECT_TRUE(QRegularExpression("^[0-9]{10}$").match(id).hasMatch()) << id.toStdString();
    EXPECT_EQ(first.windowTitle(),
              QStringLiteral("景岚 - 影楼套版软件  (版本:001   ID:") + id + QStringLiteral(")"));
    CMainDlg second(messages);
    EXPECT_EQ(StoredId(), id);
    EXPECT_EQ(second.windowTitle(), first.windowTitle());
}

TEST_F(MainWindowTest, StartsWithTheFirstSetAndTheSamplePhotos) {
    auto* templates = static_cast<QListWidget*>(window->control(TemplateList));
    EXPECT_EQ(templates->count(), window->library().openSet().pages.size());
    ASSERT_GT(templates->count(), 0);
    EXPECT_EQ(templates->item(0)->text(), window->library().openSet().Labels().first());
    auto* photos = static_cast<QListWidget*>(window->control(PhotoList));
    EXPECT_EQ(photos->count(), 8);
    ASSERT_EQ(window->customerPhotos().size(), 8);
    for (int i = 0; i < photos->count(); ++i)
        EXPECT_EQ(photos->item(i)->text(), QFileInfo(window->customerPhotos()[i]).fileName());
}

TEST_F(MainWindowTest, DpiDialogOpensOnTheSettingAndStoresOnOk) {
    SetDpiText("254");
    const struct {
        int choose;
        bool ok;
        const char* opensWith;
        const char* stored;
    } steps[] = {{2, true, "254", "300"}, {0, false, "300", "300"}, {0, true, "300", "200"}};
    for (const auto& step : steps) {
        QString opened;
        WhenShown<CDpiDlg>([&](CDpiDlg* dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("DPI设置"));
            opened = dialog->choices()->currentText();
            dialog->choices()->setCurrentIndex(step.choose);
            const char* button = step.ok ? "确定" : "取消";
            for (auto* b : dialog->findChildren<QPushButton*>())
                if (b->text() == QString::fromUtf8(button))
                    QTest::mouseClick(b, Qt::LeftButton);
        });
        QTest::mouseClick(static_cast<QPushButton*>(window->control(Dpi)), Qt::LeftButton);
        EXPECT_EQ(opened, QString::fromUtf8(step.opensWith));
        EXPECT_EQ(DpiText(), QString::fromUtf8(step.stored));
    }
    SetDpiText("254");
}

TEST_F(MainWindowTest, ProductSelectionSizesThePage) {
    const QString task =
        MakeCustomer("王五", "13800000000", {{"相册", "20", "30"}, {"摆台", "20.5", "25"}});
    window->ChooseCustomer(task);
    auto* orders = static_cast<COrderList*>(window->control(OrderList));
    ASSERT_EQ(orders->count(), 3);
    EXPECT_EQ(orders->item(0)->text(), QStringLiteral("客人：王五\r\n电话：13800000000\r\n"));

    const struct {
        const char* dpi;
        int row;
        QSize page;
        const char* label;
    } cases[] = {{"254", 1, {2000, 3000}, "   输出 20,30cm"},
                 {"200", 2, {1574, 1968}, "   输出 20.5,25cm"},
                 {"300", 1, {2362, 3543}, "   输出 20,30cm"}};
    for (const auto& c : cases) {
        SetDpiText(c.dpi);
        orders->setCurrentRow(0); // the header changes nothing
        orders->setCurrentRow(c.row);
        EXPECT_EQ(window->pageSize(), c.page) << c.dpi;
        EXPECT_EQ(window->canvas().productSize(), c.page);
        EXPECT_EQ(window->sizeLabelText(), QString::fromUtf8(c.label));
        const QString before = window->sizeLabelText();
        orders->setCurrentRow(0);
        EXPECT_EQ(window->sizeLabelText(), before);
        EXPECT_EQ(window->pageSize(), c.page);
    }
    SetDpiText("254");
}

TEST_F(MainWindowTest, OrderListEntriesOnTheirColours) {
    window->ChooseCustomer(MakeCustomer("赵六", "1", {{"相册", "20", "30"}, {"摆台", "20", "25"}}));
    auto* orders = static_cast<COrderList*>(window->control(OrderList));
    QImage shot = GrabImage(orders->viewport());
    const QRect first = orders->visualItemRect(orders->item(0));
    const QRect second = orders->visualItemRect(orders->item(1));
    // Four lines of text wrap to more than one line's height.
    EXPECT_GT(second.height(), 3 * orders->fontMetrics().height());
    EXPECT_TRUE(
        PixelNear(shot, {first.right() - 2, first.top() + 1}, qRgb(173, 214, 238), "order-even"));
    EXPECT_TRUE(
        PixelNear(shot, {second.right() - 2, second.top() + 1}, qRgb(140, 197, 231), "order-odd"));
    orders->setCurrentRow(1);
    shot = GrabImage(orders->viewport());
    EXPECT_TRUE(PixelNear(shot, {second.right() - 2, second.top() + 1},
                          orders->palette().color(QPalette::Highlight).rgb(), "order-selected"));
}

TEST_F(MainWindowTest, ArrowsEscAndQuit) {
    auto* photos = static_cast<QListWidget*>(window->control(PhotoList));
    photos->setFocus();
    photos->setCurrentRow(0);
    QTest::keyClick(photos, Qt::Key_Right);
    QTest::keyClick(photos, Qt::Key_Down);
    EXPECT_EQ(photos->currentRow(), 0) << "arrows belong to the canvas";

    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(photos, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());

    ProgressRun run(100);
    run.Open();
    QTest::keyClick(photos, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(window->isVisible()) << "no quitting during a batch run";
    run.EndDialog(0);
    ASSERT_EQ(g_pProgressDlg.load(), nullptr);
    QTest::keyClick(photos, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, CanvasFrameAndToolbarPainted) {
    const QImage shot = GrabImage(window.get());
    const MainLayout& layout = window->currentLayout();
    const QRect frame = layout.CanvasFrame();
    EXPECT_TRUE(PixelNear(shot, frame.topLeft(), qRgb(255, 255, 255), "frame", 0));
    EXPECT_TRUE(PixelNear(shot, frame.bottomRight(), qRgb(255, 255, 255), "frame", 0));
    // The toolbar has drawn icons: not every pixel of its strip is one colour.
    const QPoint origin = ToolbarOrigin(layout.canvas);
    const QImage strip = shot.copy(origin.x(), origin.y(), 360, 26);
    int differing = 0;
    for (int x = 0; x < strip.width(); ++x)
        differing += strip.pixel(x, 13) != strip.pixel(0, 13);
    EXPECT_GT(differing, 50);
}
TEST_F(MainWindowTest, TemplateTestRunLoadsAndSavesEveryPage) {
    // A handful of pages shows the run; the whole demo library would only
    // make the test slow.
    while (window->library().templates().size() > 4)
        window->library().DropFirstTemplate();
    const int pages = window->library().templates().size();
    ASSERT_EQ(pages, 4);
    window->SetTemplateTestPacing(TemplateTestPacing{1, 1});
    QTest::keyClick(window.get(), Qt::Key_F3, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(messages.informed.value(0), QStringLiteral("测模板"));
    QTRY_COMPARE_WITH_TIMEOUT(messages.informed.size(), 2, 60000);
    EXPECT_EQ(messages.informed.at(1), QStringLiteral("完成"));
    EXPECT_TRUE(window->library().templates().isEmpty());
    // Without a customer every page went to the preview cache.
    CustomerTask saved;
    ASSERT_TRUE(saved.Load(PreviewCacheTaskPath()));
    EXPECT_EQ(saved.PageCount(), pages);
}

TEST_F(MainWindowTest, TheOrderBookChoosesAndComposesCustomers) {
    MakeCustomer("周九", "139", {{"摆台", "20", "30"}});
    const QString task = MakeCustomer("吴十", "137", {{"相册", "30", "30"}});
    // A page for 吴十, composed from the order book's batch.
    window->ChooseCustomer(task);
    static_cast<COrderList*>(window->control(OrderList))->setCurrentRow(1);
    ASSERT_TRUE(window->canvas().LoadTemplateFile(window->library().templates().first(), true));
    window->SaveComposition(true);
    ASSERT_EQ(window->task().PageCount(), 1);

    auto rowOf = [](CTaskListDlg* dialog, const QString& name) {
        for (int row = 0; row < dialog->list()->RowCount(); ++row)
            if (dialog->list()->CellText(row, 0) == name)
                return row;
        return -1;
    };
    WhenShown<CTaskListDlg>([&](CTaskListDlg* dialog) {
        dialog->list()->selectRow(rowOf(dialog, "吴十"));
        QTest::mouseClick(dialog->button(CTaskListDlg::ComposeSelected), Qt::LeftButton);
        dialog->list()->selectRow(rowOf(dialog, "周九"));
        QTest::mouseClick(dialog->button(CTaskListDlg::Open), Qt::LeftButton);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "still open: " << messages.informed.join(" | ").toStdString()
                          << " rows " << rowOf(dialog, "吴十") << "," << rowOf(dialog, "周九");
            dialog->reject();
        }
    });
    QTest::mouseClick(static_cast<QPushButton*>(window->control(Tasks)), Qt::LeftButton);
    auto* orders = static_cast<COrderList*>(window->control(OrderList));
    ASSERT_EQ(orders->count(), 2);
    EXPECT_EQ(orders->item(0)->text(), QStringLiteral("客人：周九\r\n电话：139\r\n"));
    EXPECT_EQ(window->customerName(), QStringLiteral("周九"));
    EXPECT_TRUE(QFileInfo::exists(QFileInfo(task).path() + "/big相册.jpg"));
}

TEST_F(MainWindowTest, ToolbarCellsAtTheirEdges) {
    ASSERT_TRUE(window->canvas().LoadTemplateFile(window->library().templates().first(), true));
    static_cast<QCheckBox*>(window->control(LockPortrait))->setChecked(false);
    window->canvas().SetCurrentSlot(0);
    const QRect canvas = window->currentLayout().canvas;
    const int below = canvas.bottom() + 1; // the first row under the canvas
    const int left = window->canvas().placement(0).left;
    const struct {
        QPoint at;
        int leftAfter;
    } clicks[] = {
        {{canvas.left() + 27, below + 10}, left - 1}, // cell 0: nudge left
        {{canvas.left() + 28, below + 10}, left},     // cell 1: nudge right
        {{canvas.left() + 28, below + 5}, left + 1},  // the strip's first row
        {{canvas.left() + 28, below + 33}, left + 1}, // 2 below the strip: nothing
        {{canvas.left() + 28, below + 4}, left + 1},  // above the strip: nothing
    };
    for (const auto& c : clicks) {
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, c.at);
        EXPECT_EQ(window->canvas().placement(0).left, c.leftAfter) << c.at.x() << "," << c.at.y();
    }
}
} // namespace
