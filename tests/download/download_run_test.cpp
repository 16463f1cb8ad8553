// A whole download as the windows and taoban-cli run it: the worker thread
// with the address lookup bringing the demo library byte for byte, and the
// command-line tool's statuses, refusals and Ctrl+C during a long transfer.

#include "download/template_downloader.h"
#include "local_servers.h"
#include "recording_observer.h"
#include "templates/template_library.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace local_servers;

namespace {

const QString kCli = QStringLiteral(TAOBAN_BINARY_DIR "/taoban-cli");
const QString kDemoLibrary = QStringLiteral(TAOBAN_BINARY_DIR "/demo/模板");
const CategoryChoice kAll{true, true, true, true};

class DownloadRunTest : public ::testing::Test {
protected:
    void StartServers(int rate = 0) {
        ASSERT_TRUE(lookup.Start(scratch.filePath("reply")));
        ASSERT_TRUE(lookup.Reply("<html><ip>127.0.0.1</ip></html>\r\n"));
        ASSERT_TRUE(ftp.Start(served.path(), 0, rate));
    }
    DownloadRequest Request(const CategoryChoice& categories, const QString& root) const {
        DownloadRequest r;
        r.categories = categories;
        r.lookupBase = lookup.base();
        r.installationId = QStringLiteral("0123456789");
        r.ftpPort = ftp.port();
        r.root = root;
        r.tuning.waits = {20, 20, 20, 20};
        r.tuning.ftp.stallSeconds = 5;
        r.tuning.lookupTimeoutSeconds = 5;
        return r;
    }
    // Runs taoban-cli on another studio folder; returns its exit status.
    int RunCli(const QString& studio, const QStringList& args, QString* out = nullptr) {
        QProcess cli;
        cli.start(kCli, QStringList{"--base", studio, "download"} + args);
        EXPECT_TRUE(cli.waitForFinished(30000));
        if (out)
            *out = QString::fromUtf8(cli.readAllStandardOutput());
        return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    }

    TestFolder base;
    QTemporaryDir served;
    QTemporaryDir scratch;
    LookupServer lookup;
    FtpServer ftp;
    RecordingObserver observer;
};

// A library's sets as its index gives them, one "path slots width height
// proportion" line each, with its set folders relative to it; sorted.
QStringList IndexedSets(const QString& root) {
    TemplateLibrary library(root);
    library.Load();
    const SetIndex& index = library.setIndex();
    QStringList sets;
    for (int i = 0; i < index.size(); ++i)
        sets << QStringList{index.paths[i], index.slotCounts[i], index.widths[i], index.heights[i],
                            index.proportions[i]}
                    .join(' ');
    for (const QString& folder : library.setFolders() + library.sets())
        sets << QDir(root).relativeFilePath(folder);
    sets.sort();
    return sets;
}

TEST_F(DownloadRunTest, PublishedDemoLibraryArrivesByteForByteThroughTheWorkerAndTheCli) {
    ASSERT_TRUE(QFileInfo::exists(kDemoLibrary + "/list.txt")) << "the demo library is built first";
    ASSERT_TRUE(CopyTree(kDemoLibrary, served.path()));
    // A studio's own server: the packages alone, indexed by publish-library.
    ASSERT_TRUE(QFile::remove(served.filePath("list.txt")));
    ASSERT_TRUE(QFile::remove(served.filePath("list2.txt")));
    QProcess publish;
    publish.start(kCli, {"--base", scratch.path(), "publish-library", served.path()});
    ASSERT_TRUE(publish.waitForFinished(30000));
    ASSERT_EQ(publish.exitCode(), 0) << publish.readAllStandardError().toStdString();
    StartServers();
    TemplateDownloader downloader;
    ASSERT_EQ(downloader.Start(Request(kAll, base.file("模板")), observer), "");
    downloader.Wait();
    EXPECT_EQ(observer.result().end, DownloadEnd::Completed);
    EXPECT_EQ(observer.statuses().last(), "下载完成!");
    EXPECT_EQ(TreeDifferences(served.path(), base.file("模板")), QStringList());

    // The command-line tool, its lookup and port given as options.
    QTemporaryDir studio;
    QString out;
    EXPECT_EQ(
        RunCli(studio.path(),
               {"--category", "婚纱", "--category", "儿童", "--category", "写真", "--category",
                "全家福", "--lookup", lookup.base(), "--ftp-port", QString::number(ftp.port())},
               &out),
        0);
    const QStringList lines = out.split("\n", Qt::SkipEmptyParts);
    EXPECT_EQ(lines.value(0), "连接成功");
    EXPECT_EQ(lines.value(1), "下载中");
    EXPECT_EQ(lines.last(), "下载完成!");
    EXPECT_EQ(lines.filter(":下载成功").size(), FilesUnder(served.path()).size() - 2);
    EXPECT_EQ(TreeDifferences(served.path(), studio.path() + "/模板"), QStringList());
    EXPECT_EQ(IndexedSets(studio.path() + "/模板"), IndexedSets(kDemoLibrary));
    EXPECT_GT(IndexedSets(kDemoLibrary).filter(".temp ").size(), 100); // the set index lines
}

TEST_F(DownloadRunTest, CliRefusalsBadArgumentsAndCtrlC) {
    ASSERT_TRUE(PutFile(served.path(), "婚纱/大/1.temp", Filler(4 << 20, 9)));
    ASSERT_TRUE(WriteList(served.path(), {ListLine(served.path(), "婚纱/大/1.temp")}));
    StartServers(128 * 1024);
    QTemporaryDir studio;
    const QStringList servers{"--lookup", lookup.base(), "--ftp-port", QString::number(ftp.port())};
    QString out;
    EXPECT_EQ(RunCli(studio.path(), servers, &out), 1);
    EXPECT_EQ(out, "未选中模板类别!\n");
    for (const QStringList& bad : {QStringList{"--category", "风景"},
                                   {"--lookup", "ftp://x"},
                                   {"--ftp-port", "0"},
                                   {"--category"},
                                   {"婚纱"}})
        EXPECT_EQ(RunCli(studio.path(), bad), 2) << bad.join(' ').toStdString();

    ASSERT_TRUE(lookup.Reply("<ip></ip>"));
    EXPECT_EQ(RunCli(studio.path(), servers + QStringList{"--category", "婚纱"}, &out), 1);
    EXPECT_EQ(out, "连接下载服务失败，请稍候再试!\n");

    // Ctrl+C during the long transfer: a clean end, no part of the file.
    ASSERT_TRUE(lookup.Reply("<ip>127.0.0.1</ip>"));
    QProcess cli;
    cli.start(kCli,
              QStringList{"--base", studio.path(), "download", "--category", "婚纱"} + servers);
    ASSERT_TRUE(cli.waitForStarted());
    const QByteArray started = QString("婚纱\\大\\1.temp:下载中。。").toUtf8();
    QByteArray printed;
    QElapsedTimer clock;
    clock.start();
    while (!printed.contains(started) && clock.elapsed() < 20000) {
        cli.waitForReadyRead(100);
        printed += cli.readAllStandardOutput();
    }
    ASSERT_TRUE(printed.contains(started)) << printed.toStdString();
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // well into the transfer
    clock.restart();
    ASSERT_TRUE(SignalRunningProcess(cli, SIGINT));
    ASSERT_TRUE(cli.waitForFinished(5000));
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_FALSE((printed + cli.readAllStandardOutput()).contains("下载完成!"));
    EXPECT_EQ(FilesUnder(studio.path() + "/模板"), QStringList{"list.txt"});
}

} // namespace
