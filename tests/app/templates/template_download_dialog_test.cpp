// The template download window over real local servers: its layout and
// texts, the refusals, a download that goes on while the window is hidden
// and reports the changed library, and destroying the window during a long
// transfer.

#include "../download/local_servers.h"
#include "app/main_window/dialog_units.h"
#include "app/templates/template_download_dialog.h"
#include "common/messages.h"
#include "common/profile.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

using local_servers::FtpServer;
using local_servers::LookupServer;

constexpr int kTimeoutMs = 20000;

class TemplateDownloadDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = std::make_unique<CTemplateDownloadDlg>(messages);
        DownloadTuning tuning;
        tuning.waits = {20, 20, 20, 20};
        tuning.ftp.stallSeconds = 5;
        tuning.lookupTimeoutSeconds = 5;
        dialog->SetTuning(tuning);
        QObject::connect(dialog.get(), &CTemplateDownloadDlg::LibraryChanged, &context,
                         [this] { ++libraryChanges; });
        QObject::connect(dialog.get(), &CTemplateDownloadDlg::DownloadEnded, &context,
                         [this] { ++ends; });
    }
    // Starts the lookup (answering with the FTP server's address) and the
    // FTP server over the served folder, and points the profile at them.
    void StartServers(int rate = 0) {
        ASSERT_TRUE(lookup.Start(scratch.filePath("reply")));
        ASSERT_TRUE(lookup.Reply("<ip>127.0.0.1</ip>"));
        ASSERT_TRUE(ftp.Start(served.path(), 0, rate));
        Profile::SetString("download", "lookup", lookup.base());
        Profile::SetString("download", "ftpport", QString::number(ftp.port()));
    }

    TestFolder base;
    QTemporaryDir served;
    QTemporaryDir scratch;
    LookupServer lookup;
    FtpServer ftp;
    RecordingMessages messages;
    QObject context;
    std::unique_ptr<CTemplateDownloadDlg> dialog;
    int libraryChanges = 0;
    int ends = 0;
};

TEST_F(TemplateDownloadDlgTest, LayoutTextsShowcaseAndClosingThatOnlyHides) {
    EXPECT_EQ(dialog->windowTitle(), "模板管理");
    EXPECT_EQ(dialog->size(), DialogSize(391, 144));
    EXPECT_EQ(dialog->groupBox()->title(), "模板下载");
    EXPECT_EQ(dialog->groupBox()->geometry(), DialogRect(8, 14, 378, 112));
    const QStringList texts{"婚纱模板", "儿童模板", "写真模板", "全家福模板"};
    for (int i = 0; i < kCategoryCount; ++i) {
        EXPECT_EQ(dialog->categoryBox(i)->text(), texts[i]);
        EXPECT_EQ(dialog->categoryBox(i)->geometry(), DialogRect(24, 37 + 18 * i, 72, 14));
        EXPECT_EQ(dialog->categoryBox(i)->isChecked(), i == 0);
    }
    EXPECT_EQ(dialog->startButton()->text(), "开始下载");
    EXPECT_EQ(dialog->startButton()->geometry(), DialogRect(302, 91, 60, 16));
    EXPECT_EQ(dialog->latestButton()->text(), "最新模板");
    EXPECT_EQ(dialog->latestButton()->geometry(), DialogRect(302, 35, 60, 16));
    EXPECT_EQ(dialog->statusLabel()->geometry(), DialogRect(131, 97, 164, 10));
    EXPECT_EQ(dialog->statusLabel()->text(), "");
    EXPECT_TRUE(dialog->statusLabel()->alignment() & Qt::AlignRight);

    QList<QUrl> opened;
    dialog->SetUrlOpener([&](const QUrl& url) { opened << url; });
    Profile::SetString("download", "showcase", "http://127.0.0.1:1/new.html");
    QTest::mouseClick(dialog->latestButton(), Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{QUrl("http://127.0.0.1:1/new.html")});

    QPointer<CTemplateDownloadDlg> alive(dialog.get());
    for (bool byKey : {false, true}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        if (byKey)
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else
            dialog->close();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(alive);
    }
}

TEST_F(TemplateDownloadDlgTest, RefusalsComeAsMessagesAndLeaveTheButtonUsable) {
    dialog->categoryBox(0)->setChecked(false);
    QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
    EXPECT_EQ(messages.informed, QStringList{"未选中模板类别!"});
    EXPECT_FALSE(dialog->IsRunning());

    StartServers();
    ASSERT_TRUE(lookup.Reply("<ip></ip>"));
    dialog->categoryBox(1)->setChecked(true);
    QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->startButton()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends == 1; }, kTimeoutMs));
    EXPECT_EQ(messages.informed, (QStringList{"未选中模板类别!", "连接下载服务失败，请稍候再试!"}));
    EXPECT_TRUE(lookup.TakeLines().value(0).startsWith("GET /gettempip.php?id="));
    EXPECT_TRUE(dialog->startButton()->isEnabled());
    EXPECT_EQ(dialog->statusLabel()->text(), "");
    EXPECT_EQ(libraryChanges, 0);
}

TEST_F(TemplateDownloadDlgTest, DownloadGoesOnHiddenAndReportsTheChangedLibrary) {
    ASSERT_TRUE(CopyTree(TAOBAN_BINARY_DIR "/demo/模板", served.path()));
    StartServers();
    dialog->show();
    QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->IsRunning());
    EXPECT_FALSE(dialog->startButton()->isEnabled());
    dialog->hide();
    // Changing the boxes now does not change the running download.
    dialog->categoryBox(1)->setChecked(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends == 1; }, kTimeoutMs));
    EXPECT_EQ(dialog->statusLabel()->text(), "下载完成!");
    EXPECT_TRUE(dialog->startButton()->isEnabled());
    EXPECT_EQ(libraryChanges, 1);
    EXPECT_TRUE(messages.informed.isEmpty());
    const QString root = base.file("模板");
    EXPECT_EQ(local_servers::TreeDifferences(served.path() + "/婚纱", root + "/婚纱"),
              QStringList());
    EXPECT_EQ(ReadBytes(root + "/list.txt"), ReadBytes(served.path() + "/list.txt"));
    EXPECT_FALSE(QFileInfo::exists(root + "/儿童"));
}

TEST_F(TemplateDownloadDlgTest, DestroyingTheWindowCancelsALongTransferAndKeepsNoPart) {
    ASSERT_TRUE(
        local_servers::PutFile(served.path(), "婚纱/大/1.temp", local_servers::Filler(2 << 20, 5)));
    ASSERT_TRUE(local_servers::WriteList(
        served.path(), {local_servers::ListLine(served.path(), "婚纱/大/1.temp")}));
    StartServers(64 * 1024);
    QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return dialog->statusLabel()->text() == "婚纱\\大\\1.temp:下载中。。"; },
        kTimeoutMs));
    QTest::qWait(300); // well into the transfer
    QElapsedTimer clock;
    clock.start();
    dialog.reset();
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(local_servers::FilesUnder(base.file("模板")), (QStringList{"list.txt"}));
    QTest::qWait(50);
    EXPECT_EQ(libraryChanges, 0);
    EXPECT_EQ(ends, 0);
}

} // namespace
