// The production commands of taoban-cli end to end: a customer recorded,
// pages saved, rendered, exported, and a run stopped with Ctrl+C.

#include "cli_runner.h"
#include "cli_studio.h"
#include "common/profile.h"
#include "compose/template_body.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <gtest/gtest.h>

#include <csignal>

namespace {

class ProductionCliTest : public ::testing::Test {
protected:
    void TearDown() override { SetDpi({}); }
    TestFolder dir;
};

TEST_F(ProductionCliTest, CatalogueCustomerTwoPagesComposeAndExport) {
    SetDpi("300");
    const QString base = dir.path();
    const QStringList templates = TwoTemplates(dir);
    ASSERT_EQ(RunCli({"catalogue", "add", "相册", "20", "30"}, base).exitCode, 0);
    ASSERT_EQ(
        RunCli({"new-customer", "张三", "--phone", "13800000000", "--product", "相册:1:2"}, base)
            .exitCode,
        0);

    const QString p1 = Photo(dir, "一.jpg", 1200, 800);
    const QString p2 = Photo(dir, "二.jpg", 800, 1200);
    for (int i = 0; i < 2; ++i) {
        const CliResult r =
            RunCli({"add-page", "--customer", "张三", "--template", templates[i], "--product",
                    "相册", "--photo", i == 0 ? p1 : p2, "--canvas", "1000x750"},
                   base);
        ASSERT_EQ(r.exitCode, 0) << Show(r);
        const QJsonObject page = QJsonDocument::fromJson(r.out.toUtf8()).object();
        // 20 x 30 cm at 300 dpi.
        EXPECT_EQ(page["width"].toInt(), 2362);
        EXPECT_EQ(page["height"].toInt(), 3543);
    }
    const QString folder = CustomerFolder("张三");
    EXPECT_TRUE(QFileInfo::exists(folder + "/相册.jpg"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/相册-2.jpg"));
    EXPECT_EQ(QFileInfo(folder + "/1.tx").size(), 100 + 2 * 3628);

    // Export refuses until the pages are rendered.
    CliResult r = RunCli({"export", "张三", dir.file("输出")}, base);
    EXPECT_EQ(r.exitCode, 1) << Show(r);
    EXPECT_EQ(r.OutLines(), QStringList{"此客人未套版!"});

    r = RunCli({"compose-task", "张三"}, base);
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_EQ(r.OutLines(), QStringList{"张三\t2/2"});
    EXPECT_TRUE(r.err.contains("总体进度")) << Show(r);
    EXPECT_EQ(ReadBytes(folder + "/status.txt"), QByteArray("<s>2/2</s>"));

    r = RunCli({"export", "张三", dir.file("输出") + "/"}, base);
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_EQ(r.OutLines(), QStringList{"导出成功!"});
    for (const char* name : {"1.jpg", "2.jpg"}) {
        QImageReader reader(dir.file("输出/张三/相册/") + name);
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), QSize(2362, 3543)) << name;
        EXPECT_EQ(qRound(image.dotsPerMeterX() * 0.0254), 300) << name;
        EXPECT_EQ(qRound(image.dotsPerMeterY() * 0.0254), 300) << name;
    }
    EXPECT_FALSE(QFileInfo::exists(dir.file("输出/张三/相册/3.jpg")));
    EXPECT_EQ(ReadBytes(dir.file("输出/张三/相册/2.jpg")), ReadBytes(folder + "/big相册-2.jpg"));

    // By a lab's profile: its names; a lab of another resolution refuses the
    // order (status 1, nothing written); a bad profile is bad input.
    ASSERT_TRUE(QDir().mkpath(dir.file("设置/labs")));
    ASSERT_TRUE(
        WriteBytes(dir.file("设置/labs/快印.json"),
                   R"({"dpi": 300, "min_ppi": 80, "file_name": "{customer}-{page:02}.jpg"})"));
    ASSERT_TRUE(WriteBytes(dir.file("设置/labs/冲印.json"), R"({"dpi": 254, "min_ppi": 60})"));
    ASSERT_TRUE(WriteBytes(dir.file("设置/labs/坏.json"), R"({"dpi": 300, "paper": "matt"})"));
    r = RunCli({"export", "张三", dir.file("lab"), "--lab", "快印"}, base);
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    // A lab export always carries its manifest for the lab.
    EXPECT_EQ(QDir(dir.file("lab/张三")).entryList(QDir::Files),
              (QStringList{"manifest.csv", "张三-01.jpg", "张三-02.jpg"}));
    r = RunCli({"export", "张三", dir.file("lab254"), "--lab", "冲印"}, base);
    EXPECT_EQ(r.exitCode, 1) << Show(r);
    const QJsonArray findings =
        QJsonDocument::fromJson(r.out.toUtf8()).object()["findings"].toArray();
    ASSERT_EQ(findings.size(), 2) << Show(r);
    EXPECT_EQ(findings[0].toObject()["detail"].toString(),
              "相册: 2362×3543 像素, 产品 相册 应为 2000×3000 像素");
    EXPECT_FALSE(QFileInfo::exists(dir.file("lab254")));
    r = RunCli({"export", "张三", dir.file("lab254"), "--lab", "冲印", "--force"}, base);
    EXPECT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_TRUE(QFileInfo::exists(dir.file("lab254/张三/preflight.json")));
    r = RunCli({"export", "张三", dir.file("lab"), "--lab", "坏"}, base);
    EXPECT_EQ(r.exitCode, 2) << Show(r);
    EXPECT_TRUE(r.err.contains("unknown key \"paper\"")) << Show(r);
}

TEST_F(ProductionCliTest, ComposePageRendersOnePageAndLeavesTheStatusAlone) {
    const QString base = dir.path();
    const QStringList templates = TwoTemplates(dir);
    const QString photo = Photo(dir, "p.jpg", 600, 400);
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(
            RunCli({"add-page", "--customer", "李四", "--template", templates[i], "--photo", photo},
                   base)
                .exitCode,
            0);
    const QString folder = CustomerFolder("李四");
    // Without a product the pages are "未知产品" and "未知产品-2", sized as the
    // template's width and height.
    const CliResult r = RunCli({"compose-page", "--page", "2", folder + "/1.tx"}, base);
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_EQ(r.OutLines(), QStringList{folder + "/big未知产品-2.jpg"});
    EXPECT_TRUE(QFileInfo::exists(folder + "/big未知产品-2.jpg"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/big未知产品.jpg"));
    EXPECT_FALSE(QFileInfo::exists(folder + "/status.txt"));
    EXPECT_TRUE(r.err.contains("当前进度")) << Show(r);

    EXPECT_EQ(RunCli({"compose-page", "--page", "3", "李四"}, base).exitCode, 2);
    EXPECT_EQ(RunCli({"compose-page", "李四"}, base).exitCode, 2);
}

TEST_F(ProductionCliTest, BadArgumentsAndUnreadableTasks) {
    const QString base = dir.path();
    CliResult r = RunCli({"compose-task"}, base);
    EXPECT_EQ(r.exitCode, 2);
    r = RunCli({"compose-task", "无此人"}, base);
    EXPECT_EQ(r.exitCode, 2) << Show(r);
    EXPECT_TRUE(r.err.contains("无此人")) << Show(r);
    r = RunCli({"compose-task", "--canvas", "0x750", "x"}, base);
    EXPECT_EQ(r.exitCode, 2);
    r = RunCli({"export", "无此人", dir.file("out")}, base);
    EXPECT_EQ(r.exitCode, 2);
    r = RunCli({"add-page", "--customer", "a/b", "--template", "x.temp"}, base);
    EXPECT_EQ(r.exitCode, 2);
    r = RunCli({"add-page", "--customer", "王五", "--template", dir.file("none.temp")}, base);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(CustomerFolder("王五") + "/1.tx"));
}

TEST_F(ProductionCliTest, CtrlCStopsAfterThePageInHandAndLeavesNoHalfFile) {
    const QString base = dir.path();
    const QStringList templates = TwoTemplates(dir);
    ASSERT_EQ(RunCli({"catalogue", "add", "大幅", "40", "60"}, base).exitCode, 0);
    ASSERT_EQ(RunCli({"new-customer", "赵六", "--product", "大幅"}, base).exitCode, 0);
    const QString photo = Photo(dir, "p.jpg", 1600, 1200);
    constexpr int kPages = 4;
    for (int i = 0; i < kPages; ++i)
        ASSERT_EQ(RunCli({"add-page", "--customer", "赵六", "--template", templates[0], "--product",
                          "大幅", "--photo", photo},
                         base)
                      .exitCode,
                  0);

    // Each page is 4000 x 6000 pixels: the run is far from done when the
    // first page has started.
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(TAOBAN_CLI_PATH, {"--base", base, "compose-task", "赵六"});
    ASSERT_TRUE(process.waitForStarted(-1));
    process.setReadChannel(QProcess::StandardError);
    QByteArray err;
    // The second line is the first page's start: a page is then in hand.
    while (err.count("总体进度") < 2 && process.state() == QProcess::Running) {
        process.waitForReadyRead(-1);
        err += process.readAllStandardError();
    }
    ASSERT_TRUE(SignalRunningProcess(process, SIGINT)) << err.toStdString();
    ASSERT_TRUE(process.waitForFinished(-1));
    err += process.readAllStandardError();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("正在中止,请稍候...")) << err.toStdString();

    const QString folder = CustomerFolder("赵六");
    const QStringList pages = QDir(folder).entryList({"big*.jpg"}, QDir::Files);
    EXPECT_LT(pages.size(), kPages);
    EXPECT_GE(pages.size(), 1); // the page in hand was finished
    for (const QString& page : pages) {
        QImageReader reader(folder + "/" + page);
        EXPECT_EQ(reader.read().size(), QSize(4000, 6000)) << page.toStdString();
    }
    EXPECT_EQ(ReadBytes(folder + "/status.txt"),
              QString("<s>%1/%2</s>").arg(pages.size()).arg(kPages).toLatin1());
    // No temporary file of an interrupted write is left behind.
    const QStringList all = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : all)
        EXPECT_FALSE(name.contains(".tmp") || name.startsWith(".")) << name.toStdString();
}

} // namespace

TEST_F(ProductionCliTest, CopyPagesMakesTheAlbumAtAnotherSize) {
    const QString base = dir.path();
    const QStringList templates = TwoTemplates(dir);
    ASSERT_EQ(RunCli({"catalogue", "add", "相册", "30", "30"}, base).exitCode, 0);
    ASSERT_EQ(RunCli({"catalogue", "add", "小相册", "20", "30"}, base).exitCode, 0);
    ASSERT_EQ(
        RunCli({"new-customer", "王五", "--product", "相册", "--product", "小相册"}, base).exitCode,
        0);
    ASSERT_EQ(RunCli({"add-page", "--customer", "王五", "--template", templates[0], "--product",
                      "相册", "--photo", Photo(dir, "一.jpg", 1200, 800)},
                     base)
                  .exitCode,
              0);

    CliResult r = RunCli({"copy-pages", "王五", "--from", "相册", "--to", "小相册"}, base);
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    const QJsonObject page =
        QJsonDocument::fromJson(r.out.toUtf8()).object()["pages"].toArray().at(0).toObject();
    EXPECT_EQ(page["from"].toString(), "相册");
    EXPECT_EQ(page["to"].toString(), "小相册");
    EXPECT_TRUE(page["check"].toBool()) << Show(r);
    EXPECT_EQ(page["changed_slots"].toArray().at(0).toInt(), 1) << Show(r);
    // A 1200 x 800 photo spread over most of a 20 x 30 cm page prints soft.
    const QJsonObject low = page["low_resolution"].toArray().at(0).toObject();
    EXPECT_EQ(low["slot"].toInt(), 1) << Show(r);
    EXPECT_LT(low["ppi"].toDouble(), 150) << Show(r);
    r = RunCli({"open-page", "王五", "小相册"}, base);
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_EQ(QJsonDocument::fromJson(r.out.toUtf8()).object()["product"].toString(), "小相册");

    for (const QStringList& bad : {QStringList{"王五", "--from", "相册"},
                                   QStringList{"王五", "--from", "相册", "--to", "相册"},
                                   QStringList{"王五", "--from", "相册", "--to", "摆台"}}) {
        r = RunCli(QStringList{"copy-pages"} + bad, base);
        EXPECT_EQ(r.exitCode, 2) << Show(r);
    }
}
