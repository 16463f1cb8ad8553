// The customer's review from the windows: "审阅" in the task list opens it
// with its link and QR code, a phone's decisions show on the finished pages
// and in the canvas, the chosen photos come into the photo area, and the
// export asks before printing pages nobody approved.

#include "app/main_window/canvas_view.h"
#include "app/main_window/control_ids.h"
#include "app/orders/order_list.h"
#include "app/orders/review_dialog.h"
#include "app/orders/review_serving.h"
#include "app/orders/task_list_dialog.h"
#include "app/photo_and_page_areas/thumbnail_list.h"
#include "app_fixture.h"
#include "common/profile.h"
#include "controls/sort_list_ctrl.h"
#include "modal_helper.h"
#include "records/task_list.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <httplib.h>

namespace {
using namespace ControlId;

class ReviewWindowTest : public MainWindowTest {
protected:
    CThumbnailList* pages() { return static_cast<CThumbnailList*>(window->control(FinishedList)); }
    void Press(int id) {
        QTest::mouseClick(static_cast<QPushButton*>(window->control(id)), Qt::LeftButton);
    }
};

TEST_F(ReviewWindowTest, OpenedFromTheTaskListDecidedOnAPhoneShownInTheWindows) {
    // Any free port: test programs run side by side.
    Profile::SetString("review", "port", "0");
    window->ChooseCustomer(MakeCustomer("张三", "1", {{"相册", "30", "30"}}));
    static_cast<COrderList*>(window->control(OrderList))->setCurrentRow(1);
    for (const char* page : {"1.temp", "2.temp"}) {
        ASSERT_TRUE(window->canvas().LoadTemplateFile(
            base.file(QStringLiteral("模板/婚纱/浪漫经典/玫瑰之约/") + page), true));
        Press(SavePage);
    }
    ASSERT_EQ(pages()->count(), 2);

    QString link, column;
    QImage qr;
    bool folderAsked = false;
    WhenShown<CTaskListDlg>([&](CTaskListDlg* tasks) {
        tasks->list()->selectRow(0);
        WhenShown<CReviewDlg>([&](CReviewDlg* review) {
            review->photoFolder()->setText(base.file("样片"));
            review->chooseCount()->setValue(3);
            QTest::mouseClick(review->openButton(), Qt::LeftButton);
            link = review->link()->text();
            qr = review->qrCode()->pixmap().toImage();
            review->accept();
        });
        QTest::mouseClick(tasks->button(CTaskListDlg::Review), Qt::LeftButton);
        column = tasks->list()->CellText(0, kTaskReviewColumn);
        tasks->reject();
    });
    Press(Tasks);
    const auto m = QRegularExpression(R"(^http://.+:(\d+)/r/([0-9a-f]{32})/$)").match(link);
    ASSERT_TRUE(m.hasMatch()) << link.toStdString();
    ASSERT_TRUE(window->reviewServing().running());
    EXPECT_EQ(m.captured(1).toInt(), window->reviewServing().port());
    EXPECT_EQ(column, QStringLiteral("0/2 通过"));
    // The QR code's finder patterns: dark ring, light ring, dark core, with
    // modules of 5 pixels inside a quiet zone of 4 modules.
    ASSERT_FALSE(qr.isNull());
    const int last = qr.width() - 1 - 20;
    for (const QPoint corner : {QPoint(20, 20), QPoint(last - 34, 20), QPoint(20, last - 34)})
        for (const auto& [module, dark] : {std::pair{0, true}, {1, false}, {3, true}})
            EXPECT_EQ(qGray(qr.pixel(corner + QPoint(module * 5 + 2, module * 5 + 2))) < 128, dark)
                << corner.x() << "," << corner.y() << " module " << module;

    // The customer on the phone.
    httplib::Client phone("127.0.0.1", m.captured(1).toInt());
    const std::string r = "/r/" + m.captured(2).toStdString() + "/api/";
    const auto post = [&](const std::string& path, const std::string& body) {
        const httplib::Result res = phone.Post(r + path, body, "application/json");
        return res ? res->status : -1;
    };
    EXPECT_EQ(post("pages/1", R"({"state": "approved"})"), 200);
    EXPECT_EQ(post("pages/2", R"({"state": "changes", "comment": "<i>亮一点</i>",
                                  "pin": [0.5, 0.5]})"),
              200);
    EXPECT_EQ(post("photos/1", R"({"chosen": true})"), 200);
    EXPECT_EQ(post("photos/3", R"({"chosen": true})"), 200);

    QTRY_VERIFY_WITH_TIMEOUT(pages()->item(0)->text().endsWith(QStringLiteral("客人已通过")), 5000);
    EXPECT_EQ(pages()->item(1)->text(), QStringLiteral("相册-2.jpg\r\n客人要修改"));
    EXPECT_EQ(pages()->item(1)->toolTip(), QStringLiteral("<p>&lt;i&gt;亮一点&lt;/i&gt;</p>"));

    // The pin on the page as the canvas shows it, never in the page itself.
    QTest::mouseClick(pages()->viewport(), Qt::LeftButton, {},
                      pages()->visualItemRect(pages()->item(1)).center());
    ASSERT_EQ(window->selectedPage(), 1);
    const CComposeCanvas& canvas = window->canvas();
    const QPoint pin = QPoint(canvas.displaySize().width() / 2, canvas.displaySize().height() / 2);
    const QImage shown = window->canvasView()->grab().toImage();
    EXPECT_TRUE(
        Near(shown.pixel(canvas.displayOrigin() + pin + QPoint(6, 0)), qRgb(0xe0, 0x30, 0x1e)))
        << std::hex << shown.pixel(canvas.displayOrigin() + pin + QPoint(6, 0));
    EXPECT_FALSE(Near(canvas.backBuffer().pixel(pin + QPoint(6, 0)), qRgb(0xe0, 0x30, 0x1e), 40));

    Press(ImportChosen);
    EXPECT_EQ(window->customerPhotos(),
              (QStringList{base.file("样片/样片01.jpg"), base.file("样片/样片03.jpg")}));

    // Printing a page the customer wants changed needs the operator's word.
    messages.SetAnswer(false);
    WhenShown<CTaskListDlg>([&](CTaskListDlg* tasks) {
        tasks->SetFolderChooser([&] {
            folderAsked = true;
            return QString();
        });
        tasks->list()->selectRow(0);
        QTest::mouseClick(tasks->button(CTaskListDlg::Export), Qt::LeftButton);
        tasks->reject();
    });
    Press(Tasks);
    ASSERT_FALSE(messages.asked.isEmpty());
    EXPECT_TRUE(messages.asked.last().startsWith(
        QStringLiteral("有 1 版客人尚未通过:\n相册-2: 客人要求修改 (<i>亮一点</i>)")))
        << messages.asked.last().toStdString();
    EXPECT_FALSE(folderAsked);
}

} // namespace
