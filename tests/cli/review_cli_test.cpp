// The customer's review as the operator and the phone use it: taoban-cli
// opens it and serves it on 127.0.0.1, a real HTTP client speaks the page's
// interface.

#include "cli_runner.h"
#include "cli_studio.h"
#include "common/atomic_file.h"
#include "records/customer_review.h"
#include "records/customer_task.h"
#include "records/customer_update.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <httplib.h>
#include <thread>

namespace {

const QString kCustomer = QStringLiteral("张三");

QJsonObject Json(const QString& text) {
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

struct Answer {
    int status = -1;
    std::string body;
    std::string etag;
};

class ReviewCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        base = dir.path();
        folder = CustomerFolder(kCustomer);
        ASSERT_TRUE(QDir().mkpath(folder));
        CustomerTask task;
        task.SetPath(TaskFilePath(folder));
        for (const char* name : {"相册", "相册-2", "相册-3"}) {
            auto page = std::make_unique<TaskPage>();
            page->SetName(QString::fromUtf8(name));
            task.pages.push_back(std::move(page));
            SavePageImage(QString::fromUtf8(name), Qt::white);
        }
        ASSERT_TRUE(task.Save());
        photos = dir.file("客片");
        ASSERT_TRUE(QDir().mkpath(photos));
        for (int i = 1; i <= 6; ++i)
            ASSERT_TRUE(WriteBytes(photos + QStringLiteral("/IMG_%1.jpg").arg(i),
                                   EncodeImage(QuadrantImage(2400, 1600), "JPEG")));

        server.start(QStringLiteral(TAOBAN_CLI_PATH),
                     {"--base", base, "review-serve", "--listen", "127.0.0.1:0"});
        ASSERT_TRUE(server.waitForReadyRead(10000)) << server.readAllStandardError().data();
        const QString said = QString::fromUtf8(server.readLine());
        const auto m = QRegularExpression(R"(127\.0\.0\.1:(\d+)/)").match(said);
        ASSERT_TRUE(m.hasMatch()) << said.toStdString();
        port = m.captured(1).toInt();
    }

    void TearDown() override {
        SignalRunningProcess(server, SIGTERM);
        EXPECT_TRUE(server.waitForFinished(10000));
        EXPECT_EQ(server.exitCode(), 0);
    }

    // A finished page's preview as a station saves it.
    void SavePageImage(const QString& page, QColor colour) {
        QImage image(900, 600, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(
            WriteFileAtomic(PageImagePath(folder, page, ".jpg"), EncodeImage(image, "JPEG")));
    }

    // review-open; returns the token of the link it printed last.
    QString Open(const QStringList& options = {}) {
        const CliResult r = RunCli(QStringList{"review-open", kCustomer, "--host",
                                               QStringLiteral("127.0.0.1:%1").arg(port)} +
                                       options,
                                   base);
        EXPECT_EQ(r.exitCode, 0) << Show(r);
        const auto m =
            QRegularExpression(
                QStringLiteral("^http://127\\.0\\.0\\.1:%1/r/([0-9a-f]{32})/$").arg(port))
                .match(r.OutLines().value(r.OutLines().size() - 1));
        EXPECT_TRUE(m.hasMatch()) << Show(r);
        return m.captured(1);
    }

    QJsonObject Status() {
        const CliResult r = RunCli({"review-status", kCustomer}, base);
        EXPECT_EQ(r.exitCode, 0) << Show(r);
        return Json(r.out);
    }

    httplib::Client Client() {
        httplib::Client client("127.0.0.1", port);
        client.set_url_encode(false);
        client.set_read_timeout(20);
        return client;
    }

    Answer Send(const std::string& method, const QString& path, const std::string& body = {},
                const httplib::Headers& headers = {}) {
        httplib::Client client = Client();
        const std::string p = path.toStdString();
        httplib::Result res = method == "GET"    ? client.Get(p, headers)
                              : method == "POST" ? client.Post(p, headers, body, "application/json")
                              : method == "PUT"  ? client.Put(p, headers, body, "application/json")
                                                 : client.Delete(p, headers);
        if (!res)
            return {};
        return {res->status, res->body, res->get_header_value("ETag")};
    }
    Answer Get(const QString& path, const httplib::Headers& headers = {}) {
        return Send("GET", path, {}, headers);
    }
    int Post(const QString& path, const char* json) { return Send("POST", path, json).status; }

    // Every file of the customer folder and the photos but the scaled
    // copies and the lock, with a digest of its bytes.
    QMap<QString, QByteArray> Files() {
        QMap<QString, QByteArray> files;
        for (const QString& root : {folder, photos}) {
            QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                if (!path.contains(QStringLiteral("审阅缓存")) && !path.endsWith(".lock"))
                    files[path] =
                        QCryptographicHash::hash(ReadBytes(path), QCryptographicHash::Md5);
            }
        }
        return files;
    }

    TestFolder dir;
    QString base, folder, photos;
    QProcess server;
    int port = 0;
};

TEST_F(ReviewCliTest, CustomerChoosesApprovesAndAsksForAChangeWithAPin) {
    const QString token = Open({"--photos", photos, "--choose", "2"});
    const QString r = "/r/" + token + "/";

    Answer page = Get(r);
    ASSERT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("选片"), std::string::npos);
    QJsonObject review = Json(QString::fromStdString(Get(r + "api/review").body));
    ASSERT_EQ(review["pages"].toArray().size(), 3);
    ASSERT_EQ(review["photos"].toArray().size(), 6);
    EXPECT_EQ(review["photos"].toArray()[4].toObject()["name"], "IMG_5.jpg");

    // Screen-size copies, served again only when they changed.
    for (const QString& picture : {QString("pages/1.jpg"), QString("photos/1.jpg")}) {
        const Answer first = Get(r + picture);
        ASSERT_EQ(first.status, 200) << picture.toStdString();
        const QImage shown = QImage::fromData(QByteArray::fromStdString(first.body));
        EXPECT_EQ(shown.size(), picture.startsWith("pages") ? QSize(900, 600) : QSize(1600, 1066));
        EXPECT_EQ(Get(r + picture, {{"If-None-Match", first.etag}}).status, 304);
    }

    EXPECT_EQ(Post(r + "api/photos/2", R"({"chosen": true})"), 200);
    EXPECT_EQ(Post(r + "api/photos/5", R"({"chosen": true})"), 200);
    EXPECT_EQ(Post(r + "api/photos/6", R"({"chosen": true})"), 409); // at most 2
    EXPECT_EQ(Post(r + "api/confirm-choice", "{}"), 200);
    EXPECT_EQ(Post(r + "api/photos/2", R"({"chosen": false})"), 409); // confirmed
    EXPECT_EQ(Post(r + "api/pages/1", R"({"state": "approved"})"), 200);
    EXPECT_EQ(Post(r + "api/pages/2",
                   R"({"state": "changes", "comment": "<b>脸</b>再亮一点", "pin": [0.25, 0.75]})"),
              200);
    EXPECT_EQ(Post(r + "api/approve-all", R"({"name": "张三"})"), 200);

    QJsonObject status = Status();
    EXPECT_EQ(status["customer"], kCustomer);
    EXPECT_EQ(status["round"], 1);
    EXPECT_EQ(status["open"], true);
    EXPECT_EQ(status["chosen"].toArray(), (QJsonArray{"IMG_2.jpg", "IMG_5.jpg"}));
    const QJsonArray pages = status["pages"].toArray();
    ASSERT_EQ(pages.size(), 3);
    const struct {
        const char* file;
        const char* state;
        QJsonValue by;
        QJsonValue pin;
    } expected[] = {{"相册.jpg", "approved", "张三", QJsonValue::Null},
                    {"相册-2.jpg", "changes", QJsonValue::Null, QJsonArray{0.25, 0.75}},
                    {"相册-3.jpg", "approved", "张三", QJsonValue::Null}};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject p = pages[i].toObject();
        EXPECT_EQ(p["index"], i + 1);
        EXPECT_EQ(p["file"], QString::fromUtf8(expected[i].file));
        EXPECT_EQ(p["state"], expected[i].state) << i;
        EXPECT_EQ(p["by"], expected[i].by) << i;
        EXPECT_EQ(p["pin"], expected[i].pin) << i;
        EXPECT_TRUE(p["at"].isString()) << i;
    }
    EXPECT_EQ(pages[1].toObject()["comment"], "<b>脸</b>再亮一点");

    // Before print: the page the customer wants changed.
    CliResult check = RunCli({"check", kCustomer}, base);
    QStringList unapproved;
    for (const QJsonValue& f : Json(check.out)["findings"].toArray())
        if (f.toObject()["kind"] == "unapproved")
            unapproved.append(f.toObject()["page"].toString());
    EXPECT_EQ(unapproved, QStringList{"相册-2"}) << Show(check);
    const QString lab = dir.file("lab");
    CliResult exported = RunCli({"export", kCustomer, lab}, base);
    EXPECT_EQ(exported.exitCode, 1) << Show(exported);
    EXPECT_TRUE(exported.out.contains("相册-2: 客人要求修改 (<b>脸</b>再亮一点)"))
        << Show(exported);
    EXPECT_FALSE(QFileInfo::exists(lab));
    exported = RunCli({"export", kCustomer, lab, "--force"}, base);
    EXPECT_FALSE(exported.out.contains("客人尚未通过")) << Show(exported);

    // A page saved again goes back to open, its old decision no longer holds.
    SavePageImage("相册", Qt::yellow);
    status = Status();
    EXPECT_EQ(status["pages"].toArray()[0].toObject()["state"], "open");
    EXPECT_EQ(status["pages"].toArray()[0].toObject()["revised"], true);
    // The phone approving what it showed before the save is told so.
    const QString oldStamp = review["pages"].toArray()[2].toObject()["stamp"].toString();
    SavePageImage("相册-3", Qt::cyan);
    const QByteArray late = QJsonDocument(QJsonObject{{"state", "approved"}, {"stamp", oldStamp}})
                                .toJson(QJsonDocument::Compact);
    EXPECT_EQ(Post(r + "api/pages/3", late.constData()), 409);

    // A new round: the old link is dead and tells nothing, the new one
    // keeps what the customer decided.
    const QString second = Open();
    ASSERT_NE(second, token);
    for (const QString& path : {r, r + "api/review", r + "pages/2.jpg"}) {
        const Answer old = Get(path);
        EXPECT_EQ(old.status, 404) << path.toStdString();
        EXPECT_EQ(old.body.find("张三"), std::string::npos);
    }
    EXPECT_NE(Get(r).body.find("此链接已失效"), std::string::npos);
    EXPECT_EQ(Post(r + "api/pages/2", R"({"state": "approved"})"), 404);
    review = Json(QString::fromStdString(Get("/r/" + second + "/api/review").body));
    EXPECT_EQ(review["round"], 2);
    EXPECT_EQ(review["pages"].toArray()[1].toObject()["state"], "changes");

    const CliResult closed = RunCli({"review-close", kCustomer}, base);
    EXPECT_EQ(closed.exitCode, 0) << Show(closed);
    EXPECT_EQ(Get("/r/" + second + "/").status, 404);
    EXPECT_EQ(Status()["open"], false);
    exported = RunCli({"export", kCustomer, lab}, base);
    EXPECT_FALSE(exported.out.contains("客人尚未通过")) << Show(exported);

    // The album draft from the photos the customer chose, and from no other.
    ASSERT_TRUE(CopyTree(QStringLiteral(TAOBAN_BINARY_DIR "/demo/模板"), dir.file("模板")));
    ASSERT_EQ(RunCli({"catalogue", "add", "相册", "30", "30"}, base).exitCode, 0);
    ASSERT_EQ(RunCli({"edit-customer", kCustomer, "--product", "相册:1:5"}, base).exitCode, 0);
    const CliResult draft = RunCli(
        {"auto-pages", kCustomer, "--product", "相册", "--pages", "2", "--chosen", "--seed", "1"},
        base);
    ASSERT_EQ(draft.exitCode, 0) << Show(draft);
    QStringList used;
    for (const QJsonValue& p : Json(draft.out)["pages"].toArray())
        for (const QJsonValue& photo : p.toObject()["photos"].toArray())
            used.append(photo.toString());
    used.removeDuplicates();
    used.sort();
    EXPECT_EQ(used, (QStringList{"IMG_2.jpg", "IMG_5.jpg"})) << Show(draft);
}

TEST_F(ReviewCliTest, HostileRequestsAreRefusedAndWriteNothing) {
    const QString token = Open({"--photos", photos});
    const QString r = "/r/" + token + "/";
    const std::string big(17 * 1024, ' ');
    const std::string longComment =
        R"({"state": "changes", "comment": ")" + std::string(501, 'x') + R"("})";
    const struct {
        const char* method;
        QString path;
        std::string body;
        int status;
    } cases[] = {
        {"GET", r + "pages/..%2F..%2F1.tx", {}, 404},
        {"GET", r + "pages/../../1.tx", {}, 404},
        {"GET", r + "photos/%2e%2e%2f%2e%2e%2fetc%2fpasswd", {}, 404},
        {"GET", r + "pages/0.jpg", {}, 404},
        {"GET", r + "pages/4.jpg", {}, 404},
        {"GET", r + "pages/01.jpg", {}, 404},
        {"GET", r + "pages/-1.jpg", {}, 404},
        {"GET", r + "photos/7.jpg", {}, 404},
        {"GET", r + "pages/", {}, 404},
        {"GET", r + "%E5%AE%A1%E9%98%85.json", {}, 404},
        {"GET", "/", {}, 404},
        {"GET", "/r/", {}, 404},
        {"GET", "/r/" + token.toUpper() + "/", {}, 404},
        {"GET", "/r/0123456789abcdef0123456789abcdef/api/review", {}, 404},
        {"GET", "/r/" + token + "x/", {}, 404},
        {"POST", "/r/0123456789abcdef0123456789abcdef/api/pages/1", R"({"state":"approved"})", 404},
        {"POST", r + "api/pages/1", "{bad", 400},
        {"POST", r + "api/pages/1", "[1, 2]", 400},
        {"POST", r + "api/pages/1", R"({"state": "maybe"})", 400},
        {"POST", r + "api/pages/1", R"({"state": "open"})", 400},
        {"POST", r + "api/pages/1", R"({"state": "changes"})", 400},
        {"POST", r + "api/pages/1", R"({"state": "approved", "pin": [2, 0.5]})", 400},
        {"POST", r + "api/pages/1", longComment, 400},
        {"POST", r + "api/pages/1", big, 413},
        {"POST", r + "api/pages/..%2F1", R"({"state": "approved"})", 400},
        {"POST", r + "api/pages/9", R"({"state": "approved"})", 400},
        {"POST", r + "api/photos/7", R"({"chosen": true})", 400},
        {"POST", r + "api/photos/1", R"({"chosen": "yes"})", 400},
        {"POST", r + "api/approve-all", R"({"name": ""})", 400},
        {"POST", r, "{}", 405},
        {"GET", r + "api/pages/1", {}, 405},
        {"PUT", r + "api/pages/1", R"({"state": "approved"})", 405},
        {"DELETE", r, {}, 405},
    };
    const QMap<QString, QByteArray> before = Files();
    for (const auto& c : cases) {
        const Answer answer = Send(c.method, c.path, c.body);
        EXPECT_EQ(answer.status, c.status) << c.method << " " << c.path.toStdString();
        EXPECT_EQ(answer.body.find(base.toStdString()), std::string::npos);
    }
    EXPECT_EQ(Files(), before);

    // A flood from one client is slowed, then refused; a calm client later
    // is served again.
    std::vector<int> statuses(40);
    std::vector<std::thread> flood;
    for (size_t i = 0; i < statuses.size(); ++i)
        flood.emplace_back([&, i] { statuses[i] = Get(r + "api/review").status; });
    for (std::thread& t : flood)
        t.join();
    const auto count = [&](int status) {
        return std::count(statuses.begin(), statuses.end(), status);
    };
    EXPECT_GT(count(429), 0);
    EXPECT_EQ(count(200) + count(429), 40);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_EQ(Get(r + "api/review").status, 200);
}

TEST_F(ReviewCliTest, PhonesAndAStationWritingAtOnceLoseNothing) {
    const QString token = Open({"--photos", photos});
    const QString r = "/r/" + token + "/";
    constexpr int kSaves = 12;
    std::vector<int> decided, chosen;
    std::thread phoneA([&] {
        for (int i = 0; i < 3; ++i) {
            const std::string body =
                R"({"state": "changes", "comment": "第)" + std::to_string(i + 1) + R"(版"})";
            decided.push_back(
                Send("POST", r + QStringLiteral("api/pages/%1").arg(i + 1), body).status);
        }
    });
    std::thread phoneB([&] {
        for (int i = 1; i <= 6; ++i)
            chosen.push_back(
                Post(r + QStringLiteral("api/photos/%1").arg(i), R"({"chosen": true})"));
    });
    std::thread station([&] {
        for (int i = 0; i < kSaves; ++i) {
            CustomerTask task;
            task.SetPath(TaskFilePath(folder));
            const QString name = QStringLiteral("加页-%1").arg(i + 1);
            EXPECT_TRUE(UpdateCustomerTask(task, [&](CustomerTask& current) {
                auto page = std::make_unique<TaskPage>();
                page->SetName(name);
                current.pages.push_back(std::move(page));
                return true;
            }));
            SavePageImage(name, Qt::gray);
        }
    });
    phoneA.join();
    phoneB.join();
    station.join();
    EXPECT_EQ(decided, std::vector<int>(3, 200));
    EXPECT_EQ(chosen, std::vector<int>(6, 200));

    CustomerTask task;
    ASSERT_TRUE(task.Load(TaskFilePath(folder)));
    EXPECT_EQ(task.PageCount(), 3 + kSaves);
    const QJsonObject status = Status();
    EXPECT_EQ(status["chosen"].toArray().size(), 6);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(status["pages"].toArray()[i].toObject()["comment"],
                  QStringLiteral("第%1版").arg(i + 1));
    EXPECT_EQ(status["pages"].toArray().size(), 3 + kSaves);
}

} // namespace
