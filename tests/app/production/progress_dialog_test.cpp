// The progress window over real compositing runs: its layout for page and
// task runs, pause, abort, the keys it swallows and the power-off after the
// run, with a fake shutdown service.

#include "app/main_window/dialog_units.h"
#include "app/production/progress_dialog.h"
#include "app/production/shutdown_service.h"
#include "common/messages.h"
#include "compose/template_body.h"
#include "controls/color_progress_ctrl.h"
#include "production/progress_run.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

constexpr int kTimeoutMs = 60000;

// Records each power-off request and what the run looked like then. It
// answers at once, or, when deferred, only when the test calls Answer.
class FakeShutdown final : public IShutdownService {
public:
    void PowerOff(Answer answer) override {
        ++calls;
        windowShownAtCall = dialog && dialog->isVisible();
        runActiveAtCall = g_pProgressDlg.load() != nullptr;
        pending = std::move(answer);
        if (!deferred)
            Answer();
    }
    void Answer() { std::exchange(pending, nullptr)(refusal.isEmpty(), refusal); }
    int calls = 0;
    QString refusal; // non-empty: the system says no, with this reason
    bool deferred = false;
    IShutdownService::Answer pending;
    const QWidget* dialog = nullptr;
    bool windowShownAtCall = true;
    bool runActiveAtCall = true;
};

// A customer task of `pages` pages of side x side pixels, each one photo in
// one slot over a plain background. Returns the task-file path.
QString WriteTask(const QString& customer, int pages, int side) {
    TemplateBody body;
    body.preview = EncodeImage(QuadrantImage(40, 30), "JPEG");
    body.width = body.height = 2000;
    QImage background(300, 300, QImage::Format_RGB32);
    background.fill(QColor(240, 230, 220));
    body.background = EncodeImage(background, "PNG");
    body.rects = {TemplateRect{100, 100, 900, 900}};
    LayoutRecord record;
    record.body = SerializeTemplateBody(body);
    record.photos = {LayoutPhoto{0, EncodeImage(QuadrantImage(1200, 900), "JPEG")}};

    const QString folder = CustomerFolder(customer);
    QDir().mkpath(folder);
    CustomerTask task;
    task.SetPath(TaskFilePath(folder));
    for (int i = 0; i < pages; ++i) {
        auto page = std::make_unique<TaskPage>();
        page->SetName(i == 0 ? "A" : "A-" + QString::number(i + 1));
        page->width = page->height = side;
        page->placements.fill(SlotPlacement::Zero());
        SlotPlacement& slot = page->placements[0];
        slot.left = 100;
        slot.top = 75;
        slot.right = 900;
        slot.bottom = 675;
        QDir().mkpath(PageDataFolder(folder, page->Name()));
        WriteBytes(PageDataFolder(folder, page->Name()) + "/dat", SerializeLayoutRecord(record));
        task.pages.push_back(std::move(page));
    }
    task.Save();
    return task.Path();
}

bool WaitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, kTimeoutMs);
}

class ProgressDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = std::make_unique<CProgressDlg>(messages, shutdown);
        shutdown.dialog = dialog.get();
        ComposeEnvironment env;
        env.canvasSize = [] { return QSize(1000, 750); };
        dialog->SetEnvironment(env);
    }
    void TearDown() override {
        dialog.reset();
        EXPECT_EQ(g_pProgressDlg.load(), nullptr);
    }

    // A task run over three customers, held at its first progress report.
    void StartPausedTaskRun(int pagesEach, int side) {
        dialog->SetTaskPaths({WriteTask("甲", pagesEach, side), WriteTask("乙", pagesEach, side),
                              WriteTask("丙", pagesEach, side)});
        dialog->Start(-1, nullptr);
        dialog->pauseButton()->click();
        ASSERT_EQ(dialog->pauseButton()->text(), "继续");
        dialog->run()->WaitForPausedWorker();
    }

    TestFolder base;
    RecordingMessages messages;
    FakeShutdown shutdown;
    std::unique_ptr<CProgressDlg> dialog;
};

TEST_F(ProgressDialogTest, ThreeTasksRunTo300AndCloseThere) {
    dialog->SetTaskPaths(
        {WriteTask("甲", 1, 600), WriteTask("乙", 1, 600), WriteTask("丙", 1, 600)});
    dialog->Start(-1, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(g_pProgressDlg.load(), dialog->run());
    EXPECT_EQ(dialog->overallBar()->Upper(), 300);
    // A task run shows the overall bar only, with its buttons.
    EXPECT_FALSE(dialog->currentBar()->isVisibleTo(dialog.get()));
    EXPECT_FALSE(dialog->currentLabel()->isVisibleTo(dialog.get()));
    EXPECT_TRUE(dialog->overallBar()->isVisibleTo(dialog.get()));
    EXPECT_EQ(dialog->overallBar()->geometry(), DialogRect(59, 18, 126, 11));
    EXPECT_TRUE(dialog->pauseButton()->isVisibleTo(dialog.get()));
    EXPECT_TRUE(dialog->abortButton()->isVisibleTo(dialog.get()));
    EXPECT_FALSE(dialog->abortingLabel()->isVisibleTo(dialog.get()));
    EXPECT_EQ(dialog->size(), DialogSize(227, 58));

    ASSERT_TRUE(WaitFor([&] { return dialog->IsFinished(); }));
    EXPECT_EQ(dialog->result(), 1);
    EXPECT_EQ(dialog->overallBar()->GetPos(), 300);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(g_pProgressDlg.load(), nullptr);
    for (const char* customer : {"甲", "乙", "丙"})
        EXPECT_TRUE(QFileInfo::exists(CustomerFolder(customer) + "/bigA.jpg")) << customer;
    EXPECT_EQ(shutdown.calls, 0);
}

TEST_F(ProgressDialogTest, APageRunShowsOneLowerBarAndOpensThePageOnTheWindowsThread) {
    CustomerTask task;
    ASSERT_TRUE(task.Load(WriteTask("丁", 2, 400)));
    QString opened;
    bool openedOnWindowThread = false;
    ComposeEnvironment env;
    env.canvasSize = [] { return QSize(1000, 750); };
    env.openFile = [&](const QString& image) {
        opened = image;
        openedOnWindowThread = QThread::currentThread() == dialog->thread();
    };
    dialog->SetEnvironment(env);

    EXPECT_EQ(dialog->Run(1, &task), 1);
    EXPECT_TRUE(dialog->IsFinished());
    EXPECT_EQ(opened, CustomerFolder("丁") + "/bigA-2.jpg");
    EXPECT_TRUE(openedOnWindowThread);
    EXPECT_FALSE(QFileInfo::exists(CustomerFolder("丁") + "/bigA.jpg"));
    EXPECT_EQ(dialog->currentBar()->GetPos(), 100);

    EXPECT_TRUE(dialog->currentBar()->isVisibleTo(dialog.get()));
    EXPECT_EQ(dialog->currentBar()->geometry(), DialogRect(59, 18, 126, 11));
    EXPECT_EQ(dialog->currentLabel()->geometry(), DialogRect(23, 20, 34, 8));
    EXPECT_EQ(dialog->currentLabel()->text(), "当前进度:");
    for (QWidget* hidden : {static_cast<QWidget*>(dialog->overallBar()),
                            static_cast<QWidget*>(dialog->overallLabel()),
                            static_cast<QWidget*>(dialog->pauseButton()),
                            static_cast<QWidget*>(dialog->abortButton())})
        EXPECT_FALSE(hidden->isVisibleTo(dialog.get()));
    EXPECT_EQ(dialog->currentLabel()->palette().color(QPalette::WindowText).rgb(),
              CProgressDlg::kTextColor);
}

TEST_F(ProgressDialogTest, WhilePausedAbortIsIgnoredAndEnterOrEscapeDoNothing) {
    StartPausedTaskRun(1, 600);
    dialog->abortButton()->click();
    EXPECT_TRUE(messages.asked.isEmpty());
    EXPECT_EQ(g_pProgressDlg.load(), dialog->run());
    EXPECT_FALSE(dialog->abortingLabel()->isVisibleTo(dialog.get()));

    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    QTest::keyClick(dialog->pauseButton(), Qt::Key_Return);
    QTest::keyClick(dialog->abortButton(), Qt::Key_Enter);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->pauseButton()->text(), "继续");
    EXPECT_TRUE(messages.asked.isEmpty());

    dialog->pauseButton()->click();
    EXPECT_EQ(dialog->pauseButton()->text(), "暂停");
    ASSERT_TRUE(WaitFor([&] { return dialog->IsFinished(); }));
    EXPECT_EQ(dialog->result(), 1);
}

TEST_F(ProgressDialogTest, ShutdownTickedWithYesFollowsAnAbortOnceTheWindowHasClosed) {
    StartPausedTaskRun(2, 3000);
    messages.SetAnswer(false);
    dialog->shutdownBox()->click();
    EXPECT_EQ(messages.asked, QStringList{"确定套完版关机吗？"});
    EXPECT_FALSE(dialog->shutdownBox()->isChecked());

    messages.SetAnswer(true);
    dialog->shutdownBox()->click();
    EXPECT_TRUE(dialog->shutdownBox()->isChecked());
    dialog->shutdownBox()->click(); // unticking asks nothing
    EXPECT_FALSE(dialog->shutdownBox()->isChecked());
    dialog->shutdownBox()->click();
    EXPECT_TRUE(dialog->shutdownBox()->isChecked());
    EXPECT_EQ(messages.asked.size(), 3);

    dialog->pauseButton()->click();
    dialog->abortButton()->click();
    EXPECT_EQ(messages.asked.last(), "确定中止套版吗？");
    EXPECT_TRUE(dialog->abortingLabel()->isVisibleTo(dialog.get()));
    EXPECT_EQ(g_pProgressDlg.load(), nullptr);
    EXPECT_EQ(shutdown.calls, 0);

    ASSERT_TRUE(WaitFor([&] { return dialog->IsFinished(); }));
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_FALSE(QFileInfo::exists(CustomerFolder("丙") + "/bigA.jpg"));
    EXPECT_EQ(shutdown.calls, 1);
    EXPECT_FALSE(shutdown.windowShownAtCall);
    EXPECT_FALSE(shutdown.runActiveAtCall);
    EXPECT_TRUE(messages.informed.isEmpty());
    dialog.reset();
    EXPECT_EQ(shutdown.calls, 1);
}

TEST_F(ProgressDialogTest, ARefusedPowerOffIsShownToTheOperator) {
    shutdown.refusal = "Interactive authentication required.";
    CustomerTask task;
    ASSERT_TRUE(task.Load(WriteTask("戊", 1, 400)));
    dialog->Start(0, &task);
    dialog->shutdownBox()->click();
    ASSERT_TRUE(WaitFor([&] { return dialog->IsFinished(); }));
    EXPECT_EQ(shutdown.calls, 1);
    EXPECT_EQ(messages.informed,
              QStringList{"自动关机失败,请手动关机!\nInteractive authentication required."});
}

TEST_F(ProgressDialogTest, TheRunEndsWithoutWaitingForThePowerOffAnswer) {
    shutdown.deferred = true;
    shutdown.refusal = "Timeout was reached";
    CustomerTask task;
    ASSERT_TRUE(task.Load(WriteTask("己", 1, 400)));
    dialog->Start(0, &task);
    dialog->shutdownBox()->click();
    ASSERT_TRUE(WaitFor([&] { return dialog->IsFinished(); }));
    EXPECT_EQ(shutdown.calls, 1);
    EXPECT_TRUE(messages.informed.isEmpty());
    // The answer may come after the window is gone.
    dialog.reset();
    ASSERT_TRUE(shutdown.pending);
    shutdown.Answer();
    EXPECT_EQ(messages.informed, QStringList{"自动关机失败,请手动关机!\nTimeout was reached"});
}

TEST_F(ProgressDialogTest, AWindowDestroyedMidRunStopsItsWorkerAndClearsTheRun) {
    StartPausedTaskRun(2, 3000);
    dialog->shutdownBox()->click();
    dialog.reset();
    EXPECT_EQ(g_pProgressDlg.load(), nullptr);
    EXPECT_EQ(shutdown.calls, 1);
    EXPECT_FALSE(QFileInfo::exists(CustomerFolder("丙") + "/bigA.jpg"));
}

} // namespace
