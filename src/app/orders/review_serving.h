#pragma once

#include <QString>
#include <memory>

class ReviewServer;

// The review server of the desktop program: it runs while a customer's
// review is open, unless the profile value "review"/"serve" is "0" (a
// studio serving its reviews from taoban-cli review-serve elsewhere).
class ReviewServing {
public:
    ReviewServing();
    ~ReviewServing();
    ReviewServing(const ReviewServing&) = delete;
    ReviewServing& operator=(const ReviewServing&) = delete;

    // Runs the server while any review of the task store is open and stops
    // it when none is. Returns what the operator should know: empty while
    // all is well, else why phones cannot reach this machine.
    QString Refresh();
    bool running() const;
    // The port phones reach: the running server's, else the setting's.
    int port() const;

private:
    std::unique_ptr<ReviewServer> server_;
};
