// The two clients of the template server against real local servers: the
// address lookup over HTTP with its settings, and the FTP session.

#include "common/profile.h"
#include "download/download_settings.h"
#include "download/ftp_session.h"
#include "download/template_downloader.h"
#include "download/url_text.h"
#include "local_servers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>

using namespace local_servers;

namespace {

HttpFetchOptions QuickHttp() {
    HttpFetchOptions options;
    options.connectSeconds = 5;
    options.stallSeconds = 5;
    return options;
}

TEST(DownloadSettingsTest, ProfileValuesOverrideDefaultsAndLookupAddressIsChecked) {
    EXPECT_EQ(ReadDownloadSettings().lookupUrl, QString::fromLatin1(kDefaultLookupUrl));
    EXPECT_EQ(ReadDownloadSettings().ftpPort, 21);
    Profile::SetString("download", "lookup", "http://127.0.0.1:8080");
    Profile::SetString("download", "ftpport", "2121");
    EXPECT_EQ(ReadDownloadSettings().lookupUrl, "http://127.0.0.1:8080");
    EXPECT_EQ(ReadDownloadSettings().ftpPort, 2121);
    Profile::SetString("download", "ftpport", "99999");
    EXPECT_EQ(ReadDownloadSettings().ftpPort, 21);

    EXPECT_TRUE(IsLookupBaseUrl("https://templates.example.com/"));
    for (const char* bad : {"ftp://127.0.0.1", "http://127.0.0.1/x.php", "http://a@b", "127.0.0.1"})
        EXPECT_FALSE(IsLookupBaseUrl(bad)) << bad;
    EXPECT_EQ(LookupRequestUrl("http://h:81/", "0123456789"),
              "http://h:81/gettempip.php?id=0123456789");
}

TEST(LookupTest, ReplyIsReadLineByLineUntilTenEmptyLines) {
    EXPECT_EQ(JoinReplyLines("a\r\nb"), "a\r\nb\r\n");
    EXPECT_EQ(JoinReplyLines("a\n\nb\n"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinReplyLines(QByteArray(9, '\n') + "<ip>x</ip>").right(12), "<ip>x</ip>\r\n");
    EXPECT_EQ(JoinReplyLines(QByteArray(10, '\n') + "<ip>x</ip>"), QString("\r\n").repeated(9));

    QTemporaryDir dir;
    LookupServer lookup;
    ASSERT_TRUE(lookup.Start(dir.filePath("reply")));
    lookup.Reply("<html>\n<ip> 127.0.0.9 </ip>\n</html>\n");
    EXPECT_EQ(LookupFtpServer(lookup.base(), "0123456789", QuickHttp()), "127.0.0.9");
    EXPECT_EQ(lookup.TakeLines(), QStringList{"GET /gettempip.php?id=0123456789"});

    // No address: an empty element, none at all, one hidden behind ten
    // empty lines, an error status, a reply too long to be one, no server.
    for (const QByteArray& reply : {QByteArray("<ip></ip>"), QByteArray("<html></html>"),
                                    QByteArray(10, '\n') + "<ip>127.0.0.9</ip>",
                                    QByteArray(2 << 20, 'x') + "<ip>127.0.0.9</ip>"}) {
        lookup.Reply(reply);
        EXPECT_EQ(LookupFtpServer(lookup.base(), "1", QuickHttp()), "") << reply.left(20).data();
    }
    lookup.Reply("<ip>127.0.0.9</ip>");
    EXPECT_EQ(FetchUrlText(lookup.base() + "/other.php", QuickHttp()), "");
    EXPECT_EQ(
        LookupFtpServer(QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort()), "1", QuickHttp()),
        "");
}

TEST(LookupTest, OnlyAPlainHostOrAddressIsTakenFromTheReply) {
    EXPECT_EQ(FtpServerFromReply("<ip>ftp.example.com</ip>"), "ftp.example.com");
    EXPECT_EQ(FtpServerFromReply("x<ip>\r\n10.0.0.1\r\n</ip>"), "10.0.0.1");
    EXPECT_EQ(FtpServerFromReply("<ip>::1</ip>"), "::1");
    for (const char* bad : {"<ip>a@evil</ip>", "<ip>h/x</ip>", "<ip>h:21</ip>", "<ip>a b</ip>",
                            "<ip>h%2F</ip>", "<ip>10.0.0.1</ip2>"})
        EXPECT_EQ(FtpServerFromReply(bad), "") << bad;
}

class FtpSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PutFile(served.path(), "婚纱/唯美/花语/1.temp", Filler(70000, 3)));
        ASSERT_TRUE(server.Start(served.path()));
        limits.stallSeconds = 5;
    }
    QString local(const QString& name) const { return target.filePath(name); }

    QTemporaryDir served;
    QTemporaryDir target;
    FtpServer server;
    FtpLimits limits;
};

TEST_F(FtpSessionTest, LogsInAndFetchesBinaryFilesByTheirGbkPathWholeOrNotAtAll) {
    FtpSession refused(limits);
    EXPECT_FALSE(refused.Connect("127.0.0.1", server.port(), kFtpUser, "wrong"));
    FtpSession closed(limits);
    EXPECT_FALSE(closed.Connect("127.0.0.1", ClosedPort(), kFtpUser, kFtpPassword));

    FtpSession session(limits);
    ASSERT_TRUE(session.Connect("127.0.0.1", server.port(), kFtpUser, kFtpPassword))
        << session.lastError().toStdString();
    qint64 lastReport = 0;
    session.SetProgressHandler([&](qint64 bytes, qint64) { lastReport = bytes; });
    ASSERT_TRUE(session.Get("婚纱\\唯美\\花语\\1.temp", local("1.temp")))
        << session.lastError().toStdString();
    EXPECT_TRUE(ReadBytes(local("1.temp")) == Filler(70000, 3));
    EXPECT_EQ(lastReport, 70000);
    // Readable as any file the program writes, not only by its owner.
    ASSERT_TRUE(WriteBytes(local("plain"), "x"));
    EXPECT_EQ(QFileInfo(local("1.temp")).permissions(), QFileInfo(local("plain")).permissions());
    QFile::remove(local("plain"));

    // A failed transfer leaves the file in place as it was and nothing else.
    ASSERT_TRUE(WriteBytes(local("2.temp"), "old"));
    EXPECT_FALSE(session.Get("婚纱\\唯美\\花语\\2.temp", local("2.temp")));
    EXPECT_FALSE(session.Get("婚纱\\不在\\1.temp", local("2.temp")));
    EXPECT_EQ(ReadBytes(local("2.temp")), "old");
    EXPECT_EQ(FilesUnder(target.path()), (QStringList{"1.temp", "2.temp"}));
    EXPECT_EQ(FtpSession::RemoteUrlPath("婚纱\\\\a b/1.temp"), "/%2F%BB%E9%C9%B4/a%20b/1.temp");
}

TEST_F(FtpSessionTest, OversizeAndStalledTransfersFailWithoutTouchingTheFile) {
    limits.stallSeconds = 1;
    // The 70000-byte file: a limit of its size takes it, one byte less not.
    for (qint64 limit : {65536, 69999, 70000}) {
        limits.maxFileBytes = limit;
        FtpSession session(limits);
        ASSERT_TRUE(session.Connect("127.0.0.1", server.port(), kFtpUser, kFtpPassword));
        ASSERT_TRUE(WriteBytes(local("1.temp"), "good"));
        EXPECT_EQ(session.Get("婚纱\\唯美\\花语\\1.temp", local("1.temp")), limit == 70000)
            << limit;
        EXPECT_EQ(ReadBytes(local("1.temp")).size(), limit == 70000 ? 70000 : 4) << limit;
    }
    ASSERT_TRUE(WriteBytes(local("1.temp"), "good"));

    FtpSession stalled(limits);
    ASSERT_TRUE(stalled.Connect("127.0.0.1", server.port(), kFtpUser, kFtpPassword));
    server.Pause();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(stalled.Get("婚纱\\唯美\\花语\\1.temp", local("1.temp")));
    const auto waited = std::chrono::steady_clock::now() - start;
    server.Resume();
    EXPECT_LT(waited, std::chrono::seconds(4));
    EXPECT_TRUE(ReadBytes(local("1.temp")) == "good");
    EXPECT_EQ(FilesUnder(target.path()), QStringList{"1.temp"});
}

} // namespace
