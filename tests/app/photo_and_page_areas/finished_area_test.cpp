// Finished pages from the main window: save, reopen, delete, preview, copy.

#include "app/main_window/control_ids.h"
#include "app/orders/order_list.h"
#include "app/photo_and_page_areas/thumbnail_list.h"
#include "app_fixture.h"
#include "modal_helper.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {
using namespace ControlId;

class FinishedAreaTest : public MainWindowTest {
protected:
    CThumbnailList* pages() { return static_cast<CThumbnailList*>(window->control(FinishedList)); }
    void ClickPage(int row) {
        const QRect r = row >= 0 ? pages()->visualItemRect(pages()->item(row))
                                 : QRect(pages()->viewport()->rect().bottomRight() - QPoint(10, 10),
                                         QSize(1, 1));
        QTest::mouseClick(pages()->viewport(), Qt::LeftButton, {}, r.center());
    }
    void Press(int id) {
        QTest::mouseClick(static_cast<QPushButton*>(window->control(id)), Qt::LeftButton);
    }
    void ComposeAndSave(const char* page) {
        ASSERT_TRUE(window->canvas().LoadTemplateFile(
            base.file(QStringLiteral("模板/婚纱/浪漫经典/玫瑰之约/") + page), true));
        ASSERT_TRUE(window->canvas().PutPhoto(window->customerPhotos().first(), true, 0));
        Press(SavePage);
    }
};

TEST_F(FinishedAreaTest, SaveReopenDeleteAndPreview) {
    window->ChooseCustomer(MakeCustomer("孙八", "1", {{"相册", "30", "30"}, {"摆台", "20", "30"}}));
    auto* orders = static_cast<COrderList*>(window->control(OrderList));
    orders->setCurrentRow(1);
    for (const char* page : {"1.temp", "2.temp", "3.temp"})
        ComposeAndSave(page);
    ASSERT_EQ(pages()->count(), 3);
    EXPECT_EQ(pages()->item(1)->text(), QStringLiteral("相册-2.jpg"));
    EXPECT_EQ(window->selectedPage(), 2);

    // Reopening a page shows its size and product, without resizing it.
    orders->setCurrentRow(2);
    ClickPage(1);
    EXPECT_EQ(window->selectedPage(), 1);
    EXPECT_EQ(window->sizeLabelText(), QStringLiteral("模板 30,30cm   输出 30,30cm"));
    EXPECT_EQ(orders->currentRow(), 1);
    EXPECT_EQ(window->pageSize(), QSize(3000, 3000));

    ClickPage(-1);
    EXPECT_EQ(window->selectedPage(), -1);
    Press(DeletePage);
    EXPECT_EQ(messages.informed.value(0), QStringLiteral("请先选中您要删除的成品"));
    ClickPage(1);
    messages.SetAnswer(false);
    Press(DeletePage);
    EXPECT_EQ(messages.asked.value(0), QStringLiteral("确认删除吗？"));
    EXPECT_EQ(pages()->count(), 3);
    messages.SetAnswer(true);
    Press(DeletePage);
    ASSERT_EQ(pages()->count(), 2);
    EXPECT_EQ(window->task().PageCount(), 2);
    EXPECT_FALSE(QFileInfo::exists(window->task().Folder() + "/相册-2.jpg"));

    QStringList opened;
    window->SetFileOpener([&opened](const QString& path) { opened << path; });
    ClickPage(0);
    QTest::keyClick(window.get(), Qt::Key_F5);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(QFileInfo(opened.first()).fileName(), QStringLiteral("big相册.jpg"));
    EXPECT_TRUE(QFileInfo(opened.first()).size() > 0);
}

TEST_F(FinishedAreaTest, SavingAnEmptyCanvasWithoutACustomerStartsNoTask) {
    Press(SavePage);
    EXPECT_TRUE(window->task().Path().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(base.file("套版缓存")));
    EXPECT_TRUE(messages.informed.isEmpty());
    EXPECT_EQ(pages()->count(), 0);
    // A composition without a customer still goes to the preview cache.
    ComposeAndSave("1.temp");
    EXPECT_EQ(QFileInfo(window->task().Folder()).fileName(), QStringLiteral("预览缓存"));
    EXPECT_EQ(pages()->count(), 1);
}

// Right-click on a page of 相册, "复制到其他产品", 摆台: the album's pages
// become 摆台's, at its size, with the pages to look at named.
TEST_F(FinishedAreaTest, ContextMenuCopiesAProductsPagesToAnother) {
    window->ChooseCustomer(MakeCustomer("孙八", "1", {{"相册", "30", "30"}, {"摆台", "20", "30"}}));
    static_cast<COrderList*>(window->control(OrderList))->setCurrentRow(1);
    for (const char* page : {"1.temp", "2.temp"})
        ComposeAndSave(page);
    ASSERT_EQ(pages()->count(), 2);

    WhenShown<QMenu>([](QMenu* menu) {
        ASSERT_EQ(menu->actions().value(0)->text(), QStringLiteral("复制到其他产品"));
        WhenShown<QMenu>([](QMenu* products) {
            ASSERT_EQ(products->actions().size(), 1);
            EXPECT_EQ(products->actions()[0]->text(), QStringLiteral("摆台"));
            QTest::keyClick(products, Qt::Key_Return);
        });
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Right);
    });
    const QPoint at = pages()->visualItemRect(pages()->item(1)).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, pages()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(pages()->viewport(), &click);

    ASSERT_EQ(pages()->count(), 4);
    EXPECT_EQ(pages()->item(3)->text(), QStringLiteral("摆台-2.jpg"));
    const QString said = messages.informed.value(0);
    EXPECT_TRUE(
        said.startsWith(QStringLiteral("已复制 2 页到 摆台!\n请检查:\n摆台: 第1位裁切变化较大")))
        << said.toStdString();
    ClickPage(3);
    EXPECT_EQ(window->sizeLabelText(), QStringLiteral("模板 30,30cm   输出 20,30cm"));
    EXPECT_EQ(window->pageSize(), QSize(2000, 3000));
}
} // namespace
