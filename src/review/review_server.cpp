#include "review/review_server.h"

#include "common/atomic_file.h"
#include "records/customer_review.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "review/review_actions.h"
#include "review/review_directory.h"
#include "review/review_json.h"
#include "review/scaled_copies.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>

#include <httplib.h>
#include <sys/socket.h>
#include <thread>

// The page is built into the program; a static library's resources are
// registered by hand.
static void InitPageResources() {
    Q_INIT_RESOURCE(review_page);
}

namespace {

std::string Resource(const char* name) {
    InitPageResources();
    QFile file(QStringLiteral(":/review/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// Every answer: nothing framed, sniffed or referred on (the link's token
// is in the address), scripts and styles only from this server.
void SecureHeaders(httplib::Response& res) {
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("X-Frame-Options", "DENY");
    res.set_header("Referrer-Policy", "no-referrer");
    res.set_header("Content-Security-Policy",
                   "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
                   "connect-src 'self'; form-action 'none'; frame-ancestors 'none'; "
                   "base-uri 'none'");
}

const char* const kGonePage =
    "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
    "<title>此链接已失效</title></head><body>"
    "<h1 style=\"font:20px sans-serif;text-align:center;margin-top:30vh\">此链接已失效</h1>"
    "<p style=\"font:15px sans-serif;text-align:center;color:#666\">请向影楼索取新的链接</p>"
    "</body></html>";

std::string Json(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

void Reply(httplib::Response& res, int status, const QString& message) {
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(Json(QJsonObject{{"ok", status == 200}, {"message", message}}),
                    "application/json; charset=utf-8");
}

void NotFound(httplib::Response& res) {
    res.status = 404;
    res.set_content("Not Found", "text/plain; charset=utf-8");
}

// "/r/TOKEN/a/b" → {"r", "TOKEN", "a", "b"}; the trailing "/" of
// "/r/TOKEN/" gives a last empty part.
QStringList PathParts(const std::string& path) {
    QStringList parts = QString::fromStdString(path).split(QLatin1Char('/'));
    if (!parts.isEmpty() && parts.first().isEmpty())
        parts.removeFirst();
    return parts;
}

// An index as the interface writes it: 1 to 999999, no sign, no leading
// zero; 0 for anything else.
int IndexFrom(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^[1-9][0-9]{0,5}$"));
    return pattern.match(text).hasMatch() ? text.toInt() : 0;
}

int ImageIndexFrom(const QString& text) {
    return text.endsWith(QStringLiteral(".jpg")) ? IndexFrom(text.chopped(4)) : 0;
}

// httplib listens with a queue of 5 connections: a sixth phone connecting
// while the server is accepting waits for the system to retry, seconds
// later. Listening again on the bound socket widens the queue.
class WideQueueServer : public httplib::Server {
public:
    void WidenQueue(int connections) { ::listen(svr_sock_, connections); }
};

constexpr int kListenQueue = 512;

} // namespace

struct ReviewServer::Impl {
    Impl(const QString& store, ReviewServerOptions o)
        : options(std::move(o)), directory(store), copies(options.scalerThreads),
          pacer(options.pace), page(Resource("review.html")), script(Resource("review.js")),
          style(Resource("review.css")) {}

    ReviewServerOptions options;
    ReviewDirectory directory;
    ScaledCopies copies;
    RequestPacer pacer;
    std::string page, script, style;
    WideQueueServer server;
    std::thread thread;
    int port = 0;

    // The customer folder of an open review with this token, its review and
    // pages; false (and a 404 that tells nothing more) otherwise.
    bool Find(const QString& token, QString& folder, CustomerReview& review,
              QList<ReviewedPage>* pages) {
        if (!IsReviewToken(token))
            return false;
        folder = directory.FolderFor(token, [this](const QString& found) { Prefetch(found); });
        if (folder.isEmpty() || !ReadCustomerReview(folder, review) || !review.open ||
            review.token != token)
            return false;
        if (pages) {
            CustomerTask task;
            task.Load(TaskFilePath(folder));
            task.SetPath(TaskFilePath(folder));
            *pages = ReviewedPages(task, review);
        }
        return true;
    }

    // Has every picture of a review made in advance: the grid's first.
    void Prefetch(const QString& folder) {
        CustomerReview review;
        if (!ReadCustomerReview(folder, review))
            return;
        const QString cache = ReviewCacheFolder(folder);
        for (const ReviewPhoto& photo : review.photos)
            copies.Prefetch(photo.path, cache, kThumbSide);
        CustomerTask task;
        task.Load(TaskFilePath(folder));
        for (const auto& page : task.pages)
            copies.Prefetch(PageImagePath(folder, page->Name(), QStringLiteral(".jpg")), cache,
                            kScreenSide);
        for (const ReviewPhoto& photo : review.photos)
            copies.Prefetch(photo.path, cache, kScreenSide);
    }

    void Gone(httplib::Response& res, bool api) {
        if (api)
            return Reply(res, 404, QStringLiteral("此链接已失效"));
        res.status = 404;
        res.set_header("Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'");
        res.set_content(kGonePage, "text/html; charset=utf-8");
    }

    void ServeImage(const httplib::Request& req, httplib::Response& res, const QString& source,
                    const QString& folder, int side) {
        const ScaledCopies::Copy copy = copies.Get(source, ReviewCacheFolder(folder), side);
        QByteArray bytes;
        if (copy.path.isEmpty() || !ReadWholeFile(copy.path, bytes, qint64(64) << 20))
            return NotFound(res);
        const std::string etag = "\"" + copy.etag.toStdString() + "\"";
        res.set_header("ETag", etag);
        res.set_header("Cache-Control", "private, no-cache");
        if (req.get_header_value("If-None-Match") == etag) {
            res.status = 304;
            return;
        }
        res.set_content(bytes.toStdString(), "image/jpeg");
    }

    void HandleGet(const httplib::Request& req, httplib::Response& res) {
        const QStringList parts = PathParts(req.path);
        if (parts.size() < 2 || parts[0] != QStringLiteral("r"))
            return NotFound(res);
        const QStringList rest = parts.mid(2);
        const bool api = !rest.isEmpty() && rest[0] == QStringLiteral("api");
        QString folder;
        CustomerReview review;
        QList<ReviewedPage> pages;
        if (!Find(parts[1], folder, review, &pages))
            return Gone(res, api);
        if (rest.isEmpty())
            return res.set_redirect("/r/" + parts[1].toStdString() + "/", 301);
        if (rest.size() == 1) {
            res.set_header("Cache-Control", "no-cache");
            if (rest[0].isEmpty())
                return res.set_content(page, "text/html; charset=utf-8");
            if (rest[0] == QStringLiteral("review.js"))
                return res.set_content(script, "text/javascript; charset=utf-8");
            if (rest[0] == QStringLiteral("review.css"))
                return res.set_content(style, "text/css; charset=utf-8");
            return NotFound(res);
        }
        if (api) {
            if (rest.size() != 2 || rest[1] != QStringLiteral("review"))
                return MethodOrNotFound(res, rest);
            res.set_header("Cache-Control", "no-store");
            return res.set_content(Json(ReviewApiJson(QFileInfo(folder).fileName(), pages, review)),
                                   "application/json; charset=utf-8");
        }
        if (rest.size() != 2)
            return NotFound(res);
        const int index = ImageIndexFrom(rest[1]);
        if (rest[0] == QStringLiteral("pages") && index >= 1 && index <= pages.size())
            return ServeImage(req, res,
                              PageImagePath(folder, pages[index - 1].name, QStringLiteral(".jpg")),
                              folder, kScreenSide);
        const bool thumb = rest[0] == QStringLiteral("thumbs");
        if ((thumb || rest[0] == QStringLiteral("photos")) && index >= 1 &&
            index <= review.photos.size())
            return ServeImage(req, res, review.photos[index - 1].path, folder,
                              thumb ? kThumbSide : kScreenSide);
        NotFound(res);
    }

    // A GET of what only takes a POST is a wrong method, anything else
    // is not there.
    void MethodOrNotFound(httplib::Response& res, const QStringList& rest) {
        static const QStringList posted{QStringLiteral("pages"), QStringLiteral("photos"),
                                        QStringLiteral("approve-all"),
                                        QStringLiteral("confirm-choice")};
        if (rest.size() >= 2 && posted.contains(rest[1])) {
            res.status = 405;
            res.set_header("Allow", "POST");
            return;
        }
        NotFound(res);
    }

    void HandlePost(const httplib::Request& req, httplib::Response& res) {
        const QStringList parts = PathParts(req.path);
        if (parts.size() < 3 || parts[0] != QStringLiteral("r"))
            return NotFound(res);
        const QStringList rest = parts.mid(2);
        if (rest[0] != QStringLiteral("api")) {
            // The page and the pictures are only read.
            res.status = 405;
            res.set_header("Allow", "GET, HEAD");
            return;
        }
        QString folder;
        CustomerReview review;
        if (!Find(parts[1], folder, review, nullptr))
            return Gone(res, true);
        const PhoneClient client{parts[1], QString::fromStdString(req.remote_addr)};
        const QByteArray body = QByteArray::fromStdString(req.body);
        ReviewReply reply{404, QStringLiteral("Not Found")};
        // Whatever stands where the index goes ("..", "%2F", "01") is a
        // wrong index.
        const int index = rest.size() == 3 ? IndexFrom(rest[2]) : 0;
        if (rest.size() >= 3 && rest[1] == QStringLiteral("pages"))
            reply = index ? DecideReviewPage(folder, client, index, body)
                          : ReviewReply{400, QStringLiteral("没有这一版")};
        else if (rest.size() >= 3 && rest[1] == QStringLiteral("photos"))
            reply = index ? ChooseReviewPhoto(folder, client, index, body)
                          : ReviewReply{400, QStringLiteral("没有这张照片")};
        else if (rest.size() == 2 && rest[1] == QStringLiteral("approve-all"))
            reply = ApproveAllReviewPages(folder, client, body);
        else if (rest.size() == 2 && rest[1] == QStringLiteral("confirm-choice"))
            reply = ConfirmReviewChoice(folder, client, body);
        else if (rest.size() == 2 && rest[1] == QStringLiteral("review")) {
            res.status = 405;
            res.set_header("Allow", "GET, HEAD");
            return;
        }
        Reply(res, reply.status, reply.message);
    }

    void Route() {
        server.new_task_queue = [n = options.threads] { return new httplib::ThreadPool(n); };
        server.set_payload_max_length(kMaxBody);
        server.set_keep_alive_max_count(100);
        server.set_keep_alive_timeout(2);
        server.set_read_timeout(5);
        server.set_write_timeout(10);
        server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
            SecureHeaders(res);
            const int waitMs = pacer.Admit(req.remote_addr);
            if (waitMs < 0) {
                res.status = 429;
                res.set_header("Retry-After", "1");
                res.set_header("Connection", "close");
                res.set_content("请求太频繁, 请稍候", "text/plain; charset=utf-8");
                return httplib::Server::HandlerResponse::Handled;
            }
            if (waitMs > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
                pacer.Waited(req.remote_addr);
            }
            return httplib::Server::HandlerResponse::Unhandled;
        });
        server.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            HandleGet(req, res);
        });
        server.Post(".*", [this](const httplib::Request& req, httplib::Response& res) {
            HandlePost(req, res);
        });
        const auto wrongMethod = [](const httplib::Request&, httplib::Response& res) {
            res.status = 405;
            res.set_header("Allow", "GET, HEAD, POST");
        };
        server.Put(".*", wrongMethod);
        server.Patch(".*", wrongMethod);
        server.Delete(".*", wrongMethod);
        server.Options(".*", wrongMethod);
    }
};

ReviewServer::ReviewServer(const QString& taskStore, ReviewServerOptions options)
    : impl_(std::make_unique<Impl>(taskStore, std::move(options))) {
    impl_->Route();
}

ReviewServer::~ReviewServer() {
    Stop();
}

bool ReviewServer::Start(QString& error) {
    if (running())
        return true;
    const std::string host = impl_->options.address.toStdString();
    int port = impl_->options.port;
    if (port == 0)
        port = impl_->server.bind_to_any_port(host);
    else if (!impl_->server.bind_to_port(host, port))
        port = -1;
    if (port <= 0) {
        error = QStringLiteral("cannot listen on %1:%2")
                    .arg(impl_->options.address)
                    .arg(impl_->options.port);
        return false;
    }
    impl_->server.WidenQueue(kListenQueue);
    impl_->port = port;
    for (const QString& folder : impl_->directory.OpenReviewFolders())
        impl_->Prefetch(folder);
    impl_->thread = std::thread([this] { impl_->server.listen_after_bind(); });
    return true;
}

void ReviewServer::Stop() {
    if (!impl_->thread.joinable())
        return;
    impl_->server.stop();
    impl_->thread.join();
}

bool ReviewServer::running() const {
    return impl_->thread.joinable();
}

int ReviewServer::port() const {
    return impl_->port;
}
