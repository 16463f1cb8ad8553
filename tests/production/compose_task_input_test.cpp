// The batch worker given damaged or unusual input: it skips, stops or goes
// on as a studio expects, never crashes and never leaves half a file.

#include "production/compose_task.h"
#include "production/progress_run.h"
#include "production_fixture.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <gtest/gtest.h>

#include <thread>

namespace {

using Events = std::vector<ProgressEvent>;
constexpr auto kSet = ProgressEvent::SetCurrent;
constexpr auto kAdd = ProgressEvent::AddToTotal;
constexpr auto kEnd = ProgressEvent::EndDialog;

ComposeEnvironment Canvas1000() {
    ComposeEnvironment env;
    env.canvasSize = [] { return QSize(1000, 750); };
    return env;
}

PageSetup Page(const QString& name) {
    PageSetup page;
    page.name = name;
    page.width = 400;
    page.height = 300;
    page.body = MakeBody(QSize(200, 150), Qt::white, 1);
    page.photos[0] = Jpeg(Solid(300, 200, Qt::red));
    page.placements[0] = Placement(Rect{0, 0, 500, 375});
    return page;
}

// Files in a folder tree, so a test can see that nothing else was written.
QStringList FilesUnder(const QString& folder) {
    QStringList out;
    QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        out += info.isDir() ? FilesUnder(info.filePath()) : QStringList{info.filePath()};
    out.sort();
    return out;
}

const Events kSkippedOnePage{{kSet, 0}, {kSet, 100}, {kAdd, 100}, {kSet, 100}, {kAdd, 100}};

struct WorkerRun {
    RecordingProgressRun run{100};
    int result = -1;
    WorkerRun(const QString& taskPath, int pageIndex = -1) {
        CustomerTask task;
        task.Load(taskPath);
        run.Open();
        result = ComposeTask(pageIndex, task, &run, Canvas1000());
    }
};

class ComposeTaskInputTest : public ::testing::Test {
protected:
    TestFolder base;
};

TEST_F(ComposeTaskInputTest, LayoutRecordCutAnywhereSkipsThePage) {
    const QString taskPath = WriteCustomer("甲", {Page("P")});
    const QString folder = QFileInfo(taskPath).path();
    const QString dat = PageDataFolder(folder, "P") + "/dat";
    const QByteArray whole = ReadBytes(dat);
    const QByteArray body = SerializeTemplateBody(Page("P").body);
    const QList<qsizetype> cuts{0,
                                3,
                                4,
                                5,
                                40,
                                body.size() / 2,
                                4 + body.size() - 1,
                                4 + body.size(),
                                4 + body.size() + 6,
                                whole.size() - 1};
    for (qsizetype cut : cuts) {
        ASSERT_TRUE(WriteBytes(dat, whole.left(cut)));
        WorkerRun r(taskPath);
        EXPECT_EQ(r.result, 1) << cut;
        EXPECT_EQ(r.run.Events(), kSkippedOnePage) << cut;
        EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(folder, "P", ".jpg"))) << cut;
        EXPECT_FALSE(QFileInfo::exists(StatusFilePath(folder))) << cut;
    }
    // The whole record renders, so the cuts above were what stopped it.
    ASSERT_TRUE(WriteBytes(dat, whole));
    WorkerRun r(taskPath);
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(folder, "P", ".jpg")));
}

TEST_F(ComposeTaskInputTest, BodyWithoutMarkerEndsTheTaskWithoutProgressAndTheRunGoesOn) {
    const QString first = WriteCustomer("乙", {Page("P"), Page("Q"), Page("R")});
    const QString folder = QFileInfo(first).path();
    const QString dat = PageDataFolder(folder, "Q") + "/dat";
    QByteArray bytes = ReadBytes(dat);
    bytes[4] = static_cast<char>(199);
    ASSERT_TRUE(WriteBytes(dat, bytes));
    const QString second = WriteCustomer("丙", {Page("P")});

    {
        WorkerRun r(first);
        EXPECT_EQ(r.result, 1);
        // Page 1's values, then nothing: trunc(0.98 * 33) = 32 is the last.
        EXPECT_EQ(r.run.CurrentValues().back(), 32);
        EXPECT_EQ(r.run.Overall(), 32);
        EXPECT_FALSE(r.run.IsClosed());
    }
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(folder, "P", ".jpg")));
    EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(folder, "Q", ".jpg")));
    EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(folder, "R", ".jpg")));
    EXPECT_EQ(ReadBytes(StatusFilePath(folder)), QByteArray("<s>1/3</s>"));

    // In a task run the next task is rendered, and the run is closed when
    // the worker ends although its maximum (200) was never reached.
    QFile::remove(StatusFilePath(folder));
    RecordingProgressRun run(QStringList{first, second});
    run.Open();
    std::thread worker(TaskRunThreadProc, &run, Canvas1000());
    worker.join();
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(QFileInfo(second).path(), "P", ".jpg")));
    EXPECT_EQ(run.Overall(), 100);
    EXPECT_EQ(run.Events().back(), (ProgressEvent{kEnd, 0}));
    EXPECT_TRUE(run.IsClosed());
    EXPECT_EQ(g_pProgressDlg.load(), nullptr);
}

TEST_F(ComposeTaskInputTest, UnreadableTaskFileIsLeftOutAndTheRunStillCloses) {
    const QString good = WriteCustomer("丁", {Page("P")});
    RecordingProgressRun run(QStringList{base.file("套版缓存/无此客人/1.tx"), good});
    run.Open();
    std::thread worker(TaskRunThreadProc, &run, Canvas1000());
    worker.join();
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(QFileInfo(good).path(), "P", ".jpg")));
    EXPECT_EQ(run.Overall(), 100);
    EXPECT_TRUE(run.IsClosed());
    EXPECT_FALSE(QDir(base.file("套版缓存/无此客人")).exists());
}

TEST_F(ComposeTaskInputTest, MissingDataFolderOrEmptyPageSizeSkipsOnlyThatPage) {
    PageSetup noSize = Page("N");
    noSize.width = 0;
    const QString taskPath = WriteCustomer("戊", {Page("P"), Page("Q"), noSize});
    const QString folder = QFileInfo(taskPath).path();
    ASSERT_TRUE(QDir(PageDataFolder(folder, "Q")).removeRecursively());
    RecordingProgressRun run(300); // large enough that skips do not close it
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    run.Open();
    EXPECT_EQ(ComposeTask(-1, task, &run, Canvas1000()), 1);
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(folder, "P", ".jpg")));
    EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(folder, "Q", ".jpg")));
    EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(folder, "N", ".jpg")));
    EXPECT_EQ(ReadBytes(StatusFilePath(folder)), QByteArray("<s>1/3</s>"));
    EXPECT_EQ(run.Overall(), 300); // two skips and the task's end
}

TEST_F(ComposeTaskInputTest, PhotoThatDoesNotDecodeLeavesItsSlotEmpty) {
    PageSetup page = Page("P");
    page.photos[0] = QByteArray("\xFF\xD8\xFF\xE0 not really a jpeg");
    const QString taskPath = WriteCustomer("己", {page});
    WorkerRun r(taskPath);
    const QImage out =
        QImageReader(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg")).read();
    ASSERT_EQ(out.size(), QSize(400, 300));
    EXPECT_TRUE(Near(out.pixel(100, 75), qRgb(255, 255, 255), 20)); // background only
    // Its progress value is still reported.
    const std::vector<int> values = r.run.CurrentValues();
    EXPECT_EQ(std::vector<int>(values.begin(), values.begin() + 4),
              (std::vector<int>{0, 5, 5, 15}));
}

TEST_F(ComposeTaskInputTest, PhotoEntriesOutsideTheTwentySlotsAreIgnored) {
    PageSetup page = Page("P");
    page.photos[25] = Jpeg(Solid(50, 50, Qt::green));
    page.photos[0xFFFFFFFF] = Jpeg(Solid(50, 50, Qt::green));
    const QString taskPath = WriteCustomer("庚", {page});
    WorkerRun r(taskPath);
    const QImage out =
        QImageReader(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg")).read();
    EXPECT_TRUE(Near(out.pixel(100, 75), qRgb(255, 0, 0), 20));
    // R = 1: each entry advances by trunc(10 / 1) = 10.
    const std::vector<int> values = r.run.CurrentValues();
    EXPECT_EQ(std::vector<int>(values.begin(), values.begin() + 6),
              (std::vector<int>{0, 5, 5, 15, 25, 15}));
}

TEST_F(ComposeTaskInputTest, BackSlotWithAPhotoButNoAreaStillReportsItsProgress) {
    PageSetup page = Page("P");
    page.body = MakeBody(QSize(200, 150), Qt::white, 2);
    // Slot 0 holds a photo but its rectangle is empty: nothing of it shows,
    // yet the slot has a photo and its value in the first pass is due.
    page.placements[0] = Placement(Rect{100, 100, 100, 100});
    page.photos[1] = Jpeg(Solid(300, 200, Qt::blue));
    page.placements[1] = Placement(Rect{500, 375, 1000, 750});
    const QString taskPath = WriteCustomer("卯", {page});
    WorkerRun r(taskPath);
    const QImage out =
        QImageReader(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg")).read();
    ASSERT_EQ(out.size(), QSize(400, 300));
    EXPECT_TRUE(Near(out.pixel(100, 75), qRgb(255, 255, 255), 20));
    EXPECT_TRUE(Near(out.pixel(300, 225), qRgb(0, 0, 255), 20));
    // R = 2, step 100: photos advance by 5, back slots by 20 per slot index.
    EXPECT_EQ(r.run.CurrentValues(),
              (std::vector<int>{0, 5, 5, 10, 15, 18, 20, 42, 42, 62, 82, 84, 95, 98, 100}));
}

TEST_F(ComposeTaskInputTest, TemplateWithoutRectanglesAdvancesByNothingPerPhotoAndSlot) {
    PageSetup page = Page("P");
    page.body = MakeBody(QSize(200, 150), Qt::white, 0);
    const QString taskPath = WriteCustomer("辛", {page});
    WorkerRun r(taskPath);
    EXPECT_EQ(r.run.CurrentValues(),
              (std::vector<int>{0, 5, 5, 15, 18, 20, 42, 42, 82, 84, 95, 98, 100}));
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg")));
}

TEST_F(ComposeTaskInputTest, TaskWithoutPagesIsDoneAtOnce) {
    const QString taskPath = WriteCustomer("壬", {});
    WorkerRun r(taskPath);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.run.Events(), (Events{{kSet, 0}, {kSet, 100}, {kAdd, 100}}));
    EXPECT_TRUE(r.run.IsClosed());
    EXPECT_FALSE(QFileInfo::exists(StatusFilePath(QFileInfo(taskPath).path())));
}

TEST_F(ComposeTaskInputTest, PageRunOfAPageThatDoesNotExistIsSkipped) {
    const QString taskPath = WriteCustomer("癸", {Page("P")});
    WorkerRun r(taskPath, 5);
    EXPECT_EQ(r.run.Events(),
              (Events{{kSet, 0}, {kSet, 100}, {kAdd, 100}, {kSet, 100}, {kAdd, 100}}));
    EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg")));
}

TEST_F(ComposeTaskInputTest, BrokenBackgroundOrOverlaySkipsThePageAfterThePhotos) {
    PageSetup badBackground = Page("B");
    badBackground.body.background = "no picture";
    PageSetup badOverlay = Page("O");
    badOverlay.body.overlay = "no picture either";
    for (const PageSetup& page : {badBackground, badOverlay}) {
        const QString taskPath = WriteCustomer("子" + page.name, {page});
        WorkerRun r(taskPath);
        EXPECT_FALSE(
            QFileInfo::exists(BigPageImagePath(QFileInfo(taskPath).path(), page.name, ".jpg")));
        // The photo values and the values up to the failing image, then the
        // skip's 100 and the task's end.
        const std::vector<int> expected = page.name == "B"
                                              ? std::vector<int>{0, 5, 5, 15, 18, 100, 100}
                                              : std::vector<int>{0, 5, 5, 15, 100, 100};
        EXPECT_EQ(r.run.CurrentValues(), expected) << page.name.toStdString();
    }
}

TEST_F(ComposeTaskInputTest, PageNameWithAFolderSeparatorWritesNothingOutsideTheCustomer) {
    PageSetup page = Page("P");
    const QString taskPath = WriteCustomer("丑", {page});
    const QString folder = QFileInfo(taskPath).path();
    // A page whose name would lead out of the customer folder.
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    task.pages[0]->SetName("/../../escape");
    ASSERT_TRUE(task.Save());
    QDir().mkpath(base.file("escape"));
    WriteBytes(base.file("escape/dat"), ReadBytes(PageDataFolder(folder, "P") + "/dat"));
    const QStringList before = FilesUnder(base.path());
    WorkerRun r(taskPath);
    EXPECT_EQ(FilesUnder(base.path()), before);
    EXPECT_EQ(r.run.Events(), kSkippedOnePage);
}

TEST_F(ComposeTaskInputTest, UnwritableCustomerFolderLeavesNoStatusAndNoHalfFile) {
    const QString taskPath = WriteCustomer("寅", {Page("P")});
    const QString folder = QFileInfo(taskPath).path();
    // The page image's name is taken by a folder, so it cannot be written.
    QDir().mkpath(BigPageImagePath(folder, "P", ".jpg"));
    const QStringList before = FilesUnder(folder);
    WorkerRun r(taskPath);
    EXPECT_EQ(FilesUnder(folder), before);
    EXPECT_FALSE(QFileInfo::exists(StatusFilePath(folder)));
    EXPECT_TRUE(r.run.IsClosed());
}

} // namespace
