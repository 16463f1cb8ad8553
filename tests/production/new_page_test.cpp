#include "production/new_page.h"

#include "common/gbk.h"
#include "common/messages.h"
#include "compose/canvas_size_file.h"
#include "compose/compose_canvas.h"
#include "production_fixture.h"
#include "records/customer_task.h"
#include "records/dpi_setting.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

class NewPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetDpiSetting();
        TemplateBody body = MakeBody(QSize(400, 300), Qt::white, 2);
        body.width = 2000; // 0.01 cm
        body.height = 1500;
        templatePath = base.file("1.temp");
        WriteBytes(templatePath, SerializeTemplateBody(body));
        photo = base.file("photo.jpg");
        WriteBytes(photo, Jpeg(QuadrantImage(600, 400)));
        canvas.SetClientSize(QSize(1000, 750));
        ASSERT_TRUE(canvas.LoadTemplateFile(templatePath, true));
        ASSERT_TRUE(canvas.PutPhoto(photo, true, 0));
    }
    void TearDown() override { ForgetDpiSetting(); }

    SavePageRequest ForCustomer(const QString& name, const QString& product = {}) {
        SavePageRequest r;
        r.customerChosen = true;
        r.customerName = name;
        r.customerDisplayName = name;
        if (!product.isEmpty())
            r.product = OrderLine{product, "20", "30", "1", "10"};
        return r;
    }
    SavePageResult Save(const SavePageRequest& request) {
        return SaveCanvasAsPage(request, canvas, task, messages);
    }
    QStringList PageNames() const {
        QStringList names;
        for (const auto& p : task.pages)
            names.append(p->Name());
        return names;
    }

    TestFolder base;
    QString templatePath, photo;
    CComposeCanvas canvas;
    CustomerTask task;
    RecordingMessages messages;
};

TEST_F(NewPageTest, PagesOfAProductAreNamedPThenPDash2AndSizedFromTheProduct) {
    QSettings(qEnvironmentVariable("TAOBAN_PROFILE_DIR") + "/QMRX-KVMO/taoban.ini",
              QSettings::IniFormat)
        .setValue("Version 1.0/dpi", "300");
    for (int i = 0; i < 3; ++i) {
        const SavePageResult r = Save(ForCustomer("甲", "A"));
        EXPECT_TRUE(r.saved);
        EXPECT_TRUE(r.newPage);
        EXPECT_EQ(r.pageIndex, i);
    }
    EXPECT_EQ(PageNames(), (QStringList{"A", "A-2", "A-3"}));
    const QString folder = CustomerFolder("甲");
    EXPECT_EQ(task.Path(), folder + "/1.tx");
    EXPECT_EQ(task.phone, "甲");
    EXPECT_EQ(task.pages[0]->width, 2362);
    EXPECT_EQ(task.pages[0]->height, 3543);
    // The saved file holds the three pages with the canvas's slot records.
    CustomerTask reread;
    ASSERT_TRUE(reread.Load(folder + "/1.tx"));
    ASSERT_EQ(reread.PageCount(), 3);
    EXPECT_EQ(reread.pages[2]->placements[0].ToBytes(), canvas.placement(0).ToBytes());
    for (const char* name : {"A", "A-2", "A-3"}) {
        EXPECT_TRUE(QImageReader(PageImagePath(folder, name, ".jpg")).canRead()) << name;
        LayoutRecord record;
        EXPECT_TRUE(ParseLayoutRecord(ReadBytes(PageDataFolder(folder, name) + "/dat"), record));
        EXPECT_EQ(record.photos.size(), 1);
        EXPECT_EQ(ReadCanvasSizeFile(PageDataFolder(folder, name)), QSize(1000, 750));
    }
    EXPECT_FALSE(canvas.modified());
    EXPECT_TRUE(messages.informed.isEmpty());

    // A freed name is taken again.
    QFile::remove(PageImagePath(folder, "A-2", ".jpg"));
    task.RemovePage(1);
    ASSERT_TRUE(task.Save()); // a save reads the task as it is on disk
    Save(ForCustomer("甲", "A"));
    EXPECT_EQ(PageNames(), (QStringList{"A", "A-3", "A-2"}));
}

TEST_F(NewPageTest, APageOfTheTaskKeepsItsNameWhenItsPreviewIsGone) {
    Save(ForCustomer("戊", "A"));
    const QString folder = CustomerFolder("戊");
    const QByteArray firstRecord = ReadBytes(PageDataFolder(folder, "A") + "/dat");
    ASSERT_FALSE(firstRecord.isEmpty());
    // The page's preview JPEG is lost; the page itself is still in the task.
    ASSERT_TRUE(QFile::remove(PageImagePath(folder, "A", ".jpg")));
    canvas.placement(0).mirrorY = 1;
    canvas.PutPhoto(photo, true, 1);

    const SavePageResult r = Save(ForCustomer("戊", "A"));
    EXPECT_TRUE(r.newPage);
    EXPECT_EQ(r.pageName, "A-2");
    EXPECT_EQ(PageNames(), (QStringList{"A", "A-2"}));
    // Page A still opens and renders with its own photos.
    EXPECT_TRUE(ReadBytes(PageDataFolder(folder, "A") + "/dat") == firstRecord);
}

TEST_F(NewPageTest, APageThatCannotBeWrittenIsReportedAndNotRecorded) {
    // A file where the page's data folder belongs stops its layout record.
    ASSERT_TRUE(QDir().mkpath(CustomerFolder("甲")));
    ASSERT_TRUE(WriteBytes(PageDataFolder(CustomerFolder("甲"), "A"), "not a folder"));
    const SavePageResult r = Save(ForCustomer("甲", "A"));
    EXPECT_FALSE(r.saved);
    EXPECT_EQ(messages.informed, QStringList{"保存失败!"});
    EXPECT_TRUE(PageNames().isEmpty());
    CustomerTask reread;
    ASSERT_TRUE(reread.Load(CustomerFolder("甲") + "/1.tx"));
    EXPECT_EQ(reread.PageCount(), 0);

    // A task file that cannot be replaced (a folder stands in its place):
    // no preview may claim the new page's name for a page the task lacks.
    ASSERT_TRUE(QDir().mkpath(CustomerFolder("乙") + "/1.tx"));
    messages.informed.clear();
    CustomerTask other;
    EXPECT_FALSE(SaveCanvasAsPage(ForCustomer("乙", "A"), canvas, other, messages).saved);
    EXPECT_EQ(messages.informed, QStringList{"保存失败!"});
    EXPECT_FALSE(QFileInfo::exists(PageImagePath(CustomerFolder("乙"), "A", ".jpg")));
}

TEST_F(NewPageTest, APageAboveTheLargestPrintIsRefusedBeforeAnythingIsWritten) {
    SetDpiText("300");
    SavePageRequest request = ForCustomer("甲");
    // 150 x 200 cm at 300 dpi: 17716 x 23622 pixels, 418 megapixels.
    request.product = OrderLine{"巨幅", "150", "200", "1", "1"};
    const SavePageResult r = Save(request);
    EXPECT_FALSE(r.saved);
    EXPECT_EQ(messages.informed, QStringList{"尺寸错误"});
    EXPECT_TRUE(PageNames().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(CustomerFolder("甲") + "/1.tx"));
    EXPECT_FALSE(QFileInfo::exists(CustomerFolder("甲") + "/巨幅.jpg"));
}

TEST_F(NewPageTest, StartingATaskByItselfKeepsThePagesAlreadyOnDisk) {
    // Pages saved into the preview cache earlier stay listed when the
    // program saves there again with no task open.
    SavePageRequest noCustomer;
    ASSERT_TRUE(Save(noCustomer).saved);
    CustomerTask fresh;
    const SavePageResult second = SaveCanvasAsPage(noCustomer, canvas, fresh, messages);
    ASSERT_TRUE(second.saved);
    CustomerTask reread;
    ASSERT_TRUE(reread.Load(PreviewCacheFolder() + "/1.tx"));
    ASSERT_EQ(reread.PageCount(), 2);
    EXPECT_EQ(reread.pages[0]->Name(), "未知产品");
    EXPECT_NE(reread.pages[1]->Name(), "未知产品");
}

TEST_F(NewPageTest, WithoutProductThePageIsUnknownProductAtTheTemplatesSize) {
    const SavePageResult first = Save(ForCustomer("乙"));
    EXPECT_EQ(first.pageName, "未知产品");
    EXPECT_EQ(task.pages[0]->width, 2000);
    EXPECT_EQ(task.pages[0]->height, 1500);
    // A second one must not take the first one's files.
    const SavePageResult second = Save(ForCustomer("乙"));
    EXPECT_EQ(second.pageName, "未知产品-2");
    EXPECT_TRUE(QFileInfo::exists(PageDataFolder(CustomerFolder("乙"), "未知产品") + "/dat"));
    EXPECT_TRUE(QFileInfo::exists(PageDataFolder(CustomerFolder("乙"), "未知产品-2") + "/dat"));
}

TEST_F(NewPageTest, ChosenCustomerWithoutNameIsRefusedOrGoesToThePreviewCache) {
    SavePageResult r = Save(ForCustomer(""));
    EXPECT_FALSE(r.saved);
    EXPECT_EQ(messages.informed, QStringList{"请先选择客人！"});
    EXPECT_TRUE(task.Path().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(TaskStoreFolder()));

    SavePageRequest unchecked = ForCustomer("");
    unchecked.customerCheck = false;
    r = Save(unchecked);
    EXPECT_TRUE(r.saved);
    EXPECT_EQ(r.customerName, "预览缓存");
    EXPECT_EQ(task.Path(), PreviewCacheTaskPath());
}

TEST_F(NewPageTest, NoCustomerAndNoTaskSavesIntoThePreviewCache) {
    SavePageRequest none;
    const SavePageResult r = Save(none);
    EXPECT_TRUE(r.saved);
    EXPECT_EQ(task.Path(), PreviewCacheTaskPath());
    EXPECT_TRUE(QFileInfo::exists(PageImagePath(PreviewCacheFolder(), "未知产品", ".jpg")));
    EXPECT_EQ(QFileInfo(PreviewCacheTaskPath()).size(), 100 + 3628);
}

TEST_F(NewPageTest, SelectedPageIsOverwrittenForItsOwnProductOnly) {
    Save(ForCustomer("丙", "A"));
    Save(ForCustomer("丙", "A"));
    canvas.ClearTemplateChanged();
    canvas.placement(0).mirrorX = 1;

    SavePageRequest again = ForCustomer("丙", "A");
    again.selectedPage = 1; // "A-2", cut before its "-" is the product
    SavePageResult r = Save(again);
    EXPECT_FALSE(r.newPage);
    EXPECT_EQ(r.pageIndex, 1);
    EXPECT_EQ(task.PageCount(), 2);
    EXPECT_EQ(task.pages[1]->placements[0].mirrorX, 1);

    SavePageRequest other = ForCustomer("丙", "B");
    other.selectedPage = 1;
    r = Save(other);
    EXPECT_TRUE(r.newPage);
    EXPECT_EQ(r.pageName, "B");

    // A template loaded since the page was opened makes a new page too.
    WriteBytes(base.file("2.temp"), ReadBytes(templatePath));
    ASSERT_TRUE(canvas.LoadTemplateFile(base.file("2.temp"), true));
    r = Save(again);
    EXPECT_TRUE(r.newPage);
    EXPECT_EQ(r.pageName, "A-3");
}

TEST_F(NewPageTest, LongProductNamesAreCutToThePageRecordKeepingTheNumber) {
    const QString longName = QString(60, QChar(0x76F8)); // 120 GBK bytes
    Save(ForCustomer("丁", longName));
    Save(ForCustomer("丁", longName));
    ASSERT_EQ(task.PageCount(), 2);
    const QString first = task.pages[0]->Name();
    const QString second = task.pages[1]->Name();
    EXPECT_EQ(ToGbk(first).size(), 98); // 49 whole characters within 99 bytes
    EXPECT_TRUE(second.endsWith("-2"));
    EXPECT_LE(ToGbk(second).size(), 99);
    EXPECT_NE(first, second);
    EXPECT_TRUE(QFileInfo::exists(PageImagePath(CustomerFolder("丁"), second, ".jpg")));
}

} // namespace
