// taoban-cli killed with SIGKILL part-way: every file is the old one or the
// new one, whole; the task reopens; later pages, renders and exports are
// complete.

#include "cli_studio.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <thread>

namespace {

class KillTest : public ::testing::Test {
protected:
    void SetUp() override {
        base = dir.path();
        templ = PackedTemplates(dir, 1).first();
        photo = Photo(dir, "p.jpg", 300, 200);
        ASSERT_EQ(RunCli({"catalogue", "add", "相册", "6", "6"}, base).exitCode, 0);
        ASSERT_EQ(RunCli({"new-customer", "张三", "--product", "相册"}, base).exitCode, 0);
    }
    QStringList AddPage() const {
        return {"add-page", "--customer", "张三", "--product", "相册",   "--template",
                templ,      "--photo",    photo,  "--canvas",  "400x300"};
    }
    // The task's pages, in its order.
    QStringList Pages() const {
        CustomerTask task;
        EXPECT_TRUE(task.Load(TaskFilePath(CustomerFolder("张三"))));
        QStringList names;
        for (const auto& page : task.pages)
            names.append(page->Name());
        return names;
    }
    // Adds two pages, renders and exports: every page of the task reaches
    // the export, numbered 1, 2, 3 ...
    void EveryPageReachesTheExport(const QString& destination) {
        for (int i = 0; i < 2; ++i) {
            const CliResult r = RunCli(AddPage(), base);
            ASSERT_EQ(r.exitCode, 0) << Show(r);
        }
        CliResult r = RunCli({"compose-task", "张三"}, base);
        ASSERT_EQ(r.exitCode, 0) << Show(r);
        r = RunCli({"export", "张三", destination}, base);
        ASSERT_EQ(r.exitCode, 0) << Show(r);
        const int pages = static_cast<int>(Pages().size());
        EXPECT_EQ(QDir(destination + "/张三/相册").entryList(QDir::Files).size(), pages);
        EXPECT_TRUE(
            QFileInfo::exists(destination + "/张三/相册/" + QString::number(pages) + ".jpg"));
        EXPECT_EQ(FilesNotWhole(base), QStringList());
    }

    TestFolder dir;
    QString base, templ, photo;
};

TEST_F(KillTest, AddPageKilledAtEachRenameLeavesNoGapInTheExport) {
    // add-page renames its layout record, canvas size, task file and preview
    // into place; a kill at each leaves the next page's name free or taken
    // by a page the task lists.
    int when = 1;
    for (;; ++when) {
        const CliResult killed = RunCliKilledAtRename(AddPage(), base, when);
        if (killed.exitCode == 0)
            break; // fewer renames than when: the run completed
        ASSERT_EQ(killed.exitCode, -1) << Show(killed);
        EXPECT_EQ(FilesNotWhole(base), QStringList()) << when;
        const QStringList pages = Pages();
        for (int i = 0; i < pages.size(); ++i)
            EXPECT_EQ(pages[i], i == 0 ? QString("相册") : QString("相册-%1").arg(i + 1));
        ASSERT_LT(when, 10);
    }
    EXPECT_GE(when, 5);
    EveryPageReachesTheExport(dir.file("输出"));
    // The temporary files of the killed writes went with the later writes.
    QDirIterator hidden(CustomerFolder("张三"), {".*"}, QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
    EXPECT_FALSE(hidden.hasNext()) << hidden.next().toStdString();
}

TEST_F(KillTest, FiftyKillsAtRandomMomentsLeaveEveryFileWholeAndTheTaskUsable) {
    ASSERT_EQ(RunCli(AddPage(), base).exitCode, 0);
    const QString destination = dir.file("输出");
    int customer = 0;
    const std::vector<std::function<QStringList()>> commands{
        [&] { return AddPage(); },
        [&] {
            return QStringList{"compose-task", "张三"};
        },
        [&] {
            return QStringList{"new-customer", QString("客%1").arg(++customer), "--product",
                               "相册"};
        },
        [&] {
            return QStringList{"edit-customer", "张三", "--product", "相册:2:10"};
        },
        [&] {
            return QStringList{"export", "张三", destination};
        },
    };
    std::mt19937 random(16);
    int kills = 0;
    for (const auto& command : commands) {
        // A whole run first: it gives the span the kills are spread over.
        QElapsedTimer clock;
        clock.start();
        const CliResult whole = RunCli(command(), base);
        ASSERT_EQ(whole.exitCode, 0) << Show(whole);
        const int span = static_cast<int>(clock.elapsed());
        for (int k = 0; k < 10; ++k) {
            QProcess process;
            process.setProgram(TAOBAN_CLI_PATH);
            process.setArguments(QStringList{"--base", base} + command());
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            process.setProcessEnvironment(env);
            process.start();
            ASSERT_TRUE(process.waitForStarted(-1));
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::uniform_int_distribution<int>(0, span)(random)));
            ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
            process.waitForFinished(-1);
            kills += process.exitStatus() == QProcess::CrashExit;
            EXPECT_EQ(FilesNotWhole(base), QStringList())
                << process.arguments().join(' ').toStdString();
            const CliResult info = RunCli({"task-info", "张三"}, base);
            ASSERT_EQ(info.exitCode, 0) << Show(info);
        }
    }
    // Most kills land while the program runs; a few after it ended.
    EXPECT_GE(kills, 25);
    EveryPageReachesTheExport(dir.file("输出2"));
}

} // namespace
