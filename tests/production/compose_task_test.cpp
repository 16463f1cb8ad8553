// The batch worker end to end on real customer folders: files it writes,
// progress values it reports, and how it stops.

#include "production/compose_task.h"
#include "production/progress_run.h"
#include "production/status_file.h"
#include "production_fixture.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include "common/profile.h"
#include "compose/canvas_size_file.h"
#include "raster/raster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace {

using Events = std::vector<ProgressEvent>;
constexpr auto kSet = ProgressEvent::SetCurrent;
constexpr auto kAdd = ProgressEvent::AddToTotal;
constexpr auto kEnd = ProgressEvent::EndDialog;

ComposeEnvironment Canvas(QSize size) {
    ComposeEnvironment env;
    env.canvasSize = [size] { return size; };
    return env;
}

// A 400 x 300 page composed on a 1000 x 750 canvas: slot rectangles scale
// by 0.4 onto the page.
PageSetup SimplePage(const QString& name, QColor photo = Qt::red) {
    PageSetup page;
    page.name = name;
    page.width = 400;
    page.height = 300;
    page.body = MakeBody(QSize(200, 150), Qt::white, 1);
    page.photos[0] = Jpeg(Solid(300, 200, photo));
    page.placements[0] = Placement(Rect{0, 0, 500, 375});
    return page;
}

QImage ReadImage(const QString& path) {
    QImageReader reader(path);
    return reader.read();
}

QString StatusText(const QString& folder) {
    return QString::fromLatin1(ReadBytes(StatusFilePath(folder)));
}

class ComposeTaskTest : public ::testing::Test {
protected:
    void SetUp() override { ForgetDpiSetting(); }
    void TearDown() override { ForgetDpiSetting(); }
    TestFolder base;
};

TEST_F(ComposeTaskTest, OnePageReportsEveryValueOfTheScheduleInOrder) {
    PageSetup page = SimplePage("A");
    page.body = MakeBody(QSize(200, 150), Qt::white, 4);
    page.photos.clear();
    page.photos[0] = Jpeg(Solid(100, 100, Qt::red));
    page.photos[2] = Jpeg(Solid(100, 100, Qt::green));
    page.photos[3] = Jpeg(Solid(100, 100, Qt::blue));
    page.placements[0] = Placement(Rect{0, 0, 250, 250});
    page.placements[2] = Placement(Rect{250, 0, 500, 250});
    page.placements[3] = Placement(Rect{500, 0, 750, 250}, 1); // front: no report
    const QString taskPath = WriteCustomer("甲", {page});
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));

    RecordingProgressRun run(100);
    run.Open();
    ASSERT_EQ(ComposeTask(0, task, &run, Canvas({1000, 750})), 1);

    // step 100, R = 4: photos advance by trunc(10 / 4) = 2, back slots by
    // trunc(40 / 4) = 10 times the slot index.
    const Events expected{{kSet, 0},  {kSet, 5},  {kSet, 5},  {kSet, 7},   {kSet, 9},  {kSet, 15},
                          {kSet, 18}, {kSet, 20}, {kSet, 42}, {kSet, 42},  {kSet, 62}, {kSet, 82},
                          {kSet, 84}, {kSet, 95}, {kSet, 98}, {kSet, 100}, {kAdd, 100}};
    EXPECT_EQ(run.Events(), expected);
    EXPECT_TRUE(run.IsClosed());
    EXPECT_EQ(g_pProgressDlg.load(), nullptr);
    EXPECT_EQ(run.Overall(), 100);
}

TEST_F(ComposeTaskTest, TaskOfThreePagesStepsByThirtyThreeAndKeepsTheStatus) {
    const QString taskPath =
        WriteCustomer("乙", {SimplePage("P"), SimplePage("P-2"), SimplePage("P-3")});
    const QString folder = QFileInfo(taskPath).path();
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));

    RecordingProgressRun run(100);
    std::vector<std::pair<int, QString>> statusSeen;
    run.observer = [&](const ProgressEvent& e, RecordingProgressRun&) {
        if (e.kind == kSet)
            statusSeen.emplace_back(e.value, StatusText(folder));
    };
    run.Open();
    ComposeTask(-1, task, &run, Canvas({1000, 750}));

    // The first value of each page: trunc((i + 0.05) * 33).
    auto statusAt = [&](int value) {
        for (const auto& [v, status] : statusSeen)
            if (v == value)
                return status;
        return QString("not reported");
    };
    EXPECT_EQ(statusAt(1), QString());     // page 1 starts before any status
    EXPECT_EQ(statusAt(34), "<s>1/3</s>"); // page 2 starts
    EXPECT_EQ(statusAt(67), "<s>2/3</s>"); // page 3 starts
    EXPECT_EQ(ReadBytes(StatusFilePath(folder)), QByteArray("<s>3/3</s>")); // no line end
    EXPECT_EQ(ReadOutputStatus(folder), "3/3");
    for (const char* name : {"P", "P-2", "P-3"})
        EXPECT_EQ(ReadImage(BigPageImagePath(folder, name, ".jpg")).size(), QSize(400, 300));
    // The page ends report trunc((i + 0.98) * 33).
    const std::vector<int> values = run.CurrentValues();
    for (int end : {32, 65, 98})
        EXPECT_NE(std::find(values.begin(), values.end(), end), values.end()) << end;
}

TEST_F(ComposeTaskTest, PagesPreparedAheadKeepTheirOwnPhotosAndReportInOrder) {
    const QString taskPath =
        WriteCustomer("丙", {SimplePage("P", Qt::red), SimplePage("P-2", Qt::green),
                             SimplePage("P-3", Qt::blue)});
    const QString folder = QFileInfo(taskPath).path();
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    RecordingProgressRun run(100);
    run.Open();
    ASSERT_EQ(ComposeTask(-1, task, &run, Canvas({1000, 750})), 1);

    const std::pair<const char*, QRgb> pages[] = {
        {"P", qRgb(255, 0, 0)}, {"P-2", qRgb(0, 255, 0)}, {"P-3", qRgb(0, 0, 255)}};
    for (const auto& [name, colour] : pages)
        EXPECT_TRUE(
            Near(ReadImage(BigPageImagePath(folder, name, ".jpg")).pixel(100, 75), colour, 24))
            << name;
    // 0, eleven values for each page, 100 at the end: never going back.
    const std::vector<int> values = run.CurrentValues();
    EXPECT_EQ(values.size(), 1u + 3 * 11 + 1);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
}

TEST_F(ComposeTaskTest, APageAboveTheLargestPrintFailsAndTheRunGoesOn) {
    PageSetup huge = SimplePage("P-2");
    huge.width = huge.height = 32767; // 1073 megapixels, from a damaged "1.tx"
    const QString taskPath = WriteCustomer("丙", {SimplePage("P"), huge, SimplePage("P-3")});
    const QString folder = QFileInfo(taskPath).path();
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    RecordingProgressRun run(100);
    run.Open();
    ComposeTask(-1, task, &run, Canvas({1000, 750}));
    EXPECT_EQ(run.FailedPages(), QStringList{folder + "/P-2"});
    EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(folder, "P-2", ".jpg")));
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(folder, "P-3", ".jpg")));
}

TEST_F(ComposeTaskTest, PageRunRendersOnlyItsPageOpensItAndWritesNoStatus) {
    const QString taskPath =
        WriteCustomer("丙", {SimplePage("P"), SimplePage("P-2"), SimplePage("P-3")});
    const QString folder = QFileInfo(taskPath).path();
    auto task = std::make_unique<CustomerTask>();
    ASSERT_TRUE(task->Load(taskPath));

    RecordingProgressRun run(100);
    run.Open();
    QStringList opened;
    auto job = std::make_unique<ProgressJob>();
    job->pageIndex = 1;
    job->task = task.get();
    job->run = &run;
    job->env = Canvas({1000, 750});
    job->env.openFile = [&](const QString& path) { opened.append(path); };
    std::thread worker(PageThreadProc, std::move(job));
    worker.join();

    EXPECT_EQ(opened, QStringList{BigPageImagePath(folder, "P-2", ".jpg")});
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(folder, "P-2", ".jpg")));
    EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(folder, "P", ".jpg")));
    EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(folder, "P-3", ".jpg")));
    EXPECT_FALSE(QFileInfo::exists(StatusFilePath(folder)));
    EXPECT_TRUE(run.IsClosed());
    // step 100: the page's values are those of position 0.
    const std::vector<int> values = run.CurrentValues();
    ASSERT_GE(values.size(), 3u);
    EXPECT_EQ(values[1], 5);
    EXPECT_EQ(values.back(), 100);
}

TEST_F(ComposeTaskTest, JpegCarriesTheDpiSettingAnd254WithoutOne) {
    const QString taskPath = WriteCustomer("丁", {SimplePage("P")});
    const QString jpeg = BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg");
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    auto dotsPerMeter = [&] {
        RecordingProgressRun run(100);
        run.Open();
        ComposeTask(-1, task, &run, Canvas({1000, 750}));
        const QImage image = ReadImage(jpeg);
        EXPECT_EQ(image.dotsPerMeterX(), image.dotsPerMeterY());
        return image.dotsPerMeterX();
    };
    EXPECT_EQ(dotsPerMeter(), 10000); // 254 dpi
    Profile::SetString("Version 1.0", "dpi", "300");
    EXPECT_EQ(qRound(dotsPerMeter() * 0.0254), 300);
    Profile::SetString("Version 1.0", "dpi", "200");
    EXPECT_EQ(qRound(dotsPerMeter() * 0.0254), 200);
}

TEST_F(ComposeTaskTest, BrokenDat2SkipsItsPageAndLeavesItsOldImage) {
    const QString taskPath = WriteCustomer("戊", {SimplePage("P"), SimplePage("Q")});
    const QString folder = QFileInfo(taskPath).path();
    WriteBytes(PageDataFolder(folder, "Q") + "/dat2", "this is no image");
    const QString oldQ = BigPageImagePath(folder, "Q", ".jpg");
    WriteBytes(oldQ, "old page");
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));

    RecordingProgressRun run(100);
    run.Open();
    ComposeTask(-1, task, &run, Canvas({1000, 750}));

    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(folder, "P", ".jpg")));
    EXPECT_EQ(ReadBytes(oldQ), QByteArray("old page"));
    EXPECT_EQ(StatusText(folder), "<s>1/2</s>");
    // The skip reports the page as done: current 100 and 100 more overall,
    // which here reaches the run's maximum and closes it.
    const Events events = run.Events();
    const auto skip = std::find(events.begin(), events.end(), ProgressEvent{kSet, 100});
    ASSERT_NE(skip, events.end());
    ASSERT_NE(skip + 1, events.end());
    EXPECT_EQ(*(skip + 1), (ProgressEvent{kAdd, 100}));
    EXPECT_TRUE(run.IsClosed());
}

TEST_F(ComposeTaskTest, Dat2IsDrawnLastOverEverything) {
    PageSetup page = SimplePage("P", Qt::red);
    page.placements[0].front = 1;
    const QString taskPath = WriteCustomer("己", {page});
    const QString folder = QFileInfo(taskPath).path();
    // Opaque blue over the left quarter, transparent elsewhere.
    QImage extra(40, 30, QImage::Format_ARGB32);
    extra.fill(Qt::transparent);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 10; ++x)
            extra.setPixel(x, y, qRgb(0, 0, 255));
    WriteBytes(PageDataFolder(folder, "P") + "/dat2", Png(extra));
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    RecordingProgressRun run(100);
    run.Open();
    ComposeTask(-1, task, &run, Canvas({1000, 750}));

    const QImage out = ReadImage(BigPageImagePath(folder, "P", ".jpg"));
    EXPECT_TRUE(Near(out.pixel(50, 75), qRgb(0, 0, 255), 20));       // dat2 over the slot
    EXPECT_TRUE(Near(out.pixel(150, 75), qRgb(255, 0, 0), 20));      // slot where dat2 is clear
    EXPECT_TRUE(Near(out.pixel(300, 250), qRgb(255, 255, 255), 20)); // background
}

TEST_F(ComposeTaskTest, FrontSlotsLieAboveTheOverlayAndBackSlotsBelowIt) {
    PageSetup page = SimplePage("P");
    page.body = MakeBody(QSize(200, 150), Qt::white, 2);
    // The overlay covers the top half of the page with opaque black and
    // leaves the bottom half clear.
    QImage overlay(200, 150, QImage::Format_ARGB32);
    overlay.fill(Qt::transparent);
    for (int y = 0; y < 75; ++y)
        for (int x = 0; x < 200; ++x)
            overlay.setPixel(x, y, qRgb(0, 0, 0));
    page.body.overlay = Png(overlay);
    page.photos[0] = Jpeg(Solid(100, 100, Qt::red));
    page.photos[1] = Jpeg(Solid(100, 100, Qt::green));
    page.placements[0] = Placement(Rect{0, 0, 500, 750}, 0);    // left half, below
    page.placements[1] = Placement(Rect{500, 0, 1000, 750}, 1); // right half, above
    const QString taskPath = WriteCustomer("庚", {page});
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    RecordingProgressRun run(100);
    run.Open();
    ComposeTask(-1, task, &run, Canvas({1000, 750}));

    const QImage out = ReadImage(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg"));
    ASSERT_EQ(out.size(), QSize(400, 300));
    EXPECT_TRUE(Near(out.pixel(100, 60), qRgb(0, 0, 0), 20));    // overlay hides slot 0
    EXPECT_TRUE(Near(out.pixel(100, 240), qRgb(255, 0, 0), 20)); // slot 0 under the clear part
    EXPECT_TRUE(Near(out.pixel(300, 60), qRgb(0, 255, 0), 20));  // slot 1 covers the overlay
    EXPECT_TRUE(Near(out.pixel(300, 240), qRgb(0, 255, 0), 20));
}

TEST_F(ComposeTaskTest, BordersOfA2400By3000PageAreFivePixelsThick) {
    PageSetup page;
    page.name = "P";
    page.width = 2400;
    page.height = 3000;
    page.body = MakeBody(QSize(240, 300), Qt::black, 1);
    page.photos[0] = Jpeg(Solid(200, 200, Qt::black));
    // The 2400 x 3000 page fills 600 x 750 of the canvas: scale 4.
    page.placements[0] = Placement(Rect{100, 100, 300, 300});
    page.placements[0].borderColor = 0x00FFFFFF;
    const QString taskPath = WriteCustomer("辛", {page});
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    RecordingProgressRun run(100);
    run.Open();
    ComposeTask(-1, task, &run, Canvas({1000, 750}));

    const QImage out = ReadImage(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg"));
    ASSERT_EQ(out.size(), QSize(2400, 3000));
    // The slot covers x 400 .. 1199; the frame is its outer 5 pixels.
    auto grey = [&](int x, int y) { return qGray(out.pixel(x, y)); };
    for (int x : {400, 402, 404, 1195, 1199})
        EXPECT_GT(grey(x, 800), 200) << x;
    for (int x : {399, 405, 408, 1194, 1190, 1200})
        EXPECT_LT(grey(x, 800), 55) << x;
    EXPECT_GT(grey(800, 404), 200);
    EXPECT_LT(grey(800, 405), 55);
}

TEST_F(ComposeTaskTest, ExactBackgroundUsesTheDisplayScaleOtherwiseTheFittedScale) {
    // A 3000 x 2000 page on a 1000 x 750 canvas: the display scale is
    // 3000 / 1000 = 3 both ways; the fitted area is 1000 x 668, so the
    // fitted scale is 3 across and 2000 / 668 = 2.994 down.
    auto render = [&](const QString& customer, QSize background) {
        PageSetup page;
        page.name = "P";
        page.width = 3000;
        page.height = 2000;
        page.body = MakeBody(background, Qt::black, 1);
        page.photos[0] = Jpeg(Solid(100, 100, Qt::white));
        page.placements[0] = Placement(Rect{0, 0, 500, 600});
        const QString taskPath = WriteCustomer(customer, {page});
        CustomerTask task;
        EXPECT_TRUE(task.Load(taskPath));
        RecordingProgressRun run(100);
        run.Open();
        ComposeTask(-1, task, &run, Canvas({1000, 750}));
        return ReadImage(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg"));
    };
    const QImage exact = render("exact", QSize(3000, 2000));
    const QImage fitted = render("fitted", QSize(300, 200));
    // Display scale: rows 0 .. 1799. Fitted scale: rows 0 .. 1795.
    EXPECT_GT(qGray(exact.pixel(700, 1798)), 200);
    EXPECT_LT(qGray(exact.pixel(700, 1801)), 55);
    EXPECT_LT(qGray(fitted.pixel(700, 1798)), 55);
    EXPECT_GT(qGray(fitted.pixel(700, 1793)), 200);
    // Across, both scale by 3: columns 0 .. 1499.
    EXPECT_GT(qGray(exact.pixel(1497, 900)), 200);
    EXPECT_GT(qGray(fitted.pixel(1497, 900)), 200);
    EXPECT_LT(qGray(fitted.pixel(1502, 900)), 55);
}

TEST_F(ComposeTaskTest, SavedCanvasSizeWinsOverTheCurrentCanvas) {
    PageSetup page = SimplePage("P");
    page.placements[0] = Placement(Rect{0, 0, 250, 375}); // left half of a 500 x 375 canvas
    const QString taskPath = WriteCustomer("壬", {page});
    const QString folder = QFileInfo(taskPath).path();
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    auto render = [&] {
        RecordingProgressRun run(100);
        run.Open();
        ComposeTask(-1, task, &run, Canvas({1000, 750}));
        return ReadImage(BigPageImagePath(folder, "P", ".jpg"));
    };
    // Without the saved size the rectangle is read in the current 1000 x 750
    // canvas: a quarter of the page's width.
    QImage out = render();
    EXPECT_TRUE(Near(out.pixel(50, 100), qRgb(255, 0, 0), 20));
    EXPECT_TRUE(Near(out.pixel(150, 100), qRgb(255, 255, 255), 20));
    ASSERT_TRUE(WriteCanvasSizeFile(PageDataFolder(folder, "P"), QSize(500, 375)));
    out = render();
    EXPECT_TRUE(Near(out.pixel(150, 150), qRgb(255, 0, 0), 20));
    EXPECT_TRUE(Near(out.pixel(190, 290), qRgb(255, 0, 0), 20));
    EXPECT_TRUE(Near(out.pixel(210, 150), qRgb(255, 255, 255), 20));
}

TEST_F(ComposeTaskTest, FineStripesShrunkFourTimesComeOutEvenGrey) {
    QImage stripes(800, 800, QImage::Format_RGB32);
    for (int y = 0; y < 800; ++y)
        for (int x = 0; x < 800; ++x)
            stripes.setPixel(x, y, (x % 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    PageSetup page = SimplePage("P");
    page.photos[0] = Png(stripes);
    // 500 x 500 canvas pixels become 200 x 200 page pixels.
    page.placements[0] = Placement(Rect{0, 0, 500, 500});
    page.width = 400;
    page.height = 300;
    const QString taskPath = WriteCustomer("癸", {page});
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    RecordingProgressRun run(100);
    run.Open();
    ComposeTask(-1, task, &run, Canvas({1000, 750}));

    const QImage out = ReadImage(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg"));
    const GreyStats inside = GreyOf(out, QRect(10, 10, 180, 180));
    EXPECT_NEAR(inside.mean, 127.5, 10);
    EXPECT_LE(inside.spread, 24);
}

TEST_F(ComposeTaskTest, MirrorsAndMaskArePartOfTheSlot) {
    QImage photo(200, 200, QImage::Format_RGB32);
    photo.fill(Qt::red);
    for (int y = 0; y < 200; ++y)
        for (int x = 100; x < 200; ++x)
            photo.setPixel(x, y, qRgb(0, 0, 255));
    PageSetup page = SimplePage("P");
    page.body = MakeBody(QSize(200, 150), Qt::white, 2);
    // Slot 1's mask is opaque only in its top half.
    page.body.masks = {QByteArray(), MaskBmp(50, 50, [](int, int y) { return y < 25 ? 255 : 0; })};
    page.photos[0] = Jpeg(photo);
    page.photos[1] = Jpeg(photo);
    page.placements[0] = Placement(Rect{0, 0, 375, 375});
    page.placements[0].mirrorX = 1;
    page.placements[1] = Placement(Rect{500, 0, 875, 375});
    page.placements[1].mirrorX = 0;
    const QString taskPath = WriteCustomer("子", {page});
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    RecordingProgressRun run(100);
    run.Open();
    ComposeTask(-1, task, &run, Canvas({1000, 750}));

    const QImage out = ReadImage(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg"));
    // Slot 0 (page x 0 .. 149) mirrored: blue on the left, red on the right.
    EXPECT_TRUE(Near(out.pixel(30, 75), qRgb(0, 0, 255), 24));
    EXPECT_TRUE(Near(out.pixel(120, 75), qRgb(255, 0, 0), 24));
    // Slot 1 (page x 200 .. 349): photo in the top half, background below.
    EXPECT_TRUE(Near(out.pixel(230, 30), qRgb(255, 0, 0), 24));
    EXPECT_TRUE(Near(out.pixel(230, 120), qRgb(255, 255, 255), 24));
}

TEST_F(ComposeTaskTest, TurnedSlotIsDrawnWholeAtPageScale) {
    PageSetup page = SimplePage("P", Qt::red);
    // 500 x 150 canvas pixels: 200 x 60 on the page about (200, 150), turned
    // upright by 90 degrees.
    page.placements[0] = Placement(Rect{250, 300, 750, 450});
    page.placements[0].angle = 90;
    const QString taskPath = WriteCustomer("卯", {page});
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    RecordingProgressRun run(100);
    run.Open();
    ComposeTask(-1, task, &run, Canvas({1000, 750}));

    const QImage out = ReadImage(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg"));
    for (const QPoint& inside : {QPoint(200, 60), QPoint(200, 150), QPoint(185, 240)})
        EXPECT_TRUE(Near(out.pixel(inside), qRgb(255, 0, 0), 24))
            << inside.x() << "," << inside.y();
    for (const QPoint& outside : {QPoint(120, 150), QPoint(280, 150), QPoint(200, 30)})
        EXPECT_TRUE(Near(out.pixel(outside), qRgb(255, 255, 255), 24))
            << outside.x() << "," << outside.y();
}

TEST_F(ComposeTaskTest, AbortDuringPageTwoOfFiveLetsItFinishAndStartsNoOther) {
    QList<PageSetup> pages;
    for (int i = 1; i <= 5; ++i)
        pages.append(SimplePage(QString("P%1").arg(i)));
    const QString taskPath = WriteCustomer("丑", pages);
    const QString folder = QFileInfo(taskPath).path();

    RecordingProgressRun run(QStringList{taskPath});
    // step 20: page 2 starts at trunc(1.05 * 20) = 21.
    run.observer = [](const ProgressEvent& e, RecordingProgressRun& r) {
        if (e.kind == kSet && e.value == 21)
            r.Abort();
    };
    run.Open();
    std::thread worker(TaskRunThreadProc, &run, Canvas({1000, 750}));
    worker.join();

    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(folder, "P1", ".jpg")));
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(folder, "P2", ".jpg")));
    for (const char* name : {"P3", "P4", "P5"})
        EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(folder, name, ".jpg"))) << name;
    EXPECT_EQ(StatusText(folder), "<s>2/5</s>");
    const Events events = run.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), (ProgressEvent{kEnd, 0}));
    // Page 3 reported nothing: the last value set is page 2's end.
    EXPECT_EQ(run.CurrentValues().back(), 39); // trunc(1.98 * 20)
    EXPECT_TRUE(run.IsClosed());
    EXPECT_EQ(g_pProgressDlg.load(), nullptr);
}

TEST_F(ComposeTaskTest, PauseHoldsTheWorkerAtItsNextReportAndAbortWaitsForContinue) {
    const QString taskPath = WriteCustomer("寅", {SimplePage("P")});
    const QString folder = QFileInfo(taskPath).path();
    RecordingProgressRun run(QStringList{taskPath});
    run.Open();
    run.Pause();
    std::thread worker(TaskRunThreadProc, &run, Canvas({1000, 750}));
    run.WaitForPausedWorker();
    EXPECT_FALSE(QFileInfo::exists(BigPageImagePath(folder, "P", ".jpg")));
    EXPECT_FALSE(run.Abort()); // ignored while paused
    EXPECT_TRUE(run.IsActive());
    run.Continue();
    worker.join();
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(folder, "P", ".jpg")));
    EXPECT_EQ(StatusText(folder), "<s>1/1</s>");
    EXPECT_TRUE(run.IsClosed());
}

TEST_F(ComposeTaskTest, ARunOfThreeTasksStepsByOneHundredAndClosesAtThreeHundred) {
    QStringList paths;
    for (const char* c : {"一", "二", "三"})
        paths.append(WriteCustomer(c, {SimplePage("P")}));
    RecordingProgressRun run(paths);
    EXPECT_EQ(run.Maximum(), 300);
    std::vector<int> overallAtTaskEnd;
    run.observer = [&](const ProgressEvent& e, RecordingProgressRun& r) {
        if (e.kind == kAdd)
            overallAtTaskEnd.push_back(r.Overall());
    };
    run.Open();
    std::thread worker(TaskRunThreadProc, &run, Canvas({1000, 750}));
    worker.join();
    // The observer sees each call before the run takes it in.
    EXPECT_EQ(overallAtTaskEnd, (std::vector<int>{100, 200, 300}));
    EXPECT_EQ(run.Overall(), 300);
    EXPECT_TRUE(run.IsClosed());
    // The last task's end closed the run; the worker had nothing to end.
    EXPECT_EQ(run.Events().back(), (ProgressEvent{kAdd, 100}));
}

TEST_F(ComposeTaskTest, ASkippedPageDoesNotEndTheRunBeforeTheLaterTasks) {
    // The first customer's second page is broken: its skip reports 100 on top
    // of the task's own 100, which used to fill the run's 200 after the first
    // task and stop the worker before the second customer was rendered.
    const QString first = WriteCustomer("甲", {SimplePage("P"), SimplePage("Q")});
    WriteBytes(PageDataFolder(QFileInfo(first).path(), "Q") + "/dat2", "this is no image");
    const QString second = WriteCustomer("乙", {SimplePage("R")});
    RecordingProgressRun run(QStringList{first, second});
    run.Open();
    std::thread worker(TaskRunThreadProc, &run, Canvas({1000, 750}));
    worker.join();

    const QString secondFolder = QFileInfo(second).path();
    EXPECT_TRUE(QFileInfo::exists(BigPageImagePath(secondFolder, "R", ".jpg")));
    EXPECT_EQ(StatusText(secondFolder), "<s>1/1</s>");
    // The bar still ends full: the range grew by the skipped page.
    EXPECT_EQ(run.Maximum(), 300);
    EXPECT_EQ(run.Overall(), 300);
    EXPECT_TRUE(run.IsClosed());
    EXPECT_EQ(run.Events().back(), (ProgressEvent{kAdd, 100}));
}

} // namespace

// Photos much larger than their slots are decoded reduced; the page must be
// the one a whole decode gives (the same photo as lossless PNG is decoded
// whole), whether the slot is plain, zoomed and moved, or turned.
TEST_F(ComposeTaskTest, ReducedDecodingGivesThePageOfAWholeDecode) {
    QImage photo(2400, 1600, QImage::Format_RGB32);
    for (int y = 0; y < 1600; ++y)
        for (int x = 0; x < 2400; ++x) {
            const bool ring = qAbs(qHypot(x - 1200, y - 800) - 500) < 60;
            photo.setPixel(x, y, ring ? qRgb(20, 40, 200) : qRgb(x / 10, y / 7, 255 - x / 10));
        }
    const QByteArray jpeg = Jpeg(photo);
    const QByteArray wholePng = Png(DecodeBitmap(jpeg));

    QImage pages[2];
    for (int k = 0; k < 2; ++k) {
        PageSetup page = SimplePage("P");
        page.width = 800;
        page.height = 600;
        page.body = MakeBody(QSize(200, 150), Qt::white, 3);
        for (uint32_t s = 0; s < 3; ++s)
            page.photos[s] = k == 0 ? jpeg : wholePng;
        page.placements[0] = Placement(Rect{0, 0, 400, 300});
        page.placements[1] = Placement(Rect{500, 0, 900, 350});
        page.placements[1].zoom = 6;
        page.placements[1].offsetX = 3;
        page.placements[1].offsetY = -2;
        page.placements[2] = Placement(Rect{300, 400, 700, 700});
        page.placements[2].angle = 30;
        const QString taskPath = WriteCustomer(k == 0 ? "辰" : "巳", {page});
        CustomerTask task;
        ASSERT_TRUE(task.Load(taskPath));
        RecordingProgressRun run(100);
        run.Open();
        ComposeTask(-1, task, &run, Canvas({1000, 750}));
        pages[k] = ReadImage(BigPageImagePath(QFileInfo(taskPath).path(), "P", ".jpg"))
                       .convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(pages[k].size(), QSize(800, 600));
    }
    double total = 0;
    int worst = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const QRgb a = pages[0].pixel(x, y), b = pages[1].pixel(x, y);
            const int d = qMax(qMax(qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b))),
                               qAbs(qBlue(a) - qBlue(b)));
            total += d;
            worst = qMax(worst, d);
        }
    EXPECT_LT(total / (800 * 600), 1.0);
    EXPECT_LE(worst, 48);
    // The slots are there at all: the ring shows in the plain slot.
    EXPECT_FALSE(Near(pages[0].pixel(160, 120), qRgb(255, 255, 255), 24));
}
