// Two stations on one customer: the window is told who else has it open,
// keeps the other station's pages when it saves, and saves nothing while it
// cannot have the customer's lock.

#include "app/main_window/control_ids.h"
#include "app/orders/order_list.h"
#include "app_fixture.h"
#include "common/file_lock.h"
#include "compose/compose_canvas.h"
#include "production/new_page.h"
#include "records/customer_task.h"
#include "records/customer_update.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

namespace {
using namespace ControlId;

TEST_F(MainWindowTest, AnotherStationOnTheSameCustomer) {
    const QString taskPath = MakeCustomer("共享", "1", {{"相册", "30", "30"}});
    const QString folder = QFileInfo(taskPath).path();
    const QString page = base.file("模板/婚纱/浪漫经典/玫瑰之约/1.temp");
    ASSERT_TRUE(WriteBytes(folder + "/.station-4242@studio-pc2.open",
                           "studio-pc2 anna 4242 " +
                               QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8()));
    window->ChooseCustomer(taskPath);
    ASSERT_FALSE(messages.informed.isEmpty());
    EXPECT_TRUE(messages.informed.last().contains("studio-pc2 (anna)"))
        << qPrintable(messages.informed.last());
    static_cast<COrderList*>(window->control(OrderList))->setCurrentRow(1);
    ASSERT_TRUE(window->canvas().LoadTemplateFile(page, true));
    ASSERT_TRUE(window->canvas().PutPhoto(window->customerPhotos().first(), true, 0));

    // Meanwhile the other station saves a page of the same product.
    CComposeCanvas other;
    ASSERT_TRUE(other.LoadTemplateFile(page, true));
    ASSERT_TRUE(other.PutPhoto(window->customerPhotos().last(), true, 0));
    CustomerTask otherTask;
    ASSERT_TRUE(otherTask.Load(taskPath));
    SavePageRequest request;
    request.customerChosen = true;
    request.customerName = "共享";
    request.product = OrderLine{"相册", "30", "30", "1", "20"};
    RecordingMessages quiet;
    ASSERT_TRUE(SaveCanvasAsPage(request, other, otherTask, quiet).saved);

    QTest::mouseClick(static_cast<QPushButton*>(window->control(SavePage)), Qt::LeftButton);
    CustomerTask onDisk;
    ASSERT_TRUE(onDisk.Load(taskPath));
    ASSERT_EQ(onDisk.PageCount(), 2) << "the other station's page is kept";
    EXPECT_EQ(onDisk.pages[0]->Name(), "相册");
    EXPECT_EQ(onDisk.pages[1]->Name(), "相册-2");
    EXPECT_EQ(window->task().PageCount(), 2);

    // A live holder keeps the lock past the wait: nothing is written.
    ASSERT_TRUE(WriteBytes(CustomerLockPath(folder), FileLock::HolderText().toUtf8()));
    const QByteArray before = ReadBytes(taskPath);
    window->canvas().ClearSlots();
    ASSERT_TRUE(window->canvas().LoadTemplateFile(page, true));
    ASSERT_TRUE(window->canvas().PutPhoto(window->customerPhotos().first(), true, 0));
    QTest::mouseClick(static_cast<QPushButton*>(window->control(SavePage)), Qt::LeftButton);
    EXPECT_EQ(messages.informed.last(), "保存失败!");
    EXPECT_EQ(ReadBytes(taskPath), before);
    EXPECT_FALSE(QFileInfo::exists(folder + "/相册-3.jpg"));
}

} // namespace
