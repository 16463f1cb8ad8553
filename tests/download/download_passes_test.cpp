// The worker's passes against a real FTP server on 127.0.0.1: what is
// fetched, skipped and refused, the status texts in order, and how failures
// (login, index, missing file, dropped connection) lead to the next pass.

#include "download/download_worker.h"
#include "local_servers.h"
#include "recording_observer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace local_servers;

namespace {

const CategoryChoice kWeddingOnly{true, false, false, false};

QString Started(const QString& p) {
    return DownloadText::Started(p);
}
QString Fetched(const QString& p) {
    return DownloadText::Fetched(p);
}
QString Present(const QString& p) {
    return DownloadText::Present(p);
}
QString Failed(const QString& p) {
    return DownloadText::Failed(p);
}
const QString kConnected = QString::fromUtf8(DownloadText::kConnected);
const QString kConnectFailed = QString::fromUtf8(DownloadText::kConnectFailed);
const QString kDownloading = QString::fromUtf8(DownloadText::kDownloading);
const QString kDone = QString::fromUtf8(DownloadText::kDone);

TEST(ListLineTest, SizePathCategoriesAndUnsafePaths) {
    ListEntry e;
    EXPECT_FALSE(ParseListLine("1024 婚纱\\a\\1.temp", e));
    ASSERT_TRUE(ParseListLine(" +12abc;婚纱\\a;b\\1.temp \t", e));
    EXPECT_EQ(e.size, 12);
    EXPECT_EQ(e.path, "婚纱\\a;b\\1.temp");
    ASSERT_TRUE(ParseListLine("x;a", e));
    EXPECT_EQ(e.size, 0);
    ASSERT_TRUE(ParseListLine("99999999999;a", e));
    EXPECT_EQ(e.size, 2147483647);

    EXPECT_TRUE(IsWantedPath("婚纱\\a\\1.temp", kWeddingOnly));
    EXPECT_TRUE(IsWantedPath("共用\\readme.txt", kWeddingOnly));
    EXPECT_FALSE(IsWantedPath("儿童\\a\\1.temp", kWeddingOnly));
    EXPECT_FALSE(IsWantedPath("婚纱\\全家福风格\\1.temp", kWeddingOnly));
    EXPECT_TRUE(IsWantedPath("婚纱\\全家福风格\\1.temp", {true, false, false, true}));
    EXPECT_EQ(CategoryIndex("全家福"), 3);
    EXPECT_EQ(CategoryIndex("风景"), -1);

    EXPECT_EQ(DownloadTargetPath("/s/模板/", "婚纱\\a\\.\\1.temp"), "/s/模板/婚纱/a/1.temp");
    for (const char* unsafe : {"..\\..\\x", "婚纱\\..\\..\\x", "\\etc\\x", "/etc/x", "C:\\x",
                               "婚纱\\a\\", "婚纱\\... \\x", ""})
        EXPECT_EQ(DownloadTargetPath("/s/模板", QString::fromUtf8(unsafe)), "") << unsafe;
}

class DownloadPassTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = base.file("模板");
        served = serverDir.path();
        ASSERT_TRUE(
            WriteBytes(served + "/list2.txt", ToGbk("<i><p>婚纱\\唯美\\花语\\1.temp</p></i>")));
    }
    DownloadJob Job(const CategoryChoice& categories = kWeddingOnly) const {
        DownloadJob job;
        job.server = QStringLiteral("127.0.0.1");
        job.port = server.port();
        job.categories = categories;
        job.root = root;
        job.tuning.waits = {20, 20, 20, 20};
        job.tuning.ftp.stallSeconds = 5;
        return job;
    }
    DownloadResult Run(const DownloadJob& job) {
        observer.Clear();
        return RunDownloadPasses(job, observer, cancel);
    }
    // Serves the given files (relative path -> size) and lists them.
    void Serve(const QList<QPair<QString, int>>& files, QStringList extraLines = {}) {
        QStringList lines;
        char seed = 1;
        for (const auto& f : files) {
            ASSERT_TRUE(PutFile(served, f.first, Filler(f.second, seed++)));
            lines << ListLine(served, f.first);
        }
        ASSERT_TRUE(WriteList(served, lines + extraLines));
    }

    TestFolder base;
    QTemporaryDir serverDir;
    QString root;
    QString served;
    FtpServer server;
    RecordingObserver observer;
    std::atomic<bool> cancel{false};
};

TEST_F(DownloadPassTest, FetchesTheChosenCategoryThenSkipsWhatIsPresentWithTheListedSize) {
    Serve(
        {{"婚纱/唯美/花语/1.temp", 3000}, {"婚纱/唯美/花语/2.temp", 5000}, {"共用/说明.txt", 100}},
        {"没有分号的一行", "1024;儿童\\童趣\\星星\\1.temp", "7;写真\\x\\1.temp"});
    ASSERT_TRUE(server.Start(served));

    DownloadResult result = Run(Job());
    EXPECT_EQ(result.end, DownloadEnd::Completed);
    EXPECT_EQ(result.filesWritten, 5); // list.txt, list2.txt and three files
    const QString a = "婚纱\\唯美\\花语\\1.temp", b = "婚纱\\唯美\\花语\\2.temp",
                  c = "共用\\说明.txt";
    EXPECT_EQ(observer.statuses(),
              (QStringList{kConnected, kDownloading, Started(a), Fetched(a), Started(b), Fetched(b),
                           Started(c), Fetched(c), kDone}));
    EXPECT_EQ(TreeDifferences(served + "/婚纱", root + "/婚纱"), QStringList());
    EXPECT_EQ(ReadBytes(root + "/共用/说明.txt"), ReadBytes(served + "/共用/说明.txt"));
    EXPECT_EQ(ReadBytes(root + "/list.txt"), ReadBytes(served + "/list.txt"));
    EXPECT_EQ(ReadBytes(root + "/list2.txt"), ReadBytes(served + "/list2.txt"));
    EXPECT_FALSE(QFileInfo::exists(root + "/儿童"));
    EXPECT_FALSE(QFileInfo::exists(root + "/写真"));

    result = Run(Job());
    EXPECT_EQ(result.end, DownloadEnd::Completed);
    EXPECT_EQ(result.filesWritten, 2);
    EXPECT_EQ(observer.statuses(),
              (QStringList{kConnected, kDownloading, Started(a), Present(a), Started(b), Present(b),
                           Started(c), Present(c), kDone}));

    // Only the length tells a file is complete: same length stays, another
    // length is fetched again and replaces the file.
    ASSERT_TRUE(WriteBytes(root + "/婚纱/唯美/花语/1.temp", QByteArray(3000, 'x')));
    ASSERT_TRUE(WriteBytes(root + "/婚纱/唯美/花语/2.temp", "short"));
    result = Run(Job());
    EXPECT_EQ(observer.statuses().mid(2, 4),
              (QStringList{Started(a), Present(a), Started(b), Fetched(b)}));
    EXPECT_EQ(ReadBytes(root + "/婚纱/唯美/花语/1.temp"), QByteArray(3000, 'x'));
    EXPECT_EQ(ReadBytes(root + "/婚纱/唯美/花语/2.temp"),
              ReadBytes(served + "/婚纱/唯美/花语/2.temp"));
    QStringList expected{"list.txt", "list2.txt", "共用/说明.txt", "婚纱/唯美/花语/1.temp",
                         "婚纱/唯美/花语/2.temp"};
    expected.sort();
    EXPECT_EQ(FilesUnder(root), expected);
}

TEST_F(DownloadPassTest, UnsafeAndOversizePathsArePassedOverWithoutFailingThePass) {
    Serve({{"婚纱/好/1.temp", 10}}, {"5;..\\..\\escaped", "5;婚纱\\..\\..\\escaped2", "5;\\root",
                                     "5;C:\\drive", "5;婚纱\\好\\", "300000000;婚纱\\大\\1.temp"});
    ASSERT_TRUE(server.Start(served));
    const DownloadResult result = Run(Job());
    EXPECT_EQ(result.end, DownloadEnd::Completed);
    EXPECT_EQ(
        observer.statuses(),
        (QStringList{kConnected, kDownloading, Started("婚纱\\好\\1.temp"),
                     Fetched("婚纱\\好\\1.temp"), DownloadText::Unsafe("..\\..\\escaped"),
                     DownloadText::Unsafe("婚纱\\..\\..\\escaped2"), DownloadText::Unsafe("\\root"),
                     DownloadText::Unsafe("C:\\drive"), DownloadText::Unsafe("婚纱\\好\\"),
                     DownloadText::TooLarge("婚纱\\大\\1.temp"), kDone}));
    const QDir above(base.path() + "/..");
    EXPECT_FALSE(above.exists("escaped"));
    EXPECT_FALSE(above.exists("escaped2"));
    EXPECT_EQ(FilesUnder(base.path()),
              (QStringList{"模板/list.txt", "模板/list2.txt", "模板/婚纱/好/1.temp"}));
}

TEST_F(DownloadPassTest, RefusedLoginIsRetriedUntilTheServerLetsUsIn) {
    Serve({{"婚纱/a/1.temp", 10}});
    ASSERT_TRUE(server.Start(served, 0, 0, "not-the-studios-password"));
    const int port = server.port();
    observer.onStatus = [&](const QString& status) {
        if (status == kConnectFailed && observer.Count(kConnectFailed) == 2) {
            ASSERT_TRUE(server.Start(served, port));
        }
    };
    const DownloadResult result = Run(Job());
    EXPECT_EQ(result.end, DownloadEnd::Completed);
    EXPECT_EQ(observer.statuses().mid(0, 3),
              (QStringList{kConnectFailed, kConnectFailed, kConnected}));
    EXPECT_EQ(observer.statuses().last(), kDone);
}

TEST_F(DownloadPassTest, MissingIndexOrFileFailsThePassAndALaterPassResumes) {
    // No list.txt on the server at first: the old index stays until a new
    // one has arrived whole.
    ASSERT_TRUE(PutFile(served, "婚纱/a/1.temp", Filler(10, 1)));
    ASSERT_TRUE(PutFile(served, "婚纱/c/1.temp", Filler(30, 3)));
    ASSERT_TRUE(PutFile(root, "list.txt", "old index"));
    ASSERT_TRUE(server.Start(served));
    const QString a = "婚纱\\a\\1.temp", b = "婚纱\\b\\1.temp", c = "婚纱\\c\\1.temp";
    observer.onStatus = [&](const QString& status) {
        if (status == kConnected && observer.Count(kConnected) == 2) {
            EXPECT_EQ(ReadBytes(root + "/list.txt"), "old index");
            ASSERT_TRUE(WriteList(served, {ListLine(served, "婚纱/a/1.temp"), "20;" + b,
                                           ListLine(served, "婚纱/c/1.temp")}));
        }
        // b appears on the server only after its first attempt failed.
        if (status == Failed(b)) {
            ASSERT_TRUE(PutFile(served, "婚纱/b/1.temp", Filler(20, 2)));
        }
    };
    const DownloadResult result = Run(Job());
    EXPECT_EQ(result.end, DownloadEnd::Completed);
    EXPECT_EQ(observer.statuses(),
              (QStringList{kConnected, kConnected, kDownloading, Started(a), Fetched(a), Started(b),
                           Failed(b), kConnected, kDownloading, Started(a), Present(a), Started(b),
                           Fetched(b), Started(c), Fetched(c), kDone}));
    EXPECT_EQ(TreeDifferences(served + "/婚纱", root + "/婚纱"), QStringList());

    // A file that never appears: passes go on until the limit of started
    // entries is reached, and no pass claims to be complete.
    ASSERT_TRUE(WriteList(served, {"20;婚纱\\never\\1.temp", ListLine(served, "婚纱/a/1.temp")}));
    DownloadJob limited = Job();
    limited.limit = 3;
    observer.onStatus = nullptr;
    EXPECT_EQ(Run(limited).end, DownloadEnd::LimitReached);
    EXPECT_EQ(observer.Count(Failed("婚纱\\never\\1.temp")), 3);
    EXPECT_EQ(observer.Count(kDone), 0);

    // An empty index completes after its wait.
    ASSERT_TRUE(WriteList(served, {}));
    EXPECT_EQ(Run(Job()).end, DownloadEnd::Completed);
    EXPECT_EQ(observer.statuses(), (QStringList{kConnected, kDownloading, kDone}));
}

TEST_F(DownloadPassTest, ConnectionDroppedMidFileLeavesTheOldFileAndNoPartOfTheNewOne) {
    Serve({{"婚纱/大/1.temp", 600000}});
    ASSERT_TRUE(PutFile(root, "婚纱/大/1.temp", "the old page"));
    ASSERT_TRUE(server.Start(served, 0, 100000));
    const int port = server.port();
    const QString big = "婚纱\\大\\1.temp";
    bool dropped = false;
    observer.onBytes = [&](qint64 bytes) {
        if (bytes > 0 && !dropped) {
            dropped = true;
            server.Stop();
        }
    };
    observer.onStatus = [&](const QString& status) {
        if (status != Failed(big))
            return;
        EXPECT_TRUE(ReadBytes(root + "/婚纱/大/1.temp") == "the old page");
        EXPECT_EQ(FilesUnder(root + "/婚纱"), QStringList{"大/1.temp"});
        ASSERT_TRUE(server.Start(served, port));
    };
    const DownloadResult result = Run(Job());
    EXPECT_TRUE(dropped);
    EXPECT_EQ(result.end, DownloadEnd::Completed);
    EXPECT_EQ(observer.Count(Failed(big)), 1);
    EXPECT_TRUE(ReadBytes(root + "/婚纱/大/1.temp") == ReadBytes(served + "/婚纱/大/1.temp"));
    EXPECT_EQ(FilesUnder(root + "/婚纱"), QStringList{"大/1.temp"});
}

} // namespace
