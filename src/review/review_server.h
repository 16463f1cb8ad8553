#pragma once

#include "review/request_pacer.h"
#include "review/review_link.h"

#include <QString>
#include <memory>

struct ReviewServerOptions {
    QString address = QStringLiteral("0.0.0.0"); // where to listen, and only there
    int port = kDefaultReviewPort;               // 0: any free port
    RequestPacer::Limits pace;
    int threads = 16;      // requests served at once
    int scalerThreads = 2; // scaled copies made at once
};

// The customer's review page and its HTTP interface over the task store:
//   GET  /r/TOKEN/                     the page (review.css, review.js beside it)
//   GET  /r/TOKEN/api/review           the review's state (JSON)
//   GET  /r/TOKEN/pages/I.jpg          finished page I (from 1) at screen size
//   GET  /r/TOKEN/photos/I.jpg         shared photo I at screen size
//   GET  /r/TOKEN/thumbs/I.jpg         shared photo I small, for the grid
//   POST /r/TOKEN/api/pages/I          {"state", "comment", "pin", "stamp"}
//   POST /r/TOKEN/api/photos/I         {"chosen"}
//   POST /r/TOKEN/api/confirm-choice   {}
//   POST /r/TOKEN/api/approve-all      {"name", "stamps"}
// A token reaches its own customer's open review and nothing else; pages
// and photos are addressed by their index only. Serves on threads of its
// own from Start until Stop.
class ReviewServer {
public:
    explicit ReviewServer(const QString& taskStore, ReviewServerOptions options = {});
    ~ReviewServer();
    ReviewServer(const ReviewServer&) = delete;
    ReviewServer& operator=(const ReviewServer&) = delete;

    // Binds and starts serving; false with error set when the address
    // cannot be had.
    bool Start(QString& error);
    void Stop();
    bool running() const;
    int port() const;

    // The longer side of the copies shown: pages and photos, and the grid's.
    static constexpr int kScreenSide = 1600;
    static constexpr int kThumbSide = 400;
    // The largest request body accepted (413 beyond).
    static constexpr size_t kMaxBody = 16 * 1024;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
