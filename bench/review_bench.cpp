// The customer review server under a studio's load, served by taoban-cli
// review-serve in its own process on 127.0.0.1:
//   - a page view after the first (target: within 300 ms on the local
//     network; loopback here, so the figure is the server's own time);
//   - 200 requests at once, each from its own client address as 200 phones
//     would send them (target: every one answered 200);
//   - the server's peak memory with 50 open reviews after every picture of
//     every review was asked for once (target: 100 MB).
// The first view of a picture nobody asked for yet is shown for comparison.
// Usage: taoban_review_bench [--quick] [--workdir DIR] [benchmark options]

#include "bench_support.h"

#include "common/base_dir.h"
#include "common/profile.h"
#include "common/startup.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "review/review_actions.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kReviews = 50;
constexpr int kPagesPerReview = 10;
constexpr int kConcurrent = 200;

QString g_firstToken;
int g_port = 0;
int g_failed = 0;

QByteArray Jpeg(int w, int h, int seed) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < 12; ++i)
        painter.fillRect(i * w / 12, 0, w / 12 + 1, h,
                         QColor::fromHsv((seed * 37 + i * 29) % 360, 120, 220));
    painter.drawEllipse(QRect(w / 4, h / 4, w / 2, h / 2));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// kReviews customers with their pages, all choosing from one folder of
// camera-sized photos, each with an open review.
QStringList MakeStudio(const QString& photos, int photoCount) {
    QDir().mkpath(photos);
    for (int i = 0; i < photoCount; ++i)
        Write(photos + QString("/IMG_%1.jpg").arg(i + 1, 4, 10, QChar('0')), Jpeg(4000, 3000, i));
    const QByteArray page = Jpeg(1200, 1200, 7);
    QStringList tokens;
    for (int c = 0; c < kReviews; ++c) {
        const QString folder = CustomerFolder(QString("客人%1").arg(c));
        QDir().mkpath(folder);
        CustomerTask task;
        task.SetPath(TaskFilePath(folder));
        for (int p = 0; p < kPagesPerReview; ++p) {
            auto record = std::make_unique<TaskPage>();
            record->SetName(p == 0 ? QString("相册") : QString("相册-%1").arg(p + 1));
            Write(PageImagePath(folder, record->Name(), ".jpg"), page);
            task.pages.push_back(std::move(record));
        }
        task.Save();
        CustomerReview review;
        QString error;
        if (!OpenCustomerReview(folder, ReviewOpening{photos, 0}, review, error))
            return {};
        tokens.append(review.token);
    }
    return tokens;
}

// One request from its own loopback address (127.0.0.2 and up): the
// server's pacing holds each client to its own share, as each phone is.
int RequestFrom(int client, const std::string& path) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(0x7f000002u + static_cast<uint32_t>(client));
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(static_cast<uint16_t>(g_port));
    server.sin_addr.s_addr = htonl(0x7f000001u);
    int status = -1;
    if (::bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
        ::connect(s, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0) {
        const std::string request =
            "GET " + path + " HTTP/1.1\r\nHost: studio\r\nConnection: close\r\n\r\n";
        if (::send(s, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
            std::string reply;
            char buffer[65536];
            ssize_t n;
            while ((n = ::recv(s, buffer, sizeof buffer, 0)) > 0)
                reply.append(buffer, static_cast<size_t>(n));
            if (reply.rfind("HTTP/1.1 ", 0) == 0)
                status = std::atoi(reply.c_str() + 9);
        }
    }
    ::close(s);
    return status;
}

// A page seen before, each time by another phone (a fresh connection from
// its own address), so the figure is the server's and not the pacing's.
void BM_PageViewAfterTheFirst(benchmark::State& state) {
    const std::string path = "/r/" + g_firstToken.toStdString() + "/pages/2.jpg";
    int phone = 2000;
    if (RequestFrom(phone, path) != 200)
        state.SkipWithError("the page is not served");
    for (auto _ : state)
        if (RequestFrom(++phone, path) != 200)
            state.SkipWithError("the page is not served");
}

void BM_ConcurrentRequests(benchmark::State& state) {
    int failed = 0;
    for (auto _ : state) {
        std::atomic<int> ok{0};
        std::atomic<bool> go{false};
        std::vector<std::thread> phones;
        for (int i = 0; i < kConcurrent; ++i)
            phones.emplace_back([&, i] {
                while (!go)
                    std::this_thread::yield();
                const std::string path =
                    "/r/" + g_firstToken.toStdString() + (i % 2 ? "/api/review" : "/pages/1.jpg");
                if (RequestFrom(i, path) == 200)
                    ++ok;
            });
        go = true;
        for (std::thread& phone : phones)
            phone.join();
        failed += kConcurrent - ok;
    }
    g_failed = failed;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    InitProcess(args);
    QTemporaryDir temp;
    BenchOptions options = ParseBenchOptions(argc, argv);
    const QString workdir = options.workdir.isEmpty() ? temp.path() : options.workdir;
    const QString profile = workdir + "/profile";
    Profile::UseFolder(profile);
    SetBaseDir(workdir);
    QDir(TaskStoreFolder()).removeRecursively();
    const int photoCount = options.quick ? 6 : 30;
    std::fprintf(stderr, "%d reviews of %d pages and %d photos in %s ...\n", kReviews,
                 kPagesPerReview, photoCount, qPrintable(workdir));
    const QStringList tokens = MakeStudio(workdir + "/客片", photoCount);
    if (tokens.size() != kReviews) {
        std::fprintf(stderr, "cannot write the studio\n");
        return 2;
    }
    g_firstToken = tokens.first();

    QProcess server;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TAOBAN_PROFILE_DIR", profile);
    server.setProcessEnvironment(env);
    server.start(TAOBAN_CLI_PATH, {"--base", workdir, "review-serve", "--listen", "127.0.0.1:0"});
    if (!server.waitForReadyRead(10000))
        return 2;
    const auto port =
        QRegularExpression(R"(127\.0\.0\.1:(\d+)/)").match(QString::fromUtf8(server.readLine()));
    g_port = port.captured(1).toInt();

    // Every picture of every review asked for once: 50 customers at once,
    // each on a phone of its own.
    ResultTable table;
    QElapsedTimer clock;
    clock.start();
    std::atomic<int> unanswered{0};
    std::vector<std::thread> customers;
    for (int c = 0; c < kReviews; ++c)
        customers.emplace_back([&, c] {
            const std::string r = "/r/" + tokens[c].toStdString() + "/";
            std::vector<std::string> paths{r + "api/review"};
            for (int i = 1; i <= photoCount; ++i)
                paths.push_back(r + "thumbs/" + std::to_string(i) + ".jpg");
            for (int i = 1; i <= kPagesPerReview; ++i)
                paths.push_back(r + "pages/" + std::to_string(i) + ".jpg");
            for (int i = 1; i <= photoCount; ++i)
                paths.push_back(r + "photos/" + std::to_string(i) + ".jpg");
            for (const std::string& path : paths)
                if (RequestFrom(1000 + c, path) != 200)
                    ++unanswered;
        });
    for (std::thread& customer : customers)
        customer.join();
    const double allSeconds = clock.elapsed() / 1000.0;

    benchmark::RegisterBenchmark("review_page_view_after_the_first", BM_PageViewAfterTheFirst)
        ->Iterations(options.quick ? 50 : 300)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("review_200_requests_at_once", BM_ConcurrentRequests)
        ->Iterations(options.quick ? 1 : 5)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    CollectingReporter reporter;
    RunRegisteredBenchmarks(options, reporter);

    table.AtMost("review: page view after the first",
                 reporter.Ms("review_page_view_after_the_first"), "ms", 300);
    table.Figure("review: 200 requests at once", reporter.Ms("review_200_requests_at_once"), "ms");
    table.AtMost("review: of them not answered 200", g_failed, "requests", 0);
    table.Figure("review: every picture of 50 reviews, 50 phones at once", allSeconds, "s");
    table.AtMost("review: of them not answered 200", unanswered, "requests", 0);
    table.AtMost("review server: peak memory, 50 open reviews",
                 ProcessMemoryMb(server.processId(), "VmHWM"), "MB", 100);
    table.Figure("review server: memory afterwards", ProcessMemoryMb(server.processId(), "VmRSS"),
                 "MB");
    table.Print();
    ::kill(static_cast<pid_t>(server.processId()), SIGTERM);
    server.waitForFinished(10000);
    return 0;
}
