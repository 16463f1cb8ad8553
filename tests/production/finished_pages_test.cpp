// The finished pages of a task on disk: reopening one in the canvas,
// deleting one, renumbering numbered pages and previewing into the cache.

#include "production/finished_pages.h"

#include "common/messages.h"
#include "compose/compose_canvas.h"
#include "production/progress_run.h"
#include "production_fixture.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

void SetDpi(const QString& value) {
    QSettings(qEnvironmentVariable("TAOBAN_PROFILE_DIR") + "/QMRX-KVMO/taoban.ini",
              QSettings::IniFormat)
        .setValue("Version 1.0/dpi", value);
}

QStringList NamesOf(const CustomerTask& task) {
    QStringList names;
    for (const auto& page : task.pages)
        names.append(page->Name());
    return names;
}

QStringList NamesOnDisk(const QString& taskPath) {
    CustomerTask reread;
    return reread.Load(taskPath) ? NamesOf(reread) : QStringList{"(unreadable)"};
}

class FinishedPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetDpiSetting();
        TemplateBody body = MakeBody(QSize(400, 300), Qt::white, 2);
        templatePath = base.file("1.temp");
        WriteBytes(templatePath, SerializeTemplateBody(body));
        red = base.file("red.jpg");
        WriteBytes(red, Jpeg(Solid(300, 200, Qt::red)));
        blue = base.file("blue.jpg");
        WriteBytes(blue, Jpeg(Solid(300, 200, Qt::blue)));
        canvas.SetClientSize(QSize(1000, 750));
        ASSERT_TRUE(canvas.LoadTemplateFile(templatePath, true));
        ASSERT_TRUE(canvas.PutPhoto(red, true, 0));
    }
    void TearDown() override { ForgetDpiSetting(); }

    SavePageResult SaveFor(const QString& product, int selected = -1) {
        SavePageRequest r;
        r.customerChosen = true;
        r.customerName = "甲";
        r.customerDisplayName = "甲";
        r.product = OrderLine{product, "20", "30", "1", "10"};
        r.selectedPage = selected;
        return SaveCanvasAsPage(r, canvas, task, messages);
    }
    QString Folder() const { return CustomerFolder("甲"); }

    TestFolder base;
    QString templatePath, red, blue;
    CComposeCanvas canvas;
    CustomerTask task;
    RecordingMessages messages;
    const QList<OrderLine> products{
        {"", "", "", "", ""}, {"A", "20", "30", "1", "10"}, {"B", "20", "30", "1", "10"}};
};

TEST_F(FinishedPagesTest, DeletingA2LetsTheNextNewPageBeA2Again) {
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(SaveFor("A").saved);
    ASSERT_EQ(NamesOf(task), (QStringList{"A", "A-2", "A-3"}));
    // The page was rendered and has a further image; both go with it.
    WriteBytes(BigPageImagePath(Folder(), "A-2", ".jpg"), Jpeg(Solid(20, 20, Qt::red)));
    WriteBytes(Folder() + "/封面-A-2.jpg", Jpeg(Solid(20, 20, Qt::red)));

    ASSERT_TRUE(DeleteFinishedPage(task, 1, canvas, messages));
    EXPECT_EQ(messages.asked, QStringList{"确认删除吗？"});
    EXPECT_EQ(NamesOf(task), (QStringList{"A", "A-3"}));
    EXPECT_EQ(NamesOnDisk(task.Path()), (QStringList{"A", "A-3"}));
    for (const char* gone : {"A-2.jpg", "bigA-2.jpg", "封面-A-2.jpg", "dataA-2"})
        EXPECT_FALSE(QFileInfo::exists(Folder() + "/" + gone)) << gone;
    EXPECT_TRUE(QFileInfo::exists(PageDataFolder(Folder(), "A-3") + "/dat"));
    EXPECT_TRUE(canvas.photoBytes(0).isEmpty()); // the canvas was emptied

    canvas.PutPhoto(red, true, 0);
    EXPECT_EQ(SaveFor("A").pageName, "A-2");
    EXPECT_EQ(NamesOf(task), (QStringList{"A", "A-3", "A-2"}));
}

TEST_F(FinishedPagesTest, DeleteNeedsASelectionAndAYes) {
    ASSERT_TRUE(SaveFor("A").saved);
    struct Case {
        int selected;
        bool answer;
        QStringList informed, asked;
    };
    const Case cases[] = {
        {-1, true, {"请先选中您要删除的成品"}, {}},
        {0, false, {}, {"确认删除吗？"}},
    };
    for (const Case& c : cases) {
        RecordingMessages m(c.answer);
        EXPECT_FALSE(DeleteFinishedPage(task, c.selected, canvas, m));
        EXPECT_EQ(m.informed, c.informed);
        EXPECT_EQ(m.asked, c.asked);
        EXPECT_EQ(NamesOnDisk(task.Path()), QStringList{"A"});
        EXPECT_FALSE(canvas.photoBytes(0).isEmpty());
    }
}

TEST_F(FinishedPagesTest, AReopenedPageIsOverwrittenForItsProductAndLabelledFromItsPixels) {
    SetDpi("300");
    ASSERT_TRUE(SaveFor("A").saved);
    canvas.PutPhoto(blue, true, 0);
    canvas.placement(0).mirrorX = 1;
    ASSERT_TRUE(SaveFor("A").saved); // blue, mirrored
    canvas.ClearSlots();

    OpenedPage opened = OpenFinishedPage(task, 1, -1, canvas, products);
    EXPECT_TRUE(opened.loaded);
    EXPECT_FALSE(opened.removed);
    EXPECT_EQ(opened.selected, 1);
    EXPECT_EQ(canvas.placement(0).ToBytes(), task.pages[1]->placements[0].ToBytes());
    EXPECT_EQ(canvas.photoBytes(0), ReadBytes(blue));
    EXPECT_EQ(canvas.pageSize(), QSize(2362, 3543));
    EXPECT_TRUE(opened.relabel);
    EXPECT_EQ(opened.outputPart, "   输出 20,30cm");
    EXPECT_EQ(opened.sizeLabel, "模板 20,15cm   输出 20,30cm");
    EXPECT_EQ(opened.productRow, 1); // "A-2" cut before its "-"

    // Clicking it again reloads nothing, but relabels.
    canvas.placement(0).mirrorY = 1;
    opened = OpenFinishedPage(task, 1, 1, canvas, products);
    EXPECT_FALSE(opened.loaded);
    EXPECT_TRUE(opened.relabel);
    EXPECT_EQ(opened.selected, 1);
    EXPECT_EQ(opened.productRow, 1);
    EXPECT_EQ(canvas.placement(0).mirrorY, 1);

    // Changed and saved with A still selected: A-2 itself is overwritten.
    const SavePageResult saved = SaveFor("A", opened.selected);
    EXPECT_FALSE(saved.newPage);
    EXPECT_EQ(saved.pageName, "A-2");
    CustomerTask reread;
    ASSERT_TRUE(reread.Load(task.Path()));
    ASSERT_EQ(reread.PageCount(), 2);
    EXPECT_EQ(reread.pages[1]->placements[0].mirrorY, 1);
}

TEST_F(FinishedPagesTest, ABrokenPageIsRemovedOnClickAndNothingStaysSelected) {
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(SaveFor("A").saved);
    ASSERT_TRUE(QDir(PageDataFolder(Folder(), "A-2")).removeRecursively());
    const QByteArray shown = canvas.placement(0).ToBytes();

    const OpenedPage opened = OpenFinishedPage(task, 1, 0, canvas, products);
    EXPECT_TRUE(opened.removed);
    EXPECT_FALSE(opened.loaded);
    EXPECT_FALSE(opened.relabel);
    // Position 1 now holds A-3, which a save must not overwrite with the
    // page still in the canvas.
    EXPECT_EQ(opened.selected, -1);
    EXPECT_EQ(NamesOnDisk(task.Path()), (QStringList{"A", "A-3"}));
    EXPECT_FALSE(QFileInfo::exists(PageImagePath(Folder(), "A-2", ".jpg")));
    // Silently, and the canvas keeps what it showed.
    EXPECT_TRUE(messages.informed.isEmpty());
    EXPECT_EQ(canvas.placement(0).ToBytes(), shown);
    EXPECT_FALSE(canvas.photoBytes(0).isEmpty());
}

TEST_F(FinishedPagesTest, ADamagedRecordLeavesTheCanvasAndSelectsNothing) {
    ASSERT_TRUE(SaveFor("A").saved);
    canvas.placement(0).mirrorX = 1;
    ASSERT_TRUE(SaveFor("B").saved);
    WriteBytes(PageDataFolder(Folder(), "A") + "/dat", "garbage");
    const QByteArray shown = canvas.placement(0).ToBytes();

    const OpenedPage opened = OpenFinishedPage(task, 0, 1, canvas, products);
    EXPECT_FALSE(opened.loaded);
    EXPECT_FALSE(opened.removed);
    EXPECT_EQ(opened.selected, -1);
    EXPECT_EQ(canvas.placement(0).ToBytes(), shown);
    EXPECT_EQ(NamesOf(task), (QStringList{"A", "B"}));
}

TEST(ProductRowForTest, ExactNameFirstThenTheNameCutBeforeItsLastDash) {
    const QList<OrderLine> products{{"", "", "", "", ""},
                                    {"A", "", "", "", ""},
                                    {"A-B", "", "", "", ""},
                                    {"C-2", "", "", "", ""}};
    const struct {
        const char* page;
        int row;
    } cases[] = {
        {"A", 1},   {"A-2", 1},  {"A-B", 2},       {"A-B-3", 2},
        {"C-2", 3}, {"C-3", -1}, {"未知产品", -1}, {"-2", -1}, // the header has no name
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProductRowFor(QString::fromUtf8(c.page), products), c.row) << c.page;
}

TEST(OutputSizePartTest, PixelsBecomeCentimetresAtEachResolution) {
    const struct {
        QSize pixels;
        int dpi;
        const char* text;
    } cases[] = {
        {{2362, 3543}, 300, "   输出 20,30cm"},
        {{1574, 2362}, 200, "   输出 20,30cm"},
        {{2050, 1000}, 254, "   输出 20.5,10cm"},
        {{0, 0}, 254, "   输出 0,0cm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OutputSizePartFromPixels(c.pixels, c.dpi), QString::fromUtf8(c.text)) << c.text;
}

// Numbered pages 1, 2 and 4 on disk, each with its JPEG, and page 4 with a
// companion; a product page "A-4" of the same task keeps its own images.
TEST(RenumberTest, NumberedPagesCloseTheirGapWithTheirCompanions) {
    TestFolder base;
    QList<PageSetup> pages;
    for (const char* name : {"1", "2", "4", "A-4"}) {
        PageSetup page;
        page.name = name;
        page.width = page.height = 100;
        page.body = MakeBody(QSize(40, 30), Qt::white, 1);
        pages.append(page);
    }
    const QString taskPath = WriteCustomer("乙", pages);
    const QString folder = CustomerFolder("乙");
    for (const char* file : {"1.jpg", "2.jpg", "4.jpg", "big4.jpg", "封面-4.jpg", "A-4.jpg"})
        WriteBytes(folder + "/" + file, QByteArray(file));
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));

    RenumberNumberedPages(task);
    ASSERT_TRUE(task.Save()); // a removal reads the task as it is on disk
    EXPECT_EQ(NamesOf(task), (QStringList{"1", "2", "3", "A-4"}));
    EXPECT_EQ(ReadBytes(folder + "/3.jpg"), "4.jpg");
    EXPECT_EQ(ReadBytes(folder + "/big3.jpg"), "big4.jpg");
    EXPECT_EQ(ReadBytes(folder + "/封面-3.jpg"), "封面-4.jpg");
    EXPECT_TRUE(QFileInfo::exists(PageDataFolder(folder, "3") + "/dat"));
    for (const char* gone : {"4.jpg", "big4.jpg", "封面-4.jpg", "data4"})
        EXPECT_FALSE(QFileInfo::exists(folder + "/" + gone)) << gone;
    EXPECT_EQ(ReadBytes(folder + "/A-4.jpg"), "A-4.jpg");
    EXPECT_TRUE(QFileInfo::exists(PageDataFolder(folder, "1") + "/dat"));

    // Deleting page 1 through the task moves 2 and 3 down and keeps the
    // task's records pointing at their files.
    ASSERT_TRUE(RemoveFinishedPage(task, 0));
    EXPECT_EQ(NamesOnDisk(taskPath), (QStringList{"1", "2", "A-4"}));
    EXPECT_EQ(ReadBytes(folder + "/1.jpg"), "2.jpg");
    EXPECT_EQ(ReadBytes(folder + "/2.jpg"), "4.jpg");
    EXPECT_EQ(ReadBytes(folder + "/A-4.jpg"), "A-4.jpg");
    for (const QString& name : NamesOf(task))
        EXPECT_TRUE(QFileInfo::exists(PageDataFolder(folder, name) + "/dat")) << name.toStdString();
}

TEST_F(FinishedPagesTest, PreviewWithoutCustomerRendersFromThePreviewCache) {
    SavePageRequest none;
    const PreviewPlan plan = PrepareFinishedPagePreview(none, canvas, task, messages);
    EXPECT_TRUE(plan.save.saved);
    EXPECT_EQ(task.Path(), PreviewCacheTaskPath());
    ASSERT_EQ(plan.pageIndex, 0);
    EXPECT_EQ(plan.selected, 0);

    RecordingProgressRun run(100);
    run.Open();
    QString shown;
    ComposeEnvironment env;
    env.canvasSize = [] { return QSize(1000, 750); };
    env.openFile = [&shown](const QString& image) { shown = image; };
    RunPreviewPage(task, plan.pageIndex, run, env);
    const QString big = BigPageImagePath(PreviewCacheFolder(), "未知产品", ".jpg");
    EXPECT_EQ(shown, big);
    EXPECT_EQ(QImageReader(big).size(), QSize(2000, 1500)); // the template's size
    EXPECT_TRUE(run.IsClosed());
    EXPECT_EQ(run.Overall(), 100);
    EXPECT_FALSE(QFileInfo::exists(StatusFilePath(PreviewCacheFolder())));
}

TEST_F(FinishedPagesTest, PreviewWithoutTemplateRendersTheSelectedPageOnly) {
    ASSERT_TRUE(SaveFor("A").saved);
    ASSERT_TRUE(SaveFor("A").saved);
    CComposeCanvas empty;
    SavePageRequest request;
    request.selectedPage = 1;
    PreviewPlan plan = PrepareFinishedPagePreview(request, empty, task, messages);
    EXPECT_EQ(plan.pageIndex, 1);
    EXPECT_EQ(task.PageCount(), 2); // nothing saved

    request.selectedPage = -1;
    plan = PrepareFinishedPagePreview(request, empty, task, messages);
    EXPECT_EQ(plan.pageIndex, -1);
    CustomerTask noTask;
    request.selectedPage = 0;
    EXPECT_EQ(PrepareFinishedPagePreview(request, empty, noTask, messages).pageIndex, -1);
}

} // namespace
