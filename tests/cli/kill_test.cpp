// taoban-cli killed with SIGKILL part-way: every file is the old one or the
// new one, whole; the task reopens; later pages, renders, exports and
// template downloads are complete.

#include "../download/local_servers.h"
#include "cli_studio.h"
#include "compose/template_body.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"

#include <QRandomGenerator>

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

class KillTest : public OneCustomerStudio {
protected:
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
};

// A template whose background is seeded noise: versions of one file differ
// in length and bytes, and each is a whole template.
QByteArray NoiseTemplate(int w, int h, quint32 seed) {
    QImage noise(w, h, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < h; ++y)
        random.fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), w);
    TemplateBody body;
    body.width = 2000;
    body.height = 3000;
    body.background = EncodeImage(noise, "PNG");
    body.rects = {TemplateRect{50, 50, 480, 700}};
    return SerializeTemplateBody(body);
}

// The template server on 127.0.0.1, sending every file slowly, and the
// two versions of the library it serves: the studio downloads the old one
// whole, then the new one under kills.
class ServedLibrary {
public:
    static constexpr int kFiles = 4;

    explicit ServedLibrary(const QString& localRoot) : localRoot_(localRoot) {
        for (int i = 0; i < kFiles; ++i) {
            oldFiles_.append(NoiseTemplate(200, 150, quint32(i + 1)));
            newFiles_.append(NoiseTemplate(210, 160, quint32(i + 11)));
        }
    }
    void Start() {
        Serve(oldFiles_);
        oldList_ = ReadBytes(served_.path() + "/list.txt");
        ASSERT_TRUE(lookup_.Start(scratch_.filePath("reply")));
        ASSERT_TRUE(lookup_.Reply("<html><ip>127.0.0.1</ip></html>\r\n"));
        ASSERT_TRUE(ftp_.Start(served_.path(), 0, 512 * 1024));
    }
    void ServeNewVersion() {
        Serve(newFiles_);
        newList_ = ReadBytes(served_.path() + "/list.txt");
    }
    QStringList Download() const {
        return {"download",
                "--category",
                "婚纱",
                "--lookup",
                lookup_.base(),
                "--ftp-port",
                QString::number(ftp_.port())};
    }
    // The studio's copies that are there but neither version whole, joined.
    std::string Mixed() const {
        QStringList mixed;
        const auto check = [&](const QString& relative, const QByteArray& a, const QByteArray& b) {
            const QString path = localRoot_ + "/" + relative;
            const QByteArray bytes = ReadBytes(path);
            if (QFileInfo::exists(path) && bytes != a && bytes != b)
                mixed << relative;
        };
        check("list.txt", oldList_, newList_);
        for (int i = 0; i < kFiles; ++i)
            check(Relative(i), oldFiles_[i], newFiles_[i]);
        return mixed.join(", ").toStdString();
    }
    // What differs between the server and the studio, hidden files included,
    // joined.
    std::string Differences() const {
        QStringList differences =
            local_servers::TreeDifferences(served_.path() + "/婚纱", localRoot_ + "/婚纱");
        if (ReadBytes(localRoot_ + "/list.txt") != newList_)
            differences << "list.txt";
        for (const QString& f : local_servers::FilesUnder(localRoot_))
            if (QFileInfo(f).fileName().startsWith('.'))
                differences << f;
        return differences.join(", ").toStdString();
    }

private:
    static QString Relative(int i) { return QStringLiteral("婚纱/下载/%1.temp").arg(i + 1); }
    void Serve(const QList<QByteArray>& files) {
        QStringList lines;
        for (int i = 0; i < kFiles; ++i) {
            ASSERT_TRUE(local_servers::PutFile(served_.path(), Relative(i), files[i]));
            lines << local_servers::ListLine(served_.path(), Relative(i));
        }
        ASSERT_TRUE(local_servers::WriteList(served_.path(), lines));
    }

    QString localRoot_;
    QTemporaryDir served_, scratch_;
    local_servers::LookupServer lookup_;
    local_servers::FtpServer ftp_;
    QList<QByteArray> oldFiles_, newFiles_;
    QByteArray oldList_, newList_;
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

TEST_F(KillTest, SixtyKillsAtRandomMomentsLeaveEveryFileWholeAndTheTaskUsable) {
    ASSERT_EQ(RunCli(AddPage(), base).exitCode, 0);
    const QString destination = dir.file("输出");
    ServedLibrary library(base + "/模板");
    library.Start();
    int customer = 0;
    const struct {
        std::function<QStringList()> args;
        // Between the whole run and the kills.
        std::function<void()> beforeKills;
    } commands[] = {
        {[&] { return AddPage(); }, {}},
        {[&] {
             return QStringList{"compose-task", "张三"};
         },
         {}},
        {[&] {
             return QStringList{"new-customer", QString("客%1").arg(++customer), "--product",
                                "相册"};
         },
         {}},
        {[&] {
             return QStringList{"edit-customer", "张三", "--product", "相册:2:10"};
         },
         {}},
        {[&] {
             return QStringList{"export", "张三", destination};
         },
         {}},
        // The old library arrives whole, then the kills cut into the
        // download of the new one.
        {[&] { return library.Download(); }, [&] { library.ServeNewVersion(); }},
    };
    std::mt19937 random(16);
    int kills = 0;
    for (const auto& command : commands) {
        // A whole run first: it gives the span the kills are spread over.
        QElapsedTimer clock;
        clock.start();
        const CliResult whole = RunCli(command.args(), base);
        ASSERT_EQ(whole.exitCode, 0) << Show(whole);
        const int span = static_cast<int>(clock.elapsed());
        if (command.beforeKills)
            command.beforeKills();
        for (int k = 0; k < 10; ++k) {
            QProcess process;
            process.setProgram(TAOBAN_CLI_PATH);
            process.setArguments(QStringList{"--base", base} + command.args());
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            process.setProcessEnvironment(env);
            process.start();
            ASSERT_TRUE(process.waitForStarted(-1));
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::uniform_int_distribution<int>(0, span)(random)));
            SignalRunningProcess(process, SIGKILL);
            process.waitForFinished(-1);
            kills += process.exitStatus() == QProcess::CrashExit;
            EXPECT_EQ(FilesNotWhole(base), QStringList())
                << process.arguments().join(' ').toStdString();
            EXPECT_EQ(library.Mixed(), "");
            const CliResult info = RunCli({"task-info", "张三"}, base);
            ASSERT_EQ(info.exitCode, 0) << Show(info);
        }
    }
    // Most kills land while the program runs; a few after it ended.
    EXPECT_GE(kills, 30);
    EveryPageReachesTheExport(dir.file("输出2"));
    // A later download brings the rest of the new library, and the hidden
    // files of the killed transfers are gone.
    const CliResult download = RunCli(library.Download(), base);
    ASSERT_EQ(download.exitCode, 0) << Show(download);
    EXPECT_EQ(library.Differences(), "");
}

} // namespace
